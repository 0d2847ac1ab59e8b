// skinwright check PROJECT.wtpj [--json]: opens a project as the editor does
// and prints what would break the theme on a phone, one finding a line.
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/subcommand.h"
#include "check/project_check.h"
#include "engine/json_file.h"
#include "engine/theme_project.h"

namespace sw::app {

namespace {

int RunCheck(const std::string& projectFile, bool json, const std::string& home) {
    if (!PrepareHome(home)) {
        return 1;
    }
    std::error_code error;
    const std::string path = std::filesystem::absolute(projectFile, error).lexically_normal();
    // A project that fails to open is checked all the same: the findings
    // say why it failed. A check writes nothing in the project: its screens
    // are not drawn into the preview pictures.
    ThemeProject project;
    project.OpenWithoutDrawing(error ? projectFile : path);
    const check::Findings findings = check::CheckProject(project);
    if (json) {
        // Texts as they are, as the program's own JSON files hold them.
        std::fputs(JsonFileText(check::FindingsToJson(findings)).c_str(), stdout);
    } else {
        for (const check::Finding& finding : findings) {
            std::printf("%s\n", check::FindingLine(finding).c_str());
        }
    }
    return check::HasErrors(findings) ? 1 : 0;
}

void AddCheck(CLI::App& app, int& exitCode) {
    struct Options {
        std::string project;
        bool json = false;
        std::string home;
    };
    static Options options;
    CLI::App* command = app.add_subcommand(
        "check",
        "Check a project for what would break the theme on a phone: one finding a line, "
        "ERROR or WARN; exit code 1 when there is an ERROR");
    command->add_option("project", options.project, "The project file (.wtpj)")->required();
    command->add_flag("--json", options.json,
                      "Print the findings as a JSON array of objects with level, module, file "
                      "and message");
    AddHomeOption(command, options.home);
    command->callback(
        [&exitCode] { exitCode = RunCheck(options.project, options.json, options.home); });
}

const SubcommandRegistrar registrar(AddCheck);

}  // namespace

}  // namespace sw::app
