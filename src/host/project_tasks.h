// The tasks that open projects and show settings popups. Each runs on a
// thread of its own (Host::StartTask); the command that starts one returns at
// once. A task reaches its window's page only through host-to-page calls.
#pragma once

#include <string>

namespace sw::host {

class Host;
class Window;

// The create form's popup.
inline constexpr const char* kCreateTitle = "新建主题包";
inline constexpr int kCreatePage = 172;
// The pack form; only its close stops a running pack.
inline constexpr int kPackPage = 185;

// The file-dialog filter of project files.
inline constexpr const char* kProjectFileFilter = "Quindo手机主题包工程(*.wtpj)|*.wtpj||";

// Start window, OpenThemeProject: the project file dialog, then the open; a
// success ends the start window with "ok".
void StartWindowOpenTask(Window& start);

// Start window, CreateThemeProject: the create form in a popup, the
// creation from the template and the open of the new project; a success ends
// the start window with "ok".
void StartWindowCreateTask(Window& start);

// Main window, OnDocumentReady and after an open or create: "OnProjectLoading();",
// a short pause, then the resource and category lists and "OnProjectLoaded();".
// Stops after the first notification when the project is not loaded.
void ListTask(Window& main);

// Start window, the open of a chosen project file (from the file dialog or
// the list of recent projects); a success ends the start window with "ok".
void StartWindowOpenFileTask(Window& start, const std::string& path);

// Main window, OpenThemeProject: the project file dialog, then the open and
// the list task; a cancelled dialog sends nothing.
void MainWindowOpenTask(Window& main);

// Main window, CreateThemeProject: the create form, the creation, the open
// and the list task.
void MainWindowCreateTask(Window& main);

// Opens the open project's file again and redraws its previews. With a
// window (the main window's RefreshWeather) the page hears of it and gets
// the category list again; with none it hears nothing, though a failure
// still shows its alert. True when the project opened.
bool ReloadTask(Host& host, Window* main);

// Opens the open project's file again (ReloadTask without a window), then
// draws every module's thumbnails at the size the editor page last asked
// for, which an open forgets. True when the project opened.
bool ReloadKeepingThumbnails(Host& host);

// A settings popup's RefreshLockscreen, after a save: the reload without a
// window, then every module's thumbnails drawn again at the size the editor
// page last asked for, and the editor page and the popup (by its id) told
// that the pictures changed ({"imagesChanged":true}), so that they show the
// new ones. The editor page keeps its lists, tabs and selection.
void QuietReloadTask(Host& host, const std::string& popupId);

// Main window, a settings popup: title and page over the main window, with
// the open project's name and folder as its parameters.
void SettingsPopupTask(Window& main, const std::string& title, int pageId);

// Opens path (made absolute) as the start window's open would, before any
// window is shown. False (logged) when it did not open.
bool OpenProjectAtStart(const std::string& path);

}  // namespace sw::host
