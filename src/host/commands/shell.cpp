// The host shell's own commands: closing and sizing windows, popups' OK,
// the create form's texts, alerts, dialogs, the log and shell opens.
#include <filesystem>

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"
#include "core/process.h"
#include "core/text.h"
#include "engine/theme_project.h"
#include "gfx/image_decode.h"
#include "host/alerts.h"
#include "host/app_state.h"
#include "host/command_group.h"
#include "host/edit_steps.h"
#include "host/host.h"
#include "host/project_tasks.h"
#include "host/running_work.h"
#include "host/script_bridge.h"
#include "host/shell_commands.h"
#include "host/system_dialogs.h"
#include "host/window.h"
#include "ui/resources.h"

namespace sw::host {

namespace {

CommandResult PopupDocumentReady(CommandCall& call) {
    const PopupInfo info = call.window().popup_info();
    std::string html = info.message;
    if (html.empty() && info.page_id >= 1) {
        html = ui::LoadHtmlResource(info.page_id);
    }
    if (!html.empty()) {
        CallPageFunction(&call.window(), "SetMessage", {html});
    }
    return CommandResult::None();
}

// Only the pack form's close stops a running pack: closing an alert or
// another form while a pack runs leaves it running.
CommandResult PopupClose(CommandCall& call) {
    if (call.window().popup_info().page_id == kPackPage) {
        StopPackTools();
    }
    call.window().End("cancel");
    return CommandResult::None();
}

CommandResult StartClose(CommandCall& call) {
    LogInfo("close theme start dlg...\n");
    call.window().End("cancel");
    return CommandResult::None();
}

CommandResult MainClose(CommandCall& call) {
    call.window().End("cancel");
    return CommandResult::None();
}

// What closing the editor would cut short, for the page to ask first.
CommandResult RunningWorkCommand(CommandCall&) {
    return CommandResult::Text(RunningWork());
}

CommandResult SetWindowSize(CommandCall& call) {
    call.host().ResizePopup(call.window(), call.number(0), call.number(1));
    return CommandResult::None();
}

CommandResult SelectFolder(CommandCall& call) {
    return CommandResult::Text(BrowseForFolder(call.host(), &call.window()));
}

CommandResult OnOk(CommandCall& call) {
    call.window().End("ok");
    return CommandResult::None();
}

// The create form's label of a field, for the message that names it.
const char* CreateFieldLabel(const std::string& field) {
    static const std::pair<const char*, const char*> kLabels[] = {
        {"prj_name", "工程名称"},   {"theme_name", "主题名称"}, {"version_name", "版本名称"},
        {"description", "描述"},    {"originate", "来源"},      {"author", "作者"},
        {"theme_path", "保存路径"}, {"resourceid", "ID"},
    };
    for (const auto& [name, label] : kLabels) {
        if (field == name) {
            return label;
        }
    }
    return "";
}

// A refused text is named in a warning, and the page keeps its form open.
CommandResult SetCreateInfo(CommandCall& call) {
    CreateInfo info;
    info.prj_name = call.text(0);
    info.theme_name = call.text(1);
    info.version_name = call.text(2);
    info.description = call.text(3);
    info.originate = call.text(4);
    info.author = call.text(5);
    info.theme_path = call.text(6);
    info.resourceid = call.text(7);
    std::string tooLong;
    if (!GetAppState().SetCreateInfo(info, &tooLong)) {
        // Chinese text takes three bytes a character in UTF-8.
        ShowWarningAlert(
            call.host(),
            FormatString("“%s”太长了：最多%zu个字节（约%zu个汉字），请改短后再试。",
                         CreateFieldLabel(tooLong), kStateFieldCapacity, kStateFieldCapacity / 3));
        return CommandResult::Boolean(false);
    }
    return CommandResult::Boolean(true);
}

CommandResult GetDefaultProjectPath(CommandCall&) {
    return CommandResult::Text(WorkFolder());
}

// True when destination names a file right inside the open project's
// launcher drawable-xxhdpi folder, where the advanced mode puts app icons.
bool IsLauncherIconPath(const std::string& destination) {
    const std::string project = OpenProjectFolder();
    if (project.empty() || destination.empty() || destination[0] != '/') {
        return false;
    }
    const std::filesystem::path file = std::filesystem::path(destination).lexically_normal();
    const std::filesystem::path folder =
        (std::filesystem::path(project) / "launcher/content/res/drawable-xxhdpi")
            .lexically_normal();
    return file.has_filename() && file.filename() != "." && file.filename() != ".." &&
           file.parent_path() == folder;
}

// copypng(source, destination): an app icon the user picked in a file dialog
// goes into the open project's launcher drawable-xxhdpi, written beside the
// old file and renamed over it. Any other source or destination is refused.
CommandResult CopyPng(CommandCall& call) {
    const std::string& source = call.text(0);
    const std::string& destination = call.text(1);
    if (!IsLauncherIconPath(destination)) {
        LogWarn("copypng refused: %s is not in the open project's launcher drawable-xxhdpi\n",
                destination.c_str());
        return CommandResult::Boolean(false);
    }
    gfx::Image image;
    if (!WasChosenInFileDialog(source) || !gfx::DecodeImage(source, &image)) {
        LogWarn("copypng refused: %s is not an image picked in the file dialog\n", source.c_str());
        return CommandResult::Boolean(false);
    }
    if (!CopyPath(source, destination)) {
        LogError("copy %s to %s failed\n", source.c_str(), destination.c_str());
        return CommandResult::Boolean(false);
    }
    return CommandResult::Boolean(true);
}

CommandResult ShowColorDialogCommand(CommandCall& call) {
    return CommandResult::Text(ShowColorDialog(call.host(), &call.window()));
}

CommandResult MaximizeWindow(CommandCall& call) {
    call.window().SendToPage("{\"maximize\":true}");
    return CommandResult::None();
}

CommandHandler LogAt(int (*log)(const char*, ...)) {
    return [log](CommandCall& call) {
        log("%s\n", call.text(0).c_str());
        return CommandResult::None();
    };
}

}  // namespace

}  // namespace sw::host

