#include "engine/theme_project.h"

#include <json/writer.h>

#include <cstdlib>

#include "core/files.h"
#include "core/log.h"
#include "core/on_all_cores.h"
#include "core/paths.h"
#include "core/text.h"
#include "engine/json_file.h"
#include "engine/module_folders.h"
#include "engine/module_loader.h"
#include "engine/resolution.h"
#include "engine/screen_drawing.h"

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
    std::shared_mutex guard;
    std::unique_ptr<ThemeProject> project = std::make_unique<ThemeProject>();
    // Opens build their projects outside the guard, so they are serialised
    // among themselves here.
    std::mutex open_mutex;
    // The open project's folder, readable without waiting for a drawing
    // that holds the guard.
    std::mutex folder_mutex;
    std::string folder;
    // Guarded by open_mutex.
    std::function<void()> replace_hook;
};

ProjectSlot& Slot() {
    static ProjectSlot slot;
    return slot;
}

}  // namespace

bool ThemeProject::Open(const std::string& path, const OpenOptions& options) {
    if (!ReadAndLoad(path, options.pictures)) {
        return false;
    }
    loaded_ = DrawModules(options);
    return loaded_;
}

bool ThemeProject::OpenWithoutDrawing(const std::string& path) {
    return ReadAndLoad(path, nullptr);
}

bool ThemeProject::ReadAndLoad(const std::string& path, gfx::DecodedPictures* pictures) {
    LogInfo("opening project %s\n", path.c_str());
    modules_.clear();
    project_path_ = path;
    project_dir_.clear();
    document_ = Json::Value();
    loaded_ = false;
    thumbnail_width_ = 0;
    thumbnail_height_ = 0;
    screen_width_ = 0;
    screen_height_ = 0;
    density_ = 0;
    return ReadProjectFile() && LoadModules(pictures);
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

bool ThemeProject::LoadModules(gfx::DecodedPictures* pictures) {
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
        std::unique_ptr<ThemeModule> module = LoadModuleFolder(folder.name, true, pictures);
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

std::unique_ptr<ThemeModule> ThemeProject::LoadModuleFolder(const std::string& name,
                                                            bool keepPictures,
                                                            gfx::DecodedPictures* pictures) const {
    if (project_dir_.empty()) {
        return nullptr;
    }
    auto module = std::make_unique<ThemeModule>();
    module->context.screen_width = screen_width_;
    module->context.screen_height = screen_height_;
    module->context.density = density_;
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
    std::unique_lock lock(slot.guard);
    return ProjectWriter(std::move(lock), *slot.project);
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
    auto project = std::make_unique<ThemeProject>();
    const bool opened = project->Open(path, options);
    if (slot.replace_hook) {
        slot.replace_hook();
    }
    {
        std::unique_lock lock(slot.guard);
        slot.project.swap(project);
    }
    {
        std::lock_guard folder(slot.folder_mutex);
        slot.folder = slot.project->project_dir();
    }
    // The old project is destroyed here, outside the guard.
    return opened;
}

}  // namespace sw
