// The commands that start project tasks: opening a project from the start
// window and the settings popups of the main window.
#include "core/paths.h"
#include "engine/theme_project.h"
#include "host/command_group.h"
#include "host/host.h"
#include "host/project_tasks.h"
#include "host/recent_projects.h"
#include "host/script_bridge.h"
#include "host/window.h"

namespace sw::host {

namespace {

CommandResult StartOpenThemeProject(CommandCall& call) {
    Window& start = call.window();
    EvalInPage(&start, "ShowStatus('open');");
    call.host().StartTask([&start] { StartWindowOpenTask(start); });
    return CommandResult::None();
}

CommandResult StartCreateThemeProject(CommandCall& call) {
    Window& start = call.window();
    EvalInPage(&start, "ShowStatus('create');");
    call.host().StartTask([&start] { StartWindowCreateTask(start); });
    return CommandResult::None();
}

CommandResult StartOpenRecentProject(CommandCall& call) {
    Window& start = call.window();
    const std::string path = call.text(0);
    EvalInPage(&start, "ShowStatus('open');");
    call.host().StartTask([&start, path] {
        EvalInPage(&start, "ShowStatus('open');");
        StartWindowOpenFileTask(start, path);
    });
    return CommandResult::None();
}

CommandResult GetRecentProjects(CommandCall&) {
    return CommandResult::Text(RecentProjectsJson());
}

// Takes a project out of the list (its files stay); answers the new list.
CommandResult RemoveRecentProject(CommandCall& call) {
    ForgetRecentProject(call.text(0));
    return CommandResult::Text(RecentProjectsJson());
}

// The open project's name (its file name without ".wtpj"), for the title.
CommandResult GetProjectName(CommandCall&) {
    std::string name = FileNameOf(ReadProject()->project_path());
    if (name.ends_with(".wtpj")) {
        name.resize(name.size() - 5);
    }
    return CommandResult::Text(name);
}

// A main-window command that shows a settings popup on a task of its own.
CommandHandler SettingsPopup(std::string title, int pageId) {
    return [title = std::move(title), pageId](CommandCall& call) {
        Window& main = call.window();
        call.host().StartTask([&main, title, pageId] { SettingsPopupTask(main, title, pageId); });
        return CommandResult::None();
    };
}

}  // namespace

}  // namespace sw::host

SKINWRIGHT_COMMAND_GROUP(projects) {
    using namespace sw::host;
    using K = ResultKind;
    tables.Add(WindowClass::kStart,
               {
                   {"OpenThemeProject", {}, K::kNone, &StartOpenThemeProject},
                   {"CreateThemeProject", {}, K::kNone, &StartCreateThemeProject},
                   {"GetRecentProjects", {}, K::kText, &GetRecentProjects},
                   {"OpenRecentProject", {ArgKind::kText}, K::kNone, &StartOpenRecentProject},
                   {"RemoveRecentProject", {ArgKind::kText}, K::kText, &RemoveRecentProject},
               });
    tables.Add(WindowClass::kMain,
               {
                   {"OpenAttribute", {}, K::kNone, SettingsPopup("属性设置", 190)},
                   {"OpenLockscreen", {}, K::kNone, SettingsPopup("锁屏布局", 191)},
                   {"OpenCallscreen", {}, K::kNone, SettingsPopup("通话布局", 248)},
                   {"OpenWeather", {}, K::kNone, SettingsPopup("天气布局", 233)},
                   {"OpenAdvancedMode", {}, K::kNone, SettingsPopup("高级模式", 240)},
                   {"AnimatorLockscreen", {}, K::kNone, SettingsPopup("锁屏动画", 196)},
                   {"PackTheme", {}, K::kNone, SettingsPopup("生成主题包", kPackPage)},
                   {"GetProjectName", {}, K::kText, &GetProjectName},
               });
}
