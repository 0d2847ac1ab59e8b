#include "host/alerts.h"

#include "host/host.h"

namespace sw::host {

namespace {

constexpr const char* kOpening184 =
    "<table width=100% height=100%><tr><td><img src='res:/PNG/#184' "
    "style='margin-left:20px;' /></td><td align=center valign=middle height=50%><div "
    "class='alert-msg'>";
constexpr const char* kOpening189 =
    "<table width=100% height=100%><tr><td><img src='res:/PNG/#189' "
    "style='margin-left:20px;' /></td><td align=center valign=middle height=50%><div "
    "class='alert-msg'>";
constexpr const char* kOpeningTip =
    "<table width=100% height=75%><tr><td><img src='res:/PNG/#189' "
    "style='margin-left:20px;' /></td><td align=center valign=middle height=50%><div "
    "class='alert-msg'>";
constexpr const char* kLogLink =
    "<br /><a style='color:#41b5f2; font-size:14px;text-decoration: underline; "
    "cursor:pointer;' onclick=\"javascript: external.openlog( '/n,/select,', "
    "'%s');\">查看错误信息</a>";
constexpr const char* kPhoneHints =
    "<li> 是否已使用USB线连接手机</li>"
    "<li> 是否正确开启手机 USB调试模式</li>"
    "<li> 是否正确勾选 媒体设备（MTP）连接方式</li>";
constexpr const char* kClosingA =
    "</div></td></tr><tr><td  COLSPAN=2 align=center valign=middle><span  class='btn-big' "
    "onclick='javascript: external.CloseWindow();'>确定</span></td></tr></table>";
constexpr const char* kClosingB =
    "</div></td></tr><tr><td COLSPAN=2 align=center valign=middle><span class='btn-big' "
    "onclick='javascript: external.CloseWindow();'>确定</span></td></tr></table>";
constexpr const char* kClosingC =
    "</div></td></tr><tr><td COLSPAN=2 align=center valign=middle><span class='btn-big'  "
    "onclick='javascript: external.CloseWindow();'>确定</span></td></tr></table>";

constexpr const char* kWarningTitle = "警告";
constexpr const char* kTipTitle = "提示";

void ShowAlert(Host& host, const char* title, std::string message) {
    PopupOptions options;
    options.title = title;
    options.message = std::move(message);
    host.OpenPopup(nullptr, std::move(options));
}

}  // namespace

std::string WarningAlertMessage(const std::string& text) {
    return std::string(kOpening184) + text + kLogLink + kClosingA;
}

std::string InfoAlertMessage(const std::string& text) {
    return std::string(kOpening189) + text + kClosingB;
}

std::string PhoneHintAlertMessage(const std::string& text) {
    return std::string(kOpening184) + text + kPhoneHints + kClosingB;
}

std::string TipAlertMessage(const std::string& text) {
    return std::string(kOpeningTip) + text + kClosingC;
}

void ShowWarningAlert(Host& host, const std::string& text) {
    ShowAlert(host, kWarningTitle, WarningAlertMessage(text));
}

void ShowInfoAlert(Host& host, const std::string& text, const char* title) {
    ShowAlert(host, title, InfoAlertMessage(text));
}

void ShowPhoneHintAlert(Host& host, const std::string& text) {
    ShowAlert(host, "", PhoneHintAlertMessage(text));
}

void ShowTipAlert(Host& host, const std::string& text) {
    ShowAlert(host, kTipTitle, TipAlertMessage(text));
}

}  // namespace sw::host
