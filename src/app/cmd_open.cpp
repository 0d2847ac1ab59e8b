// skinwright open PROJECT.wtpj: opens a project as the editor does, drawing
// every screen's preview, and lists its modules.
#include <cstdio>
#include <string>

#include "app/project_command.h"
#include "app/subcommand.h"
#include "engine/theme_project.h"

namespace sw::app {

namespace {

int RunOpen(const std::string& projectFile, const std::string& home) {
    if (!PrepareHome(home)) {
        return 1;
    }
    // As the editor opens it: the first screen it shows, then the others.
    OpenOptions options;
    options.answer_after = kFirstShownModule;
    const bool opened = OpenProjectForCommand(projectFile, options);
    const ProjectReader project = ReadProject();
    for (const auto& module : project->modules()) {
        std::string pageName;
        module->PageName(pageName);
        std::printf("%s\t%s\t%zu\n", module->name.c_str(), pageName.c_str(),
                    module->screens.size());
    }
    return opened ? 0 : 1;
}

void AddOpen(CLI::App& app, int& exitCode) {
    struct Options {
        std::string project;
        std::string home;
    };
    static Options options;
    CLI::App* command =
        app.add_subcommand("open",
                           "Open a project, draw every screen's preview and list its modules "
                           "(folder, page name, number of screens)");
    command->add_option("project", options.project, "The project file (.wtpj)")->required();
    AddHomeOption(command, options.home);
    command->callback([&exitCode] { exitCode = RunOpen(options.project, options.home); });
}

const SubcommandRegistrar registrar(AddOpen);

}  // namespace

}  // namespace sw::app
