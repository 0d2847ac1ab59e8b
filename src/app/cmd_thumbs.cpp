// skinwright thumbs PROJECT.wtpj --size WxH: opens a project and renders the
// thumbnails of every module at that size, as the editor page asks for them.
#include <charconv>
#include <cstdio>
#include <string>

#include "app/project_command.h"
#include "app/subcommand.h"
#include "engine/theme_project.h"
#include "engine/thumbnails.h"

namespace sw::app {

namespace {

// Thumbnails stand for a preview area on a desktop screen; nothing larger
// than this is asked for.
constexpr int kMaxThumbnailEdge = 8192;

// A whole number of digits only, 1 to kMaxThumbnailEdge.
bool ParseEdge(const std::string& text, int& edge) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), edge);
    return error == std::errc() && end == text.data() + text.size() && edge > 0 &&
           edge <= kMaxThumbnailEdge;
}

// "WxH"; false for anything else.
bool ParseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find_first_of("xX");
    return x != std::string::npos && ParseEdge(text.substr(0, x), width) &&
           ParseEdge(text.substr(x + 1), height);
}

int RunThumbs(const std::string& projectFile, const std::string& size, const std::string& home) {
    int width = 0;
    int height = 0;
    if (!ParseSize(size, width, height)) {
        std::fprintf(stderr, "skinwright: --size wants WIDTHxHEIGHT, each 1 to %d, not %s\n",
                     kMaxThumbnailEdge, size.c_str());
        return 1;
    }
    if (!PrepareHome(home) || !OpenProjectForCommand(projectFile)) {
        return 1;
    }
    const ProjectWriter project = WriteProject();
    project->SetThumbnailSize(width, height);
    for (const auto& module : project->modules()) {
        if (!RenderThumbnails(*module, width, height)) {
            std::fprintf(stderr, "skinwright: could not render the thumbnails of %s\n",
                         module->name.c_str());
            return 1;
        }
        std::string pageName;
        module->PageName(pageName);
        std::printf("%s\t%s\t%zu thumbnails of %dx%d\n", module->name.c_str(), pageName.c_str(),
                    module->screens.size(), width, height);
    }
    return 0;
}

void AddThumbs(CLI::App& app, int& exitCode) {
    struct Options {
        std::string project;
        std::string size;
        std::string home;
    };
    static Options options;
    CLI::App* command = app.add_subcommand(
        "thumbs",
        "Open a project and render every module's thumbnails (preview/xxhdpi/thumbnail) at a "
        "size");
    command->add_option("project", options.project, "The project file (.wtpj)")->required();
    command->add_option("--size", options.size, "Thumbnail size as WIDTHxHEIGHT, e.g. 216x384")
        ->required();
    AddHomeOption(command, options.home);
    command->callback(
        [&exitCode] { exitCode = RunThumbs(options.project, options.size, options.home); });
}

const SubcommandRegistrar registrar(AddThumbs);

}  // namespace

}  // namespace sw::app
