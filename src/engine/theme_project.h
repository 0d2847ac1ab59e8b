// The open theme project: its project file, its modules, and whether every
// screen was drawn. The process has one, guarded so that no command reads it
// while a task replaces it.
#pragma once

#include <json/value.h>

#include <functional>
#include <memory>
#include <mutex>
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
    bool loaded() const { return loaded_; }
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
    bool LoadModules(gfx::DecodedPictures* pictures);
    bool DrawModules(const OpenOptions& options);

    std::string project_path_;
    Json::Value document_;
    std::string project_dir_;
    std::vector<std::unique_ptr<ThemeModule>> modules_;
    bool loaded_ = false;
    int thumbnail_width_ = 0;
    int thumbnail_height_ = 0;
    // From the project file's dpi and density.
    int screen_width_ = 0;
    int screen_height_ = 0;
    int density_ = 0;
};

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

// The process's project; both wait while the other kind of access is held.
// A thread that holds either must not call OpenProject, which waits for every
// access to end before it puts the new project in place.
ProjectReader ReadProject();
ProjectWriter WriteProject();

// Opens the project file at path as the process's project: a new project is
// built and drawn without holding the guard, then takes the place of the old
// one whatever the outcome (a failed open leaves what it reached, with loaded
// false). Opens run one at a time. True when at least one module loaded and
// every screen was drawn (every one options ask for).
bool OpenProject(const std::string& path, const OpenOptions& options = {});

// The open project's folder ("" before any open), without waiting for the
// guard: for serving its images while a command draws.
std::string OpenProjectFolder();

// Called by OpenProject on its own thread once the new project is built, just
// before it waits for the guard to put it in place; nullptr for none. The
// tests hold an open there to make readers and commands overlap the
// replacement on purpose.
void SetProjectReplaceHook(std::function<void()> hook);

}  // namespace sw
