#include "host/phone_tasks.h"

#include <json/value.h>

#include <algorithm>

#include "core/log.h"
#include "core/paths.h"
#include "core/scratch_folder.h"
#include "core/text.h"
#include "device/attached_phones.h"
#include "device/icon_names.h"
#include "device/icon_reader.h"
#include "device/theme_push.h"
#include "host/alerts.h"
#include "host/escape.h"
#include "host/host.h"
#include "host/json_text.h"
#include "host/script_bridge.h"
#include "host/system_dialogs.h"

namespace sw::host {

namespace {

using device::PhoneFailure;
using device::PhoneOutcome;

constexpr const char* kIconListBroken = "手机上的图标列表无法读取。";

// The chooser grows with the number of phones, up to this height.
constexpr int kChooserBaseHeight = 170;
constexpr int kChooserRowHeight = 58;
constexpr int kChooserMaxHeight = 520;

void ShowProgress(Window* window, const std::string& text) {
    if (window != nullptr) {
        CallPageFunction(window, "ShowPhoneProgress", {text});
    }
}

// How the chooser names a phone that cannot be used yet.
std::string StateNote(const device::AttachedPhone& phone) {
    if (phone.state == "unauthorized") {
        return "（未授权：请在手机上允许USB调试）";
    }
    if (phone.state == "offline") {
        return "（离线）";
    }
    return "（" + phone.state + "）";
}

std::string ChooserMessage(const std::vector<device::AttachedPhone>& phones) {
    std::string html =
        "<table width=100% height=100%><tr><td align=center valign=middle>"
        "<div class='alert-msg'>检测到多部手机，请选择要使用的手机：</div>"
        "<div class='phone-choices'>";
    for (std::size_t i = 0; i < phones.size(); ++i) {
        const std::string serial = EscapeHtml(phones[i].serial);
        if (phones[i].ready()) {
            html += FormatString(
                "<span class='btnbig phone-choice' "
                "onclick='javascript: external.ChoosePhone(%zu);'>%s</span>",
                i, serial.c_str());
        } else {
            html += "<span class='phone-choice phone-not-ready'>" + serial +
                    EscapeHtml(StateNote(phones[i])) + "</span>";
        }
    }
    return html + "</div></td></tr></table>";
}

// The chooser popup; the serial picked, or nullopt when it was closed.
std::optional<std::string> ShowPhoneChooser(Host& host,
                                            const std::vector<device::AttachedPhone>& phones) {
    PopupOptions options;
    options.title = kChoosePhoneTitle;
    options.message = ChooserMessage(phones);
    options.parameters["phones"] = Json::Value(Json::arrayValue);
    for (const device::AttachedPhone& phone : phones) {
        options.parameters["phones"].append(phone.ready() ? phone.serial : "");
    }
    options.height =
        std::min(kChooserMaxHeight,
                 kChooserBaseHeight + kChooserRowHeight * static_cast<int>(phones.size()));
    const PopupResult result = host.OpenPopup(nullptr, std::move(options));
    if (result.result != "ok" || result.value.empty()) {
        LogInfo("no phone was chosen\n");
        return std::nullopt;
    }
    return result.value;
}

}  // namespace

void ShowPhoneFailure(Host& host, const std::string& headline, const PhoneOutcome& outcome) {
    std::string text = headline;
    const std::string reason = device::PageText(outcome);
    if (!reason.empty()) {
        text += "<br />" + EscapeHtml(reason);
    }
    if (device::LiesWithThisComputer(outcome.failure)) {
        ShowWarningAlert(host, text);
    } else if (outcome.failure == PhoneFailure::kNoIconList) {
        ShowInfoAlert(host, text);
    } else {
        ShowPhoneHintAlert(host, text);
    }
}

std::optional<std::string> ChoosePhone(Host& host, const std::string& headline) {
    const device::PhoneSearch search = device::FindPhone("");
    if (search.outcome.ok()) {
        return search.serial;
    }
    if (search.outcome.failure == PhoneFailure::kSeveralPhones) {
        return ShowPhoneChooser(host, search.phones);
    }
    ShowPhoneFailure(host, headline, search.outcome);
    return std::nullopt;
}

void ShowPushRefused(Host& host, const device::PushLock& lock) {
    if (lock.busy()) {
        ShowInfoAlert(host, EscapeHtml(device::PageText({PhoneFailure::kBusy, ""})));
    } else {
        ShowPhoneFailure(host, kPushFailed, {PhoneFailure::kStagingFailed, PushStagingFolder()});
    }
}

void PushArchive(Host& host, Window* progressWindow, const std::string& archive,
                 const device::PushLock& lock) {
    const auto progress = [progressWindow](device::PushStep step, std::uint64_t bytes) {
        ShowProgress(progressWindow, device::PushStepPageText(step, bytes));
    };
    LogInfo("push %s to the phone\n", archive.c_str());
    progress(device::PushStep::kCheckingPhone, 0);
    const std::optional<std::string> serial = ChoosePhone(host, kPushFailed);
    if (!serial) {
        ShowProgress(progressWindow, "");
        return;
    }
    const device::PushResult result = device::PushTheme(lock, archive, *serial, progress);
    ShowProgress(progressWindow, "");
    if (result.outcome.ok()) {
        // Which phone, and where on it, when several are attached.
        std::string folder = result.phone_folder;
        for (std::size_t at = folder.find("//"); at != std::string::npos;
             at = folder.find("//", at)) {
            folder.erase(at, 1);
        }
        ShowInfoAlert(host,
                      std::string(kPushSucceeded) + "<br />手机：" + EscapeHtml(*serial) +
                          "<br />手机上的文件夹：" + EscapeHtml(folder),
                      kPushCaption);
    } else {
        ShowPhoneFailure(host, kPushFailed, result.outcome);
    }
}

void StartWindowPushTask(Window& start, const device::PushLock& lock) {
    Host& host = start.host();
    const std::string archive = ChooseFileToOpen(host, &start, kPushArchiveFilter);
    if (archive.empty()) {
        EvalInPage(&start, "ShowStatus('all');");
        return;
    }
    EmptyScratchFolders();
    EvalInPage(&start, "ShowStatus('push');");
    PushArchive(host, &start, archive, lock);
    EvalInPage(&start, "ShowStatus('all');");
}

void InstallIconReaderTask(Host& host, Window* progressWindow, bool copyOnly) {
    const std::optional<std::string> serial = ChoosePhone(host, kInstallFailed);
    if (!serial) {
        return;
    }
    ShowProgress(progressWindow, "正在安装图标查看器 ...");
    const PhoneOutcome outcome =
        copyOnly ? device::CopyIconReaderApk(*serial) : device::InstallIconReader(*serial);
    ShowProgress(progressWindow, "");
    if (outcome.ok()) {
        ShowInfoAlert(host, kInstallSucceeded);
    } else {
        ShowPhoneFailure(host, kInstallFailed, outcome);
    }
    // The reader writes the app list when it runs; it is started whatever
    // the install said, since an older copy may already be on the phone.
    if (!copyOnly && outcome.failure != PhoneFailure::kIconReaderMissing) {
        device::LaunchIconReader(*serial);
    }
}

std::optional<std::size_t> PullIconNamesTask(Host& host, Window* progressWindow) {
    const std::optional<std::string> serial = ChoosePhone(host, kIconListFailed);
    if (!serial) {
        return std::nullopt;
    }
    ShowProgress(progressWindow, "正在读取手机图标 ...");
    const PhoneOutcome outcome = device::PullIconNames(*serial, IconNamesFile());
    ShowProgress(progressWindow, "");
    if (!outcome.ok()) {
        ShowPhoneFailure(host, kIconListFailed, outcome);
        return std::nullopt;
    }
    std::vector<device::IconName> names;
    if (device::ReadIconNames(IconNamesFile(), names) != device::IconNamesRead::kRead) {
        ShowWarningAlert(host, std::string(kIconListFailed) + "<br />" + kIconListBroken);
        return std::nullopt;
    }
    LogInfo("%zu apps read from the phone\n", names.size());
    return names.size();
}

bool IconNamesJson(std::string& json) {
    std::vector<device::IconName> names;
    if (device::ReadIconNames(IconNamesFile(), names) != device::IconNamesRead::kRead) {
        return false;
    }
    Json::Value lists(Json::objectValue);
    lists["icons"] = Json::Value(Json::arrayValue);
    lists["titles"] = Json::Value(Json::arrayValue);
    for (const device::IconName& name : names) {
        lists["icons"].append(name.icon);
        lists["titles"].append(AnsiToUtf8(name.title));
    }
    // The styled text writes every character beyond ASCII as an escape, so
    // it reaches the page the same in any host code page.
    json = StyledJson(lists);
    return true;
}

void SendIconNames(Window& window) {
    std::string json;
    if (IconNamesJson(json)) {
        CallPageFunction(&window, "SetIconNames", {json});
    }
}

}  // namespace sw::host
