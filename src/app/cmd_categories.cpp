// skinwright categories PROJECT.wtpj: opens a project and prints its
// CategoryList text exactly as the editor page receives it.
#include <string>

#include "app/project_command.h"
#include "app/subcommand.h"

namespace sw::app {

namespace {

void AddCategories(CLI::App& app, int& exitCode) {
    struct Options {
        std::string project;
        std::string home;
    };
    static Options options;
    CLI::App* command = app.add_subcommand(
        "categories",
        "Open a project and print its category list (JSON) as the editor page receives it");
    command->add_option("project", options.project, "The project file (.wtpj)")->required();
    AddHomeOption(command, options.home);
    command->callback([&exitCode] {
        exitCode = PrintPageList(options.project, options.home, PageList::kCategories);
    });
}

const SubcommandRegistrar registrar(AddCategories);

}  // namespace

}  // namespace sw::app
