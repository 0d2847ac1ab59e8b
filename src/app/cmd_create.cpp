// skinwright create: makes a new project from the template, as the create
// form does, then opens it and draws every screen's preview.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "app/subcommand.h"
#include "core/log.h"
#include "core/paths.h"
#include "engine/create_project.h"
#include "engine/theme_project.h"

namespace sw::app {

namespace {

struct CreateOptions {
    CreateInfo info;
    std::string home;
};

int RunCreate(CreateOptions options) {
    if (!PrepareHome(options.home)) {
        return 1;
    }
    if (options.info.theme_path.empty()) {
        options.info.theme_path = WorkFolder();
    }
    // The project is opened by its absolute path, as the editor opens it.
    std::error_code error;
    std::string folder =
        std::filesystem::absolute(options.info.theme_path, error).lexically_normal();
    if (!error) {
        if (folder.size() > 1 && folder.back() == '/') {
            folder.pop_back();
        }
        options.info.theme_path = folder;
    }
    if (!SetCreateInfo(options.info)) {
        std::fprintf(stderr, "skinwright: a text is longer than %zu bytes\n", kCreateInfoCapacity);
        return 1;
    }
    if (!CreateProject()) {
        std::fprintf(stderr, "skinwright: could not create the project %s in %s; see %s\n",
                     options.info.prj_name.c_str(), options.info.theme_path.c_str(),
                     GetLogFilePath().c_str());
        return 1;
    }
    std::string projectFile = CreatedProjectPath(options.info);
    if (!OpenProject(projectFile)) {
        std::fprintf(stderr, "skinwright: created %s but could not open it; see %s\n",
                     projectFile.c_str(), GetLogFilePath().c_str());
        return 1;
    }
    std::printf("%s\n", projectFile.c_str());
    return 0;
}

void AddCreate(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<CreateOptions>();
    options->info.resourceid = "0";
    CLI::App* command = app.add_subcommand(
        "create",
        "Make a new theme project from the template, open it, draw every screen's preview "
        "and print the project file's path");
    CreateInfo& info = options->info;
    command->add_option("--name", info.prj_name, "Project name (folder and project file name)")
        ->required();
    command->add_option("--dir", info.theme_path,
                        "Folder in which the project folder is made (default: where the "
                        "create form proposes, ~/Skinwright or the home folder's work/)");
    command->add_option("--theme-name", info.theme_name, "Theme name (default: the template's)");
    command->add_option("--version-name", info.version_name,
                        "Version name shown to users (default: the template's)");
    command->add_option("--description", info.description, "Description (default: the template's)");
    command->add_option("--originate", info.originate, "Origin of the design");
    command->add_option("--author", info.author, "Developer and designer");
    command->add_option("--resource-id", info.resourceid,
                        "The theme's number; 0 (the default) picks a fresh one");
    AddHomeOption(command, options->home);
    command->callback([options, &exitCode] { exitCode = RunCreate(*options); });
}

const SubcommandRegistrar registrar(AddCreate);

}  // namespace

}  // namespace sw::app
