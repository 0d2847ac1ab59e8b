// The phone work of the pages: pushing a packed theme from the start window
// and from the pack result, choosing among several phones, and the icon-name
// reader of the advanced mode. The page that asked shows each step through
// its ShowPhoneProgress function; every outcome ends in an alert.
#pragma once

#include <optional>
#include <string>

#include "device/phone_outcome.h"
#include "device/push_lock.h"

namespace sw::host {

class Host;
class Window;

// The file-dialog filter of packed themes.
inline constexpr const char* kPushArchiveFilter = "Quindo手机主题包(*.zip)|*.zip||";

// The outcomes the alerts tell.
inline constexpr const char* kPushSucceeded = "主题导入手机成功！";
// The caption of the alert of a push that succeeded.
inline constexpr const char* kPushCaption = "导入手机";
inline constexpr const char* kPushFailed = "主题导入手机失败！";
inline constexpr const char* kInstallSucceeded = "安装成功！";
inline constexpr const char* kInstallFailed = "安装失败！";
inline constexpr const char* kIconListFailed = "导入手机图标失败！";

// The phone chooser's popup.
inline constexpr const char* kChoosePhoneTitle = "选择手机";

// Shows why a phone operation failed: headline, then the reason. Failures
// of this computer get the warning (with its log link), failures of the
// phone the hints about the phone's connection.
void ShowPhoneFailure(Host& host, const std::string& headline, const device::PhoneOutcome& outcome);

// The phone a command goes to: the only phone attached, or the one the
// designer picks when several are. nullopt when there is none to use: the
// reason was shown under headline, or the designer closed the chooser.
std::optional<std::string> ChoosePhone(Host& host, const std::string& headline);

// Tells a push that could not take its lock why (another push runs, or the
// staging folder cannot be had).
void ShowPushRefused(Host& host, const device::PushLock& lock);

// Pushes archive to the phone, showing each step in the page of
// progressWindow (none when null), and ends with the success or failure
// alert.
void PushArchive(Host& host, Window* progressWindow, const std::string& archive,
                 const device::PushLock& lock);

// Start window, PushToPhone: the packed-theme dialog, then the push; the
// start page shows the push running and gets its buttons back at the end.
void StartWindowPushTask(Window& start, const device::PushLock& lock);

// The icon reader installed on the phone (launched afterwards when launch is
// set), or, with copyOnly, its package file copied to the phone's app folder.
void InstallIconReaderTask(Host& host, Window* progressWindow, bool copyOnly);

// Fetches the phone's app list into the home folder: the number of apps in
// it, or nullopt, after an alert, when no list arrived or it cannot be read.
std::optional<std::size_t> PullIconNamesTask(Host& host, Window* progressWindow);

// The app list of the home folder handed to the page of window
// (SetIconNames); nothing happens when there is no list or it is broken.
void SendIconNames(Window& window);

// The list as the page receives it: {"icons": [...], "titles": [...]} with
// the texts in UTF-8. False when there is no list or it is broken.
bool IconNamesJson(std::string& json);

}  // namespace sw::host
