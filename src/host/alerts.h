// The four alerts: popups over the current top window whose message is an
// HTML fragment made of an opening piece, the caller's text, extra pieces and
// a closing piece. Each shows the popup on the calling thread and returns when
// the user has closed it. The text may hold HTML (line breaks, links); a value
// from a file or from the user must be escaped by the caller (EscapeHtml).
#pragma once

#include <string>

namespace sw::host {

class Host;

// The fragments themselves.
std::string WarningAlertMessage(const std::string& text);
std::string InfoAlertMessage(const std::string& text);
std::string PhoneHintAlertMessage(const std::string& text);
std::string TipAlertMessage(const std::string& text);

// Titled "警告", icon 184, with the link that opens the log.
void ShowWarningAlert(Host& host, const std::string& text);
// No title unless one is given, icon 189.
void ShowInfoAlert(Host& host, const std::string& text, const char* title = "");
// No title, icon 184, with the three hints about the phone's USB connection.
void ShowPhoneHintAlert(Host& host, const std::string& text);
// Titled "提示", icon 189, a shorter table.
void ShowTipAlert(Host& host, const std::string& text);

}  // namespace sw::host
