// skinwright resources PROJECT.wtpj: opens a project and prints its
// ResourceList text exactly as the editor page receives it.
#include <string>

#include "app/project_command.h"
#include "app/subcommand.h"

namespace sw::app {

namespace {

void AddResources(CLI::App& app, int& exitCode) {
    struct Options {
        std::string project;
        std::string home;
    };
    static Options options;
    CLI::App* command = app.add_subcommand(
        "resources",
        "Open a project and print its resource list (JSON) as the editor page receives it");
    command->add_option("project", options.project, "The project file (.wtpj)")->required();
    AddHomeOption(command, options.home);
    command->callback([&exitCode] {
        exitCode = PrintPageList(options.project, options.home, PageList::kResources);
    });
}

const SubcommandRegistrar registrar(AddResources);

}  // namespace

}  // namespace sw::app
