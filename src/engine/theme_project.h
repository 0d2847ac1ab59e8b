// The open theme project: its project file, its modules, and whether every
// screen was drawn. The process has one, guarded so that no command reads it
// while a task replaces it.
#pragma once

#include <json/value.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <vector>

#include "engine/theme_module.h"

namespace sw {

namespace gfx {
class DecodedPictures;
}

// Which screens of a module an open draws.
enum class ScreensToDraw {
    kEvery,  // every screen: the editor shows them all
    kFirst,  // the first screen, with the second, which is always drawn with it
    kNone,
};

// The page name of the module the editor shows first, the home screen: its
// first screen is what an editor's open draws before it answers.
inline constexpr const char* kFirstShownModule = "桌面";

// How an open goes about its work. By default every screen of every module
// is drawn, as the editor needs; a caller that reads only some previews (a
// pack) asks for those alone.
struct OpenOptions {
    // The screens to draw of the module in the folder of that name; empty
    // for every screen of every module.
    std::function<ScreensToDraw(const std::string& module)> screens;
    // Where the pictures the open decodes are shared with later steps
    // (a check); nullptr for none.
    gfx::DecodedPictures* pictures = nullptr;
    // The page name of the module the editor shows first. When set, Open
    // answers once that module's first screen (with the second) is drawn,
    // decoding only the pictures those need; DrawTheRest draws the others
    // (OpenProject does it on a thread of its own). Empty: Open draws every
    // screen before it answers.
    std::string answer_after;
};

class ThemeProject {
  public:
    ThemeProject() = default;
    ThemeProject(const ThemeProject&) = delete;
    ThemeProject& operator=(const ThemeProject&) = delete;

    // Reads the project file at path into this project, loads every module
    // folder and draws every screen (those options ask for). Meant for a
    // fresh project; whatever was reached before a failure is kept. Logs every
    // failure.
    bool Open(const std::string& path, const OpenOptions& options = {});

    // After an Open that answered early (answer_after): decodes and draws
    // what it left, telling drawn of every screen written, and sets loaded
    // to the outcome. A picture found unreadable now fails its module as a
    // load would ("load module %s failed."), a screen that cannot be drawn
    // its module ("draw package %d failed"). The modules are only read, so
    // readers may share the project meanwhile, writers not. True at once
    // when nothing is left.
    bool DrawTheRest(const std::function<void(const ThemePackage&)>& drawn = nullptr);
    // Whether an early answer left drawing to do.
    bool drawing_left() const { return rest_.has_value(); }
    // The preview and thumbnail files of the screens left to draw.
    std::vector<std::string> PicturesLeftToDraw() const;

    // Reads the project file and loads every module as Open does, but draws
    // nothing: nothing is written in the project. What a check reads.
    bool OpenWithoutDrawing(const std::string& path);

    // The first module whose template page name equals name byte for byte;
    // modules without a page name are skipped. Logs nothing.
    ThemeModule* FindModule(const std::string& name);
    const ThemeModule* FindModule(const std::string& name) const;

    const std::string& project_path() const { return project_path_; }
    const Json::Value& document() const { return document_; }
    // The folder that holds the module folders ("" until the file was read).
    const std::string& project_dir() const { return project_dir_; }
    const std::vector<std::unique_ptr<ThemeModule>>& modules() const { return modules_; }
    std::vector<std::unique_ptr<ThemeModule>>& modules() { return modules_; }
    bool loaded() const { return loaded_.load(); }
    int thumbnail_width() const { return thumbnail_width_; }
    int thumbnail_height() const { return thumbnail_height_; }
    void SetThumbnailSize(int width, int height);

    // Loads the module folder name of the project folder with the project's
    // screen size and density, as the open loads each module; nullptr (logged
    // by the loader) when it does not load or the project file was not read.
    // keepPictures: see LoadModule.
    std::unique_ptr<ThemeModule> LoadModuleFolder(const std::string& name,
                                                  bool keepPictures = false,
                                                  gfx::DecodedPictures* pictures = nullptr) const;

