// Calls from the host into a window's page, from any thread.
//
// The caller waits for the page's answer (at most the host's
// page_call_timeout). Failures are logged and leave the result empty:
//   "can not get script.\n"    no page is connected, it went away, or it did not answer
//   "call js script error\n"   the page has no function of that name
//   "invoke js script error\n" the page function threw
// A call addressed to no window (null) is not delivered and logs nothing.
#pragma once

#include <string>
#include <vector>

namespace sw::host {

class Window;

// Calls the page function name with text arguments. True when the page
// function returned; result (when given) receives its value.
bool CallPageFunction(Window* window, const std::string& name, const std::vector<std::string>& args,
                      std::string* result = nullptr);

// Runs expression in the page through JsEval. The expression is trimmed and
// gets a final ";" when it has none. An expression longer than the window's
// capacity (14095 characters for popups, 4095 for the start and main
// windows) is refused with an ERROR line. True when it was run.
bool EvalExpression(Window* window, const std::string& expression);

// printf rules into an expression, then EvalExpression. Values put into
// script strings must go through EscapeJsString (host/escape.h).
bool EvalInPage(Window* window, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The longest expression a window of this kind takes.
std::size_t ExpressionCapacity(const Window& window);

}  // namespace sw::host
