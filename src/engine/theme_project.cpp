#include "engine/theme_project.h"

#include <json/writer.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>

#include "core/files.h"
#include "core/log.h"
#include "core/on_all_cores.h"
#include "core/paths.h"
#include "core/text.h"
#include "engine/json_file.h"
#include "engine/module_folders.h"
#include "engine/module_loader.h"
#include "engine/open_drawing.h"
#include "engine/resolution.h"
#include "engine/screen_drawing.h"
#include "engine/thumbnails.h"

namespace sw {

namespace {

// A project name is one folder name beside the project file; a name that
// would lead anywhere else is not accepted.
bool IsFolderName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

// The text of a member that is no string, for the log.
std::string MemberText(const Json::Value& value) {
    if (value.isString()) {
        return value.asString();
    }
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    return Json::writeString(builder, value);
}

struct ProjectSlot {
    // The drawing an open leaves runs on the shared helper threads, which
    // must outlive the slot that waits for it when the process ends.
    ProjectSlot() { CoreCount(); }
    ~ProjectSlot() { drawing.reset(); }

    std::shared_mutex guard;
    std::unique_ptr<ThemeProject> project = std::make_unique<ThemeProject>();
    // Opens build their projects outside the guard, so they are serialised
    // among themselves here.
    std::mutex open_mutex;
    // The open project's folder, readable without waiting for a drawing
    // that holds the guard.
    std::mutex folder_mutex;
    std::string folder;
    // The drawing the open project's open left; guarded by folder_mutex
    // and replaced only while the guard is held too.
    std::shared_ptr<OpenDrawing> drawing;
    // Guarded by open_mutex.
    std::function<void()> replace_hook;
};

ProjectSlot& Slot() {
    static ProjectSlot slot;
    return slot;
}

std::shared_ptr<OpenDrawing> CurrentDrawing() {
    ProjectSlot& slot = Slot();
    std::lock_guard folder(slot.folder_mutex);
    return slot.drawing;
}

// The screens of a module an open draws.
std::vector<int> ScreensOpenDraws(const ThemeModule& module, const OpenOptions& options) {
    const ScreensToDraw which =
        options.screens ? options.screens(module.name) : ScreensToDraw::kEvery;
    const int count = static_cast<int>(module.screens.size());
    const int last = which == ScreensToDraw::kNone    ? -1
                     : which == ScreensToDraw::kFirst ? std::min(count, 2) - 1
                                                      : count - 1;
    std::vector<int> screens;
    for (int i = 0; i <= last; ++i) {
        screens.push_back(i);
    }
    return screens;
}

// The first images of the elements of these screens, of files.
std::vector<std::string> FirstImagesOf(const ThemeModule& module, const std::vector<int>& screens,
                                       const std::vector<std::string>& files) {
    const std::set<std::string> known(files.begin(), files.end());
    std::set<std::string> taken;
    std::vector<std::string> images;
    for (int i : screens) {
        for (const ThemeElement& element : module.screens[i].elements) {
            if (!element.images.empty() && known.count(element.images[0]) != 0 &&
                taken.insert(element.images[0]).second) {
                images.push_back(element.images[0]);
            }
        }
    }
    return images;
}

std::vector<std::string> Without(const std::vector<std::string>& all,
                                 const std::vector<std::string>& some) {
    const std::set<std::string> left(some.begin(), some.end());
    std::vector<std::string> rest;
    for (const std::string& item : all) {
        if (left.count(item) == 0) {
            rest.push_back(item);
        }
    }
    return rest;
}

}  // namespace

bool ThemeProject::Open(const std::string& path, const OpenOptions& options) {
    if (!options.answer_after.empty()) {
        return OpenFirstScreen(path, options);
    }
    if (!ReadAndLoad(path, options.pictures)) {
        return false;
    }
    loaded_ = DrawModules(options);
    return loaded_;
}

bool ThemeProject::OpenWithoutDrawing(const std::string& path) {
    return ReadAndLoad(path, nullptr);
}

void ThemeProject::Reset(const std::string& path) {
    LogInfo("opening project %s\n", path.c_str());
    modules_.clear();
    rest_.reset();
    project_path_ = path;
    project_dir_.clear();
    document_ = Json::Value();
    loaded_ = false;
    thumbnail_width_ = 0;
    thumbnail_height_ = 0;
    screen_width_ = 0;
    screen_height_ = 0;
    density_ = 0;
}

bool ThemeProject::ReadAndLoad(const std::string& path, gfx::DecodedPictures* pictures) {
    Reset(path);
    return ReadProjectFile() && LoadModules([&](const std::string& name) {
               return LoadModuleFolder(name, true, pictures);
           });
}

bool ThemeProject::OpenFirstScreen(const std::string& path, const OpenOptions& options) {
    Reset(path);
    if (!ReadProjectFile()) {
        return false;
    }
    // Every module is read, its images sized from their headers alone: the
    // pictures are decoded when their screens are drawn.
    Rest rest;
    rest.pictures = options.pictures;
    const bool loaded = LoadModules([&](const std::string& name) -> std::unique_ptr<ThemeModule> {
        std::unique_ptr<ThemeModule> module = NewModule();
        std::vector<std::string> files;
        if (!LoadModuleSized(*module, project_dir_ + "/" + name, files)) {
            return nullptr;
        }
        module->name = name;
        rest.screens.push_back(ScreensOpenDraws(*module, options));
        rest.files.push_back(std::move(files));
        return module;
    });
    if (!loaded) {
        return false;
    }
    for (std::size_t i = 0; i < modules_.size(); ++i) {
        ThemeModule& module = *modules_[i];
        std::string pageName;
        if (!module.PageName(pageName) || pageName != options.answer_after) {
            continue;
        }
        // The first screen is drawn with the second, as every drawing of it.
        std::vector<int> first;
        std::vector<int> later;
        for (int screen : rest.screens[i]) {
            (screen <= 1 ? first : later).push_back(screen);
        }
        const std::vector<std::string> images = FirstImagesOf(module, first, rest.files[i]);
        if (!DecodeLoadedImages(module, images, options.pictures)) {
            LogError("load module %s failed.\n", module.name.c_str());
            return false;
        }
        if (!first.empty() && !RedrawTheseScreens(module, first, nullptr)) {
            LogError("draw package %d failed\n", static_cast<int>(i));
            return false;
        }
        rest.files[i] = Without(rest.files[i], images);
        rest.screens[i] = std::move(later);
        break;
    }
    rest_ = std::move(rest);
    loaded_ = true;
    return true;
}

std::vector<std::string> ThemeProject::PicturesLeftToDraw() const {
    std::vector<std::string> pictures;
    if (!rest_) {
        return pictures;
    }
    for (std::size_t i = 0; i < modules_.size(); ++i) {
        for (int screen : rest_->screens[i]) {
            pictures.push_back(PreviewPath(modules_[i]->screens[screen]));
            pictures.push_back(ThumbnailPath(modules_[i]->screens[screen]));
        }
    }
    return pictures;
}

bool ThemeProject::DrawTheRest(const std::function<void(const ThemePackage&)>& drawn) {
    if (!rest_) {
        return loaded_;
    }
    const Rest& rest = *rest_;
    bool whole = true;
    for (std::size_t i = 0; i < modules_.size() && whole; ++i) {
        if (!DecodeLoadedImages(*modules_[i], rest.files[i], rest.pictures)) {
            LogError("load module %s failed.\n", modules_[i]->name.c_str());
            whole = false;
        }
    }
    const bool drawnAll =
        whole && ForEachOnAllCoresInLogOrder(modules_.size(), [&](std::size_t i) {
            if (rest.screens[i].empty()) {
                return true;
            }
            const bool done = RedrawTheseScreens(
                *modules_[i], rest.screens[i], [&](const ThemePackage& screen, const gfx::Image&) {
                    if (drawn) {
                        drawn(screen);
                    }
                    return true;
                });
            if (!done) {
                LogError("draw package %d failed\n", static_cast<int>(i));
            }
            return done;
        });
    // The pictures of the load served this drawing; later drawings read the
    // files again, which edits change.
    for (const auto& module : modules_) {
        module->context.load_pictures.clear();
    }
    rest_.reset();
    loaded_ = drawnAll;
    return drawnAll;
}

bool ThemeProject::ReadProjectFile() {
    int screenWidth = 0;
    int screenHeight = 0;
    int density = 0;
    std::string text;
    if (!ReadFileText(project_path_, text)) {
        LogError("fail to open %s\n", project_path_.c_str());
        return false;
    }
    // The reader's default features: comments are allowed and any value is
    // accepted at the top level, to be refused by the member check below.
    if (!ParseJsonFileText(text, document_)) {
        LogError("fail to parse %s\n", project_path_.c_str());
        return false;
    }
    const char* const required[] = {"name", "dpi", "density"};
    for (const char* member : required) {
        if (!document_.isObject() || document_.get(member, Json::Value()).isNull()) {
            LogError("invalid configuration.\n");
            return false;
        }
    }
    const Json::Value& name = document_["name"];
    const Json::Value& dpi = document_["dpi"];
    const Json::Value& densityValue = document_["density"];
    // The name becomes a folder name and the density a number: values of
    // other kinds, or a name that is no single folder name, cannot be used.
    if (!name.isString() || !IsFolderName(name.asString()) || densityValue.isArray() ||
        densityValue.isObject()) {
        LogError("invalid configuration.\n");
        return false;
    }
    const std::string dpiText = MemberText(dpi);
    if (!dpi.isString() || !LookupResolution(dpiText, screenWidth, screenHeight)) {
        if (!dpi.isString()) {
            LogError("unknown resolution %s\n", dpiText.c_str());
        }
        LogError("not supported resolution %s.\n", dpiText.c_str());
        return false;
    }
    if (densityValue.isInt()) {
        density = densityValue.asInt();
    } else {
        density = std::atoi(densityValue.asString().c_str());
    }
    project_dir_ = FolderOf(project_path_) + "/" + name.asString();
    screen_width_ = screenWidth;
    screen_height_ = screenHeight;
    density_ = density;
    return true;
}

bool ThemeProject::LoadModules(
    const std::function<std::unique_ptr<ThemeModule>(const std::string& name)>& load) {
    std::vector<ProjectFolder> folders;
    if (!ListProjectFolders(project_dir_, folders)) {
        LogError("fail to search directory.\n");
        return false;
    }
    for (const ProjectFolder& folder : folders) {
        // Folders of version control and editors and others without a
        // template are passed over instead of stopping the scan.
        if (folder.passed_over != nullptr) {
            LogWarn("folder %s passed over: %s\n", folder.name.c_str(), folder.passed_over);
            continue;
        }
        // A module that cannot be loaded fails the open: a project opened
        // without it would be edited and packed without that screen.
        std::unique_ptr<ThemeModule> module = load(folder.name);
        if (!module) {
            LogError("load module %s failed.\n", folder.name.c_str());
            return false;
        }
        modules_.push_back(std::move(module));
    }
    if (modules_.empty()) {
        LogError("no modules found\n");
        return false;
    }
    return true;
}

std::unique_ptr<ThemeModule> ThemeProject::NewModule() const {
    auto module = std::make_unique<ThemeModule>();
    module->context.screen_width = screen_width_;
    module->context.screen_height = screen_height_;
    module->context.density = density_;
    return module;
}

std::unique_ptr<ThemeModule> ThemeProject::LoadModuleFolder(const std::string& name,
                                                            bool keepPictures,
                                                            gfx::DecodedPictures* pictures) const {
    if (project_dir_.empty()) {
        return nullptr;
    }
    std::unique_ptr<ThemeModule> module = NewModule();
    if (!LoadModule(*module, project_dir_ + "/" + name, keepPictures, pictures)) {
        return nullptr;
    }
    module->name = name;
    return module;
}

bool ThemeProject::DrawModules(const OpenOptions& options) {
    // The modules are drawn side by side too (and each one's screens), so
    // a module of one screen does not keep a core waiting.
    const bool drawn = ForEachOnAllCoresInLogOrder(modules_.size(), [&](std::size_t i) {
        const ThemeModule& module = *modules_[i];
        const ScreensToDraw screens =
            options.screens ? options.screens(module.name) : ScreensToDraw::kEvery;
        if (screens == ScreensToDraw::kNone) {
            return true;
        }
        if (!RedrawScreens(module, screens == ScreensToDraw::kFirst ? 0 : -1)) {
            LogError("draw package %d failed\n", static_cast<int>(i));
            return false;
        }
        return true;
    });
    // The pictures of the load served this first drawing; later drawings
    // read the files again, which edits change.
    for (const auto& module : modules_) {
        module->context.load_pictures.clear();
    }
    return drawn;
}

ThemeModule* ThemeProject::FindModule(const std::string& name) {
    for (const auto& module : modules_) {
        std::string pageName;
        if (module->PageName(pageName) && pageName == name) {
            return module.get();
        }
    }
    return nullptr;
}

const ThemeModule* ThemeProject::FindModule(const std::string& name) const {
    return const_cast<ThemeProject*>(this)->FindModule(name);
}

void ThemeProject::SetThumbnailSize(int width, int height) {
    thumbnail_width_ = width;
    thumbnail_height_ = height;
}

bool DrawScreensLeftOut(const ThemeProject& project, const OpenOptions& options) {
    bool drawn = true;
    for (const auto& module : project.modules()) {
        const std::vector<int> opened = ScreensOpenDraws(*module, options);
        std::vector<int> left;
        for (int i = 0; i < static_cast<int>(module->screens.size()); ++i) {
            if (std::find(opened.begin(), opened.end(), i) == opened.end()) {
                left.push_back(i);
            }
        }
        if (!left.empty() && !RedrawTheseScreens(*module, left, nullptr)) {
            LogWarn("the previews of %s are not all drawn\n", module->name.c_str());
            drawn = false;
        }
    }
    return drawn;
}

std::string ProjectFolderNamedIn(const std::string& path) {
    std::string text;
    Json::Value document;
    if (!ReadFileText(path, text) || !ParseJsonFileText(text, document) || !document.isObject()) {
        return {};
    }
    const Json::Value& name = document["name"];
    if (!name.isString() || !IsFolderName(name.asString())) {
        return {};
    }
    return FolderOf(path) + "/" + name.asString();
}

ProjectReader ReadProject() {
    ProjectSlot& slot = Slot();
    std::shared_lock lock(slot.guard);
    return ProjectReader(std::move(lock), *slot.project);
}

ProjectWriter WriteProject() {
    ProjectSlot& slot = Slot();
    for (;;) {
        std::unique_lock lock(slot.guard);
        // A drawing the open left reads the modules without the guard: a
        // writer waits for its end, outside the guard so that readers go on.
        const std::shared_ptr<OpenDrawing> drawing = CurrentDrawing();
        if (!drawing || drawing->Done()) {
            return ProjectWriter(std::move(lock), *slot.project);
        }
        lock.unlock();
        drawing->Wait();
    }
}

bool WaitForOpenDrawing() {
    const std::shared_ptr<OpenDrawing> drawing = CurrentDrawing();
    return !drawing || drawing->Wait();
}

bool WaitForOpenPicture(const std::string& path, std::chrono::milliseconds limit) {
    const std::shared_ptr<OpenDrawing> drawing = CurrentDrawing();
    return !drawing || drawing->WaitForPicture(path, limit);
}

void SetProjectReplaceHook(std::function<void()> hook) {
    ProjectSlot& slot = Slot();
    std::lock_guard opening(slot.open_mutex);
    slot.replace_hook = std::move(hook);
}

std::string OpenProjectFolder() {
    ProjectSlot& slot = Slot();
    std::lock_guard folder(slot.folder_mutex);
    return slot.folder;
}

bool OpenProject(const std::string& path, const OpenOptions& options) {
    ProjectSlot& slot = Slot();
    std::lock_guard opening(slot.open_mutex);
    // The old project's drawing ends before anything of it is replaced.
    WaitForOpenDrawing();
    auto project = std::make_unique<ThemeProject>();
    const bool opened = project->Open(path, options);
    if (slot.replace_hook) {
        slot.replace_hook();
    }
    std::shared_ptr<OpenDrawing> drawing;
    if (opened && project->drawing_left()) {
        drawing = std::make_shared<OpenDrawing>(project->PicturesLeftToDraw());
    }
    std::shared_ptr<OpenDrawing> old;
    {
        std::unique_lock lock(slot.guard);
        // A project opened again keeps the thumbnail size its editor page set:
        // a reload asked for by a settings form or by the project's watch
        // draws the thumbnails the page shows.
        if (slot.project && slot.project->project_path() == project->project_path()) {
            project->SetThumbnailSize(slot.project->thumbnail_width(),
                                      slot.project->thumbnail_height());
        }
        slot.project.swap(project);
        std::lock_guard folder(slot.folder_mutex);
        slot.folder = slot.project->project_dir();
        old = std::exchange(slot.drawing, drawing);
    }
    if (drawing) {
        // The project stays in place until the next open, which waits for
        // this drawing first.
        ThemeProject* drawn = slot.project.get();
        OpenDrawing* state = drawing.get();
        drawing->Start([drawn, state] {
            return drawn->DrawTheRest([state](const ThemePackage& screen) {
                state->Drawn(PreviewPath(screen));
                state->Drawn(ThumbnailPath(screen));
            });
        });
    }
    // The old project is destroyed here, outside the guard.
    return opened;
}

}  // namespace sw
