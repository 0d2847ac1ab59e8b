// skinwright open PROJECT.wtpj: opens a project as the editor does, drawing
// every screen's preview, and lists its modules.
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "app/subcommand.h"
#include "core/files.h"
#include "core/log.h"
#include "engine/theme_project.h"

namespace sw::app {

namespace {

std::size_t LogSize() {
    std::string text;
    return ReadFileText(GetLogFilePath(), text) ? text.size() : 0;
}

// Copies the ERROR messages the log gained since offset to standard error.
void PrintErrorsSince(std::size_t offset) {
    std::string text;
    if (!ReadFileText(GetLogFilePath(), text) || offset > text.size()) {
        return;
    }
    std::istringstream lines(text.substr(offset));
    std::string line;
    const std::string tag = "\tERROR\t";
    while (std::getline(lines, line)) {
        const std::size_t at = line.find(tag);
        if (at != std::string::npos) {
            std::fprintf(stderr, "  %s\n", line.substr(at + tag.size()).c_str());
        }
    }
}

int RunOpen(const std::string& projectFile, const std::string& home) {
    if (!PrepareHome(home)) {
        return 1;
    }
    // The project folder is found beside the project file, so the file is
    // named by its absolute path.
    std::error_code error;
    const std::string path = std::filesystem::absolute(projectFile, error).lexically_normal();
    const std::size_t logStart = LogSize();
    const bool opened = OpenProject(error ? projectFile : path);
    const ProjectReader project = ReadProject();
    for (const auto& module : project->modules()) {
        std::string pageName;
        module->PageName(pageName);
        std::printf("%s\t%s\t%zu\n", module->name.c_str(), pageName.c_str(),
                    module->screens.size());
    }
    if (!opened) {
        std::fprintf(stderr, "skinwright: could not open %s:\n", projectFile.c_str());
        PrintErrorsSince(logStart);
        std::fprintf(stderr, "(the whole story is in %s)\n", GetLogFilePath().c_str());
        return 1;
    }
    return 0;
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