SKINWRIGHT_COMMAND_GROUP(shell) {
    using namespace sw::host;
    using K = ResultKind;
    const std::vector<ArgKind> none;
    const std::vector<ArgKind> one = Texts(1);
    const std::vector<ArgKind> two = Texts(2);
    const std::vector<ArgKind> size = {ArgKind::kNumber, ArgKind::kNumber};

    tables.Add(WindowClass::kPopup,
               {
                   {"OnDocumentReady", none, K::kNone, &PopupDocumentReady},
                   {"CloseWindow", none, K::kNone, &PopupClose},
                   {"SetWindowSize", size, K::kNone, &SetWindowSize},
                   {"SelectFolder", none, K::kText, &SelectFolder},
                   {"OnOk", none, K::kNone, &OnOk},
                   {"SetCreateInfo", Texts(8), K::kBoolean, &SetCreateInfo},
                   {"ALERT", one, K::kNone, &AlertCommand},
                   {"GetParameter", none, K::kText, &GetParameterCommand},
                   {"Explorer", two, K::kNone, &ExplorerCommand},
                   {"ShowChooseFileDialog", one, K::kText, &ShowChooseFileDialogCommand},
                   {"openlog", two, K::kNone, &OpenLogCommand},
                   {"GetDefaultProjectPath", none, K::kText, &GetDefaultProjectPath},
                   {"copypng", two, K::kBoolean, RecordedEdit("替换应用图标", &CopyPng)},
               });
    tables.Add(WindowClass::kStart, {
                                        {"CloseWindow", none, K::kNone, &StartClose},
                                        {"NavigateUrl", one, K::kNone, &NavigateUrlCommand},
                                    });
    tables.Add(WindowClass::kMain,
               {
                   {"CloseWindow", none, K::kNone, &MainClose},
                   {"RunningWork", none, K::kText, &RunningWorkCommand},
                   {"Logd", one, K::kNone, LogAt(&sw::LogDebug)},
                   {"Logi", one, K::kNone, LogAt(&sw::LogInfo)},
                   {"Logw", one, K::kNone, LogAt(&sw::LogWarn)},
                   {"Loge", one, K::kNone, LogAt(&sw::LogError)},
                   {"ShowChooseFileDialog", one, K::kText, &ShowChooseFileDialogCommand},
                   {"ShowColorDialog", none, K::kText, &ShowColorDialogCommand},
                   {"ALERT", one, K::kNone, &AlertCommand},
                   {"MaximizeWindow", none, K::kNone, &MaximizeWindow},
                   {"Explorer", two, K::kNone, &ExplorerCommand},
                   {"NavigateUrl", one, K::kNone, &NavigateUrlCommand},
               });
}
