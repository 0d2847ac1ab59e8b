#include "template_project.h"

#include <stdlib.h>

#include <filesystem>

#include "core/log.h"
#include "core/paths.h"
#include "engine/create_project.h"
#include "engine/module_loader.h"

namespace sw::bench {

namespace {

namespace fs = std::filesystem;

}  // namespace

TemplateProject::TemplateProject() {
    std::string pattern = (fs::temp_directory_path() / "sw-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        return;
    }
    folder_ = pattern;
    ok_ = Create();
}

TemplateProject::~TemplateProject() {
    SetLogFilePath("");
    SetDataFolder("");
    if (!folder_.empty()) {
        std::error_code error;
        fs::remove_all(folder_, error);
    }
}

bool TemplateProject::Create() {
    SetLogFilePath(folder_ + "/runtime.log");
    SetDataFolder(SKINWRIGHT_SOURCE_DIR);
    CreateInfo info;
    info.prj_name = "demo";
    info.theme_path = folder_;
    info.resourceid = "1";
    if (!SetCreateInfo(info) || !CreateProject()) {
        return false;
    }
    project_file_ = CreatedProjectPath(info);
    const std::string modules = folder_ + "/demo/demo";
    for (const char* name : {"launcher", "lockscreen", "screencall"}) {
        module_folders_.push_back(modules + "/" + name);
    }
    return true;
}

bool TemplateProject::LoadModules(std::vector<std::unique_ptr<ThemeModule>>& modules) const {
    modules.clear();
    for (const std::string& folder : module_folders_) {
        auto module = std::make_unique<ThemeModule>();
        module->context.screen_width = 1080;
        module->context.screen_height = 1920;
        module->context.density = 320;
        if (!LoadModule(*module, folder)) {
            return false;
        }
        modules.push_back(std::move(module));
    }
    return true;
}

}  // namespace sw::bench
