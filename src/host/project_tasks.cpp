#include "host/project_tasks.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "core/log.h"
#include "core/paths.h"
#include "engine/create_project.h"
#include "engine/page_commands.h"
#include "engine/theme_project.h"
#include "host/alerts.h"
#include "host/host.h"
#include "host/recent_projects.h"
#include "host/script_bridge.h"
#include "host/system_dialogs.h"

namespace sw::host {

namespace {

constexpr const char* kOpenFailed = "打开主题包失败。";
constexpr const char* kCreateFailed = "创建主题包失败。";

// An open answers once the first screen the editor shows is drawn, and
// draws the others meanwhile.
OpenOptions EditorOpen() {
    OpenOptions options;
    options.answer_after = kFirstShownModule;
    return options;
}

// Lets the page show its loading overlay before the lists arrive.
constexpr auto kListPause = std::chrono::milliseconds(100);

std::string ProjectPathCopy() {
    return ReadProject()->project_path();
}

// "OnProjectLoading();", a short pause, the lists (the resource list only
// when asked for) and "OnProjectLoaded();". When the project is not loaded,
// the open failure's warning instead, and "OnProjectOpenFailed();" takes the
// loading overlay down.
void SendPageLists(Window* main, bool withResources) {
    EvalInPage(main, "OnProjectLoading();");
    std::this_thread::sleep_for(kListPause);
    // The lists follow the whole drawing of the open, whose failure comes
    // to the page as the open's own would.
    WaitForOpenDrawing();
    std::string resources;
    std::string categories;
    if (!BuildPageLists(resources, categories)) {
        LogError("no resource lists: the project is not loaded\n");
        ShowWarningAlert(main->host(), kOpenFailed);
        EvalInPage(main, "OnProjectOpenFailed();");
        return;
    }
    if (withResources) {
        CallPageFunction(main, "SetResourceList", {resources});
    }
    CallPageFunction(main, "SetCategoryList", {categories});
    EvalInPage(main, "OnProjectLoaded();");
}

// Opens a project the designer chose (made absolute) and puts it first in the
// start page's list of recent projects.
bool OpenChosenProject(const std::string& path) {
    std::error_code error;
    const std::string absolute = std::filesystem::absolute(path, error).lexically_normal();
    const std::string chosen = error ? path : absolute;
    if (!OpenProject(chosen, EditorOpen())) {
        return false;
    }
    RememberRecentProject(chosen);
    return true;
}

// The list task follows a successful open or create on a thread of its own.
void StartListTask(Window& main) {
    main.host().StartTask([&main] { ListTask(main); });
}

}  // namespace

void StartWindowOpenTask(Window& start) {
    EvalInPage(&start, "ShowStatus('open');");
    const std::string path = ChooseFileToOpen(start.host(), &start, kProjectFileFilter);
    if (path.empty()) {
        EvalInPage(&start, "ShowStatus('all');");
        return;
    }
    StartWindowOpenFileTask(start, path);
}

void StartWindowCreateTask(Window& start) {
    Host& host = start.host();
    EvalInPage(&start, "ShowStatus('create');");
    PopupOptions form;
    form.title = kCreateTitle;
    form.page_id = kCreatePage;
    if (host.OpenPopup(&start, std::move(form)).result != "ok") {
        EvalInPage(&start, "ShowStatus('all');");
        return;
    }
    if (!CreateProject()) {
        ShowWarningAlert(host, kCreateFailed);
        EvalInPage(&start, "ShowStatus('all');");
        return;
    }
    EvalInPage(&start, "ShowStatus('open');");
    if (OpenChosenProject(CreatedProjectPath(GetCreateInfo()))) {
        start.End("ok");
        return;
    }
    ShowWarningAlert(host, kOpenFailed);
    EvalInPage(&start, "ShowStatus('all');");
}

void StartWindowOpenFileTask(Window& start, const std::string& path) {
    if (OpenChosenProject(path)) {
        start.End("ok");
        return;
    }
    ShowWarningAlert(start.host(), kOpenFailed);
    EvalInPage(&start, "ShowStatus('all');");
}

void ListTask(Window& main) {
    SendPageLists(&main, true);
}

void MainWindowOpenTask(Window& main) {
    Host& host = main.host();
    const std::string path = ChooseFileToOpen(host, &main, kProjectFileFilter);
    if (path.empty()) {
        return;
    }
    EvalInPage(&main, "OnProjectOpening();");
    if (OpenChosenProject(path)) {
        EvalInPage(&main, "OnProjectOpened();");
        StartListTask(main);
        return;
    }
    ShowWarningAlert(host, kOpenFailed);
    EvalInPage(&main, "OnProjectOpenFailed()");
}

void MainWindowCreateTask(Window& main) {
    Host& host = main.host();
    PopupOptions form;
    form.title = kCreateTitle;
    form.page_id = kCreatePage;
    if (host.OpenPopup(nullptr, std::move(form)).result != "ok") {
        return;
    }
    EvalInPage(&main, "OnProjectCreating()");
    if (!CreateProject()) {
        ShowWarningAlert(host, kCreateFailed);
        EvalInPage(&main, "OnProjectCreateFailed();");
        return;
    }
    if (OpenChosenProject(CreatedProjectPath(GetCreateInfo()))) {
        EvalInPage(&main, "OnProjectCreated();");
        StartListTask(main);
        return;
    }
    ShowWarningAlert(host, kOpenFailed);
    EvalInPage(&main, "OnProjectCreateFailed();");
}

bool ReloadTask(Host& host, Window* main) {
    const std::string path = ProjectPathCopy();
    if (path.empty()) {
        return false;
    }
    EvalInPage(main, "OnProjectOpening();");
    // Without a window no list task tells of a failure of the drawing the
    // open left, so it is waited for here.
    if (!OpenProject(path, EditorOpen()) || (main == nullptr && !WaitForOpenDrawing())) {
        ShowWarningAlert(host, kOpenFailed);
        EvalInPage(main, "OnProjectOpenFailed()");
        return false;
    }
    if (main == nullptr) {
        return true;
    }
    EvalInPage(main, "OnProjectOpened();");
    SendPageLists(main, false);  // the resource list is not sent again
    return true;
}

bool ReloadKeepingThumbnails(Host& host) {
    int width = 0;
    int height = 0;
    {
        const ProjectReader project = ReadProject();
        width = project->thumbnail_width();
        height = project->thumbnail_height();
    }
    if (!ReloadTask(host, nullptr)) {
        return false;
    }
    // An open forgets the thumbnail size, which only the editor page sets.
    std::vector<std::string> modules;
    {
        const ProjectReader project = ReadProject();
        for (const auto& module : project->modules()) {
            std::string name;
            if (module->PageName(name)) {
                modules.push_back(name);
            }
        }
    }
    for (const std::string& module : modules) {
        DrawThumbNail(module, width, height);
    }
    return true;
}

void QuietReloadTask(Host& host, const std::string& popupId) {
    if (!ReloadKeepingThumbnails(host)) {
        return;
    }
    constexpr const char* kImagesChanged = "{\"imagesChanged\":true}";
    host.main_window().SendToPage(kImagesChanged);
    if (std::shared_ptr<Window> popup = host.FindWindow(popupId)) {
        popup->SendToPage(kImagesChanged);
    }
}

void SettingsPopupTask(Window& main, const std::string& title, int pageId) {
    PopupOptions options;
    options.title = title;
    options.page_id = pageId;
    {
        const ProjectReader project = ReadProject();
        options.parameters["name"] = project->document().isObject()
                                         ? project->document().get("name", Json::Value())
                                         : Json::Value();
        options.parameters["path"] = FolderOf(project->project_path());
    }
    main.host().OpenPopup(&main, std::move(options));
}

bool OpenProjectAtStart(const std::string& path) {
    if (OpenChosenProject(path)) {
        return true;
    }
    LogError("the project %s given at start could not be opened\n", path.c_str());
    return false;
}

}  // namespace sw::host
