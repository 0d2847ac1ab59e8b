#include "host/script_bridge.h"

#include <json/value.h>

#include <cstdarg>
#include <cstdio>

#include "core/log.h"
#include "core/text.h"
#include "host/host.h"
#include "host/page_text.h"
#include "host/window.h"

namespace sw::host {

namespace {

bool Deliver(Window& window, Json::Value message, std::string* result) {
    std::string value;
    const PageCallOutcome outcome =
        window.CallPage(std::move(message), window.host().options().page_call_timeout, value);
    switch (outcome) {
        case PageCallOutcome::kAnswered:
            if (result != nullptr) {
                *result = std::move(value);
            }
            return true;
        case PageCallOutcome::kNoPage:
            LogError("can not get script.\n");
            break;
        case PageCallOutcome::kUnknown:
            LogError("call js script error\n");
            break;
        case PageCallOutcome::kThrew:
            LogError("invoke js script error\n");
            break;
        case PageCallOutcome::kNotSent:
            break;
    }
    return false;
}

}  // namespace

bool CallPageFunction(Window* window, const std::string& name, const std::vector<std::string>& args,
                      std::string* result) {
    if (result != nullptr) {
        result->clear();
    }
    if (window == nullptr) {
        return false;
    }
    Json::Value message;
    message["fn"] = ToPageText(name);
    Json::Value list(Json::arrayValue);
    for (const std::string& arg : args) {
        list.append(ToPageText(arg));
    }
    message["args"] = list;
    return Deliver(*window, std::move(message), result);
}

std::size_t ExpressionCapacity(const Window& window) {
    return window.is_popup() ? 14095 : 4095;
}

bool EvalExpression(Window* window, const std::string& expression) {
    if (window == nullptr) {
        return false;
    }
    std::string code = Trim(expression);
    if (!code.empty() && code.back() != ';') {
        code += ';';
    }
    if (code.size() > ExpressionCapacity(*window)) {
        LogError("page expression of %zu characters refused (the %s window takes %zu)\n",
                 code.size(), window->id().c_str(), ExpressionCapacity(*window));
        return false;
    }
    Json::Value message;
    message["code"] = ToPageText(code);
    return Deliver(*window, std::move(message), nullptr);
}

bool EvalInPage(Window* window, const char* format, ...) {
    if (window == nullptr) {
        return false;
    }
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string expression;
    if (length > 0) {
        expression.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(expression.data(), expression.size(), format, args);
        expression.resize(static_cast<std::size_t>(length));
    }
    va_end(args);
    if (length < 0) {
        LogError("page expression cannot be formatted\n");
        return false;
    }
    return EvalExpression(window, expression);
}

}  // namespace sw::host