  private:
    // Reads the project file and loads every module, decoding through
    // pictures when given.
    bool ReadAndLoad(const std::string& path, gfx::DecodedPictures* pictures);
    // Reads and checks the project file; false (logged) when it is unusable.
    bool ReadProjectFile();
    // Loads each module folder of the project with load (nullptr when it
    // does not load, which fails the open), passing over folders that are
    // no modules.
    bool LoadModules(
        const std::function<std::unique_ptr<ThemeModule>(const std::string& name)>& load);
    // A module of the project's screen size and density, not yet loaded.
    std::unique_ptr<ThemeModule> NewModule() const;
    bool DrawModules(const OpenOptions& options);
    // Clears what an open reads and sets the project file path.
    void Reset(const std::string& path);
    // Open's way with answer_after: the first screen of that module before
    // the answer, the rest left in rest_.
    bool OpenFirstScreen(const std::string& path, const OpenOptions& options);

    // What an early answer left to decode and draw, by module index.
    struct Rest {
        std::vector<std::vector<std::string>> files;
        std::vector<std::vector<int>> screens;
        gfx::DecodedPictures* pictures = nullptr;
    };

    std::string project_path_;
    Json::Value document_;
    std::string project_dir_;
    std::vector<std::unique_ptr<ThemeModule>> modules_;
    std::optional<Rest> rest_;
    // Read by readers while the rest of an open is drawn.
    std::atomic<bool> loaded_{false};
    int thumbnail_width_ = 0;
    int thumbnail_height_ = 0;
    // From the project file's dpi and density.
    int screen_width_ = 0;
    int screen_height_ = 0;
    int density_ = 0;
};

// Draws every screen of project that an open with options left out
// (OpenOptions::screens), each module's side by side: for a caller that
// opened for some previews only and leaves no preview older than the
// project behind. False when one cannot be drawn (logged, and the others
// are drawn still).
bool DrawScreensLeftOut(const ThemeProject& project, const OpenOptions& options);

// The project folder the project file at path names (its "name" member, a
// folder beside the file) without opening the project; "" when the file
// names none. Logs nothing.
std::string ProjectFolderNamedIn(const std::string& path);

// Shared access to the process's project: many readers at once, never while
// a writer holds it.
class ProjectReader {
  public:
    ProjectReader(std::shared_lock<std::shared_mutex> lock, const ThemeProject& project)
        : lock_(std::move(lock)), project_(&project) {}
    const ThemeProject& operator*() const { return *project_; }
    const ThemeProject* operator->() const { return project_; }

  private:
    std::shared_lock<std::shared_mutex> lock_;
    const ThemeProject* project_;
};

// Sole access to the process's project, for commands that change it.
class ProjectWriter {
  public:
    ProjectWriter(std::unique_lock<std::shared_mutex> lock, ThemeProject& project)
        : lock_(std::move(lock)), project_(&project) {}
    ThemeProject& operator*() const { return *project_; }
    ThemeProject* operator->() const { return project_; }

  private:
    std::unique_lock<std::shared_mutex> lock_;
    ThemeProject* project_;
};

// The process's project; both wait while the other kind of access is held,
// and a writer also until the drawing an early open left has ended. A thread
// that holds either must not call OpenProject, which waits for every access
// to end before it puts the new project in place.
ProjectReader ReadProject();
ProjectWriter WriteProject();

// Opens the project file at path as the process's project: a new project is
// built and drawn without holding the guard, then takes the place of the old
// one whatever the outcome (a failed open leaves what it reached, with loaded
// false). Opens run one at a time, each after the drawing of the last one
// ended. True when at least one module loaded and every screen was drawn
// (every one options ask for). With options.answer_after the answer comes
// once that module's first screen is drawn, true when the rest is drawn
// next on a thread of its own (WaitForOpenDrawing).
bool OpenProject(const std::string& path, const OpenOptions& options = {});

// The open project's folder ("" before any open), without waiting for the
// guard: for serving its images while a command draws.
std::string OpenProjectFolder();

// Waits until the drawing the last open left (OpenOptions::answer_after)
// has ended; true when it succeeded or there was none. A reader of every
// preview (a pack, a check) waits here first; writers (WriteProject) wait
// by themselves.
bool WaitForOpenDrawing();

// Waits at most limit until the picture at path (a preview or thumbnail of
// the open project) is no longer left to draw by the last open; false when
// it still is. True at once for any other file.
bool WaitForOpenPicture(const std::string& path, std::chrono::milliseconds limit);

// Called by OpenProject on its own thread once the new project is built, just
// before it waits for the guard to put it in place; nullptr for none. The
// tests hold an open there to make readers and commands overlap the
// replacement on purpose.
void SetProjectReplaceHook(std::function<void()> hook);

}  // namespace sw
