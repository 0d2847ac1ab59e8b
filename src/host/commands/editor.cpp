// The editor page's commands on the open project: thumbnails, redraws, hit
// tests, image and colour replacement, and the tasks that open, create and
// reload projects from the main window.
#include "engine/page_commands.h"
#include "engine/recent_colors.h"
#include "engine/theme_project.h"
#include "host/command_group.h"
#include "host/edit_steps.h"
#include "host/host.h"
#include "host/project_tasks.h"
#include "host/script_bridge.h"
#include "host/window.h"

namespace sw::host {

namespace {

// A main-window command that starts task on a thread of its own, reporting
// to the main window, and returns at once.
CommandHandler MainWindowTask(void (*task)(Window&)) {
    return [task](CommandCall& call) {
        Window& main = call.window();
        call.host().StartTask([task, &main] { task(main); });
        return CommandResult::None();
    };
}

void ReloadIntoMainWindow(Window& main) {
    ReloadTask(main.host(), &main);
}

// From a settings popup after a save: the previews and thumbnails are drawn
// again without the editor page's overlay or lists.
CommandResult RefreshLockscreen(CommandCall& call) {
    Host& host = call.host();
    host.StartTask([&host, popup = call.window().id()] { QuietReloadTask(host, popup); });
    return CommandResult::None();
}

CommandResult DrawThumbNailCommand(CommandCall& call) {
    return CommandResult::Boolean(DrawThumbNail(call.text(0), call.number(1), call.number(2)));
}

// The page hears as soon as the screen of the edit is drawn (it shows it
// while the other screens are drawn): OnShownScreenDrawn(package, screen).
ShownScreenDrawn TellPageScreenDrawn(CommandCall& call, int screenId) {
    return [&main = call.window(), module = call.text(0), screenId] {
        CallPageFunction(&main, "OnShownScreenDrawn", {module, std::to_string(screenId)});
    };
}

CommandResult RedrawCommand(CommandCall& call) {
    return CommandResult::Boolean(Redraw(call.text(0), call.number(1), call.number(2),
                                         call.number(3),
                                         TellPageScreenDrawn(call, call.number(1))));
}

CommandResult RedrawAllCommand(CommandCall&) {
    return CommandResult::Boolean(RedrawAll());
}

CommandResult RedrawAll1Command(CommandCall&) {
    return CommandResult::Boolean(RedrawAll1());
}

CommandResult GetElementByXYCommand(CommandCall& call) {
    return CommandResult::Text(
        GetElementByXY(call.text(0), call.number(1), call.text(2), call.number(3), call.number(4)));
}

CommandResult GetRectByElementIDCommand(CommandCall& call) {
    return CommandResult::Text(GetRectByElementID(call.text(0), call.number(1), call.number(2)));
}

CommandResult GetImageInfoCommand(CommandCall& call) {
    return CommandResult::Text(GetImageInfo(call.text(0)));
}

CommandResult SaveThemeImageCommand(CommandCall& call) {
    return CommandResult::Boolean(SaveThemeImage(call.text(0), call.number(1), call.number(2),
                                                 call.number(3), call.text(4),
                                                 TellPageScreenDrawn(call, call.number(1))));
}

CommandResult SaveDeleteImageCommand(CommandCall& call) {
    return CommandResult::Boolean(SaveDeleteImage(call.text(0), call.number(1), call.number(2),
                                                  call.number(3), call.text(4)));
}

// A colour saved is one the colour dialog offers again.
CommandResult SaveThemeColorCommand(CommandCall& call) {
    const bool saved = SaveThemeColor(call.text(0), call.number(1), call.number(2), call.text(3));
    if (saved) {
        AddRecentColor(OpenProjectFolder(), call.text(3));
    }
    return CommandResult::Boolean(saved);
}

// The history steps of the edits say what changed: "替换图片 wallpaper.jpg",
// "文字颜色 lock_date_text".
std::string ImageStepName(CommandCall& call) {
    return StepName("替换图片",
                    EditedImageName(call.text(0), call.number(1), call.number(2), call.number(3)));
}

std::string ColorStepName(CommandCall& call) {
    return StepName("文字颜色", EditedColorName(call.text(0), call.number(1), call.number(2)));
}

}  // namespace

}  // namespace sw::host

SKINWRIGHT_COMMAND_GROUP(editor) {
    using namespace sw::host;
    using K = ResultKind;
    const ArgKind T = ArgKind::kText;
    const ArgKind N = ArgKind::kNumber;
    tables.Add(WindowClass::kMain,
               {
                   {"OnDocumentReady", {}, K::kNone, MainWindowTask(&ListTask)},
                   {"OpenThemeProject", {}, K::kNone, MainWindowTask(&MainWindowOpenTask)},
                   {"CreateThemeProject", {}, K::kNone, MainWindowTask(&MainWindowCreateTask)},
                   {"RefreshWeather", {}, K::kNone, MainWindowTask(&ReloadIntoMainWindow)},
                   {"DrawThumbNail", {T, N, N}, K::kBoolean, &DrawThumbNailCommand},
                   {"Redraw", {T, N, N, N}, K::kBoolean, &RedrawCommand},
                   {"RedrawAll", {}, K::kBoolean, &RedrawAllCommand},
                   {"RedrawAll1", {}, K::kBoolean, &RedrawAll1Command},
                   {"GetElementByXY", {T, N, T, N, N}, K::kText, &GetElementByXYCommand},
                   {"GetRectByElementID", {T, N, N}, K::kText, &GetRectByElementIDCommand},
                   {"GetImageInfo", {T}, K::kText, &GetImageInfoCommand},
                   {"SaveThemeImage",
                    {T, N, N, N, T},
                    K::kBoolean,
                    RecordedEdit(&ImageStepName, &SaveThemeImageCommand)},
                   {"SaveDeleteImage",
                    {T, N, N, N, T},
                    K::kBoolean,
                    RecordedEdit("图标打包选择", &SaveDeleteImageCommand)},
                   {"SaveThemeColor",
                    {T, N, N, T},
                    K::kBoolean,
                    RecordedEdit(&ColorStepName, &SaveThemeColorCommand)},
               });
    tables.Add(WindowClass::kPopup, {{"RefreshLockscreen", {}, K::kNone, &RefreshLockscreen}});
}
