#include "host/command_table.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "core/log.h"
#include "core/text.h"
#include "host/page_text.h"
#include "host/window.h"

namespace sw::host {

namespace {

std::size_t ClassIndex(WindowClass windowClass) {
    return static_cast<std::size_t>(windowClass);
}

// A JavaScript number as String() writes it: integers without a fraction,
// others in the shortest form that reads back as the same number.
std::string NumberText(double value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "Infinity" : "-Infinity";
    }
    if (value == std::floor(value) && std::fabs(value) < 1e21) {
        char text[32];
        std::snprintf(text, sizeof text, "%.0f", value);
        return text;
    }
    char text[40];
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, value);
        if (std::strtod(text, nullptr) == value) {
            break;
        }
    }
    return text;
}

bool ToNumber(const Json::Value& value, int& number) {
    double d = 0;
    if (value.isNull()) {
        number = 0;
        return true;
    }
    if (value.isBool()) {
        number = value.asBool() ? 1 : 0;
        return true;
    }
    if (value.isNumeric()) {
        d = value.asDouble();
    } else if (value.isString()) {
        const std::string text = Trim(value.asString());
        if (text.empty()) {
            return false;
        }
        char* end = nullptr;
        d = std::strtod(text.c_str(), &end);
        if (end == nullptr || *end != '\0') {
            return false;
        }
    } else {
        return false;
    }
    if (!std::isfinite(d)) {
        return false;
    }
    d = std::nearbyint(d);
    if (d < std::numeric_limits<int>::min() || d > std::numeric_limits<int>::max()) {
        return false;
    }
    number = static_cast<int>(d);
    return true;
}

bool ToText(const Json::Value& value, std::string& text) {
    if (value.isNull()) {
        text.clear();
    } else if (value.isString()) {
        text = FromPageText(value.asString());
    } else if (value.isBool()) {
        text = value.asBool() ? "true" : "false";
    } else if (value.isNumeric()) {
        text = NumberText(value.asDouble());
    } else {
        return false;
    }
    return true;
}

const char* ResultKindName(ResultKind kind) {
    switch (kind) {
        case ResultKind::kNone:
            return "none";
        case ResultKind::kBoolean:
            return "boolean";
        case ResultKind::kText:
            return "text";
    }
    return "?";
}

}  // namespace

const char* WindowClassName(WindowClass windowClass) {
    switch (windowClass) {
        case WindowClass::kStart:
            return "start";
        case WindowClass::kMain:
            return "main";
        case WindowClass::kPopup:
            return "popup";
        case WindowClass::kDialog:
            return "dialog";
    }
    return "?";
}

CommandCall::CommandCall(Window& window, std::string name, std::vector<ArgValue> args)
    : window_(&window), name_(std::move(name)), args_(std::move(args)) {}

Host& CommandCall::host() const {
    return window_->host();
}

const std::string& CommandCall::text(std::size_t index) const {
    static const std::string kEmpty;
    return index < args_.size() ? args_[index].text : kEmpty;
}

int CommandCall::number(std::size_t index) const {
    return index < args_.size() ? args_[index].number : 0;
}

std::vector<ArgKind> Texts(std::size_t count) {
    return std::vector<ArgKind>(count, ArgKind::kText);
}

std::string LowerName(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

CommandTables::Table& CommandTables::TableOf(WindowClass windowClass) {
    return tables_[ClassIndex(windowClass)];
}

const CommandTables::Table& CommandTables::TableOf(WindowClass windowClass) const {
    return tables_[ClassIndex(windowClass)];
}

void CommandTables::Add(WindowClass windowClass, CommandRow row) {
    TableOf(windowClass).rows.push_back(std::move(row));
    built_ = false;
}

void CommandTables::Add(WindowClass windowClass, std::initializer_list<CommandRow> rows) {
    for (const CommandRow& row : rows) {
        Add(windowClass, row);
    }
}

bool CommandTables::Build() {
    bool ok = true;
    for (std::size_t c = 0; c < 4; ++c) {
        Table& table = tables_[c];
        table.index.clear();
        for (std::size_t i = 0; i < table.rows.size(); ++i) {
            const CommandRow& row = table.rows[i];
            const char* className = WindowClassName(static_cast<WindowClass>(c));
            if (!row.handler || row.name.empty()) {
                LogError("command %s of the %s table has no handler\n", row.name.c_str(),
                         className);
                ok = false;
                continue;
            }
            if (!table.index.emplace(LowerName(row.name), i).second) {
                LogError("command %s is listed twice in the %s table\n", row.name.c_str(),
                         className);
                ok = false;
            }
        }
    }
    built_ = ok;
    return ok;
}

const CommandRow* CommandTables::Find(WindowClass windowClass, std::string_view name) const {
    if (!built_) {
        return nullptr;
    }
    const Table& table = TableOf(windowClass);
    auto found = table.index.find(LowerName(name));
    return found == table.index.end() ? nullptr : &table.rows[found->second];
}

const std::vector<CommandRow>& CommandTables::Rows(WindowClass windowClass) const {
    return TableOf(windowClass).rows;
}

bool ConvertArguments(const CommandRow& row, const Json::Value& args, std::vector<ArgValue>& out,
                      std::string& error) {
    out.clear();
    const Json::Value list = args.isNull() ? Json::Value(Json::arrayValue) : args;
    if (!list.isArray()) {
        error = row.name + ": the arguments are not a list";
        return false;
    }
    if (list.size() != row.args.size()) {
        error = row.name + " takes " + std::to_string(row.args.size()) + " argument" +
                (row.args.size() == 1 ? "" : "s") + ", not " + std::to_string(list.size());
        return false;
    }
    for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
        ArgValue value;
        const Json::Value& item = list[i];
        if (row.args[i] == ArgKind::kNumber) {
            if (!ToNumber(item, value.number)) {
                error = row.name + ": argument " + std::to_string(i + 1) + " is not a number";
                return false;
            }
            value.text = std::to_string(value.number);
        } else if (!ToText(item, value.text)) {
            error = row.name + ": argument " + std::to_string(i + 1) + " is not a text";
            return false;
        }
        out.push_back(std::move(value));
    }
    return true;
}

Json::Value ResultToJson(const CommandRow& row, const CommandResult& result) {
    const bool matches =
        (row.result == ResultKind::kNone && std::holds_alternative<std::monostate>(result.value)) ||
        (row.result == ResultKind::kBoolean && std::holds_alternative<bool>(result.value)) ||
        (row.result == ResultKind::kText && std::holds_alternative<std::string>(result.value));
    if (!matches) {
        LogError("command %s returned another kind than %s\n", row.name.c_str(),
                 ResultKindName(row.result));
    }
    switch (row.result) {
        case ResultKind::kNone:
            return Json::Value();
        case ResultKind::kBoolean:
            if (const bool* b = std::get_if<bool>(&result.value)) {
                return Json::Value(*b);
            }
            return Json::Value(false);
        case ResultKind::kText:
            if (const std::string* s = std::get_if<std::string>(&result.value)) {
                return Json::Value(ToPageText(*s));
            }
            return Json::Value("");
    }
    return Json::Value();
}

}  // namespace sw::host
