// skinwright pack PROJECT.wtpj --name NAME --out DIR [--modules LIST]: opens a
// project and packs it as the pack form does, into DIR/NAME.zip.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/project_command.h"
#include "app/subcommand.h"
#include "check/project_check.h"
#include "core/log.h"
#include "engine/theme_project.h"
#include "pack/comma_list.h"
#include "pack/density_plan.h"
#include "pack/pack_project.h"

namespace sw::app {

namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
    interrupted = 1;
}

// "launcher,lockscreen,screencall" in any order and number; false with a
// message for any other name.
bool ParseModules(const std::string& list, pack::WantedModules& wanted) {
    wanted = {false, false, false};
    for (const std::string& name : pack::SplitAtCommas(list)) {
        if (name == "launcher") {
            wanted.launcher = true;
        } else if (name == "lockscreen") {
            wanted.lockscreen = true;
        } else if (name == "screencall") {
            wanted.callscreen = true;
        } else if (!name.empty()) {
            std::fprintf(stderr,
                         "skinwright: --modules takes launcher, lockscreen and screencall, not "
                         "%s\n",
                         name.c_str());
            return false;
        }
    }
    return true;
}

// A bar of the share done and the step's name, redrawn in place.
void DrawProgress(pack::PackStep step, double done) {
    constexpr int kWidth = 30;
    const int filled = static_cast<int>(done * kWidth + 0.5);
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kWidth - filled), '-');
    std::fprintf(stderr, "\r[%s] %3d%% %-28s", bar.c_str(), static_cast<int>(done * 100 + 0.5),
                 pack::StepName(step));
    std::fflush(stderr);
}

// Opens the project as a pack needs it: only the screens whose previews the
// archive holds are drawn, and the pictures the open decodes are known sound
// to the check after it; those the pack resizes stay in pictures.
OpenOptions PackOpen(const pack::WantedModules& wanted, gfx::DecodedPictures& pictures) {
    OpenOptions options;
    options.screens = [wanted](const std::string& module) {
        return pack::ScreensInArchive(module, wanted);
    };
    options.pictures = &pictures;
    return options;
}

bool OpenForPack(const std::string& projectFile, const pack::WantedModules& wanted,
                 gfx::DecodedPictures& pictures) {
    const std::string folder = ProjectFolderNamedIn(ProjectFilePath(projectFile));
    if (!folder.empty()) {
        for (const std::string& source : pack::DensitySources(folder, wanted)) {
            pictures.Keep(source);
        }
    }
    return OpenProjectForCommand(projectFile, PackOpen(wanted, pictures));
}

// The previews the archive does not hold were left out of the open; they
// are drawn once the pack is over, whatever its outcome, so that no preview
// in the project is older than what the project holds.
void DrawPreviewsLeftOut(const pack::WantedModules& wanted, gfx::DecodedPictures& pictures) {
    if (!DrawScreensLeftOut(*WriteProject(), PackOpen(wanted, pictures))) {
        std::fprintf(stderr,
                     "skinwright: some previews of the project could not be drawn (see %s)\n",
                     GetLogFilePath().c_str());
    }
}

// The project check before packing: its ERROR findings on standard error.
// False when there are some and force is not set.
bool PassesCheck(bool force, gfx::DecodedPictures& pictures) {
    check::Findings errors;
    {
        const ProjectReader project = ReadProject();
        errors = check::CheckProjectForErrors(*project, &pictures);
    }
    if (errors.empty()) {
        return true;
    }
    std::fprintf(
        stderr, "skinwright: the check found %zu error%s; %s:\n", errors.size(),
        errors.size() == 1 ? "" : "s",
        force ? "packing anyway (--force)" : "the theme is not packed (--force packs anyway)");
    for (const check::Finding& finding : errors) {
        std::fprintf(stderr, "  %s\n", check::FindingLine(finding).c_str());
    }
    if (force) {
        LogWarn("pack: packing in spite of the check's %zu errors, as asked\n", errors.size());
    } else {
        LogWarn("pack: not started, the check found %zu errors\n", errors.size());
    }
    return force;
}

// The check and the pack of the open project, as the pack form runs them.
int PackOpenProject(const pack::PackRequest& request, bool force, gfx::DecodedPictures& pictures) {
    if (!PassesCheck(force, pictures)) {
        return 1;
    }
    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    pack::PackObserver observer;
    if (terminal) {
        observer.progress = DrawProgress;
    }
    observer.stop = [] { return interrupted != 0; };
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    const pack::PackResult result = pack::PackProject(request, observer, &pictures);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    if (terminal) {
        std::fprintf(stderr, "\n");
    }
    if (result.code != 0) {
        std::fprintf(stderr, "skinwright: packing failed: %s\n(the whole story is in %s)\n",
                     result.reason.c_str(), GetLogFilePath().c_str());
        return 1;
    }
    std::printf("%s\n", result.archive.c_str());
    return 0;
}

int RunPack(const std::string& projectFile, const std::string& name, const std::string& out,
            const std::string& modules, bool force, const std::string& home) {
    pack::PackRequest request;
    request.pack_name = name;
    std::error_code error;
    request.pack_path = std::filesystem::absolute(out, error).lexically_normal().string();
    if (error || request.pack_path.empty()) {
        request.pack_path = out;
    }
    while (request.pack_path.size() > 1 && request.pack_path.back() == '/') {
        request.pack_path.pop_back();
    }
    if (!ParseModules(modules, request.modules)) {
        return 1;
    }
    const std::string refusal = pack::CheckPackRequest(request);
    if (!refusal.empty()) {
        std::fprintf(stderr, "skinwright: cannot pack: %s\n", refusal.c_str());
        return 1;
    }
    // One decode of each picture serves the check and the pack.
    gfx::DecodedPictures pictures;
    if (!PrepareHome(home) || !OpenForPack(projectFile, request.modules, pictures)) {
        return 1;
    }
    const int code = PackOpenProject(request, force, pictures);
    DrawPreviewsLeftOut(request.modules, pictures);
    return code;
}

void AddPack(CLI::App& app, int& exitCode) {
    struct Options {
        std::string project;
        std::string name;
        std::string out;
        std::string modules = "launcher,lockscreen,screencall";
        bool force = false;
        std::string home;
    };
    static Options options;
    CLI::App* command = app.add_subcommand(
        "pack", "Open a project and pack it into OUT/NAME.zip, the theme archive a phone installs");
    command->add_option("project", options.project, "The project file (.wtpj)")->required();
    command->add_option("--name", options.name, "The theme archive's name, without .zip")
        ->required();
    command->add_option("--out", options.out, "The folder that receives the archive")->required();
    command->add_option("--modules", options.modules,
                        "Comma list of the modules to pack: launcher, lockscreen, screencall "
                        "(default all three)");
    command->add_flag("--force", options.force,
                      "Pack even when the project check finds errors (they are still printed)");
    AddHomeOption(command, options.home);
    command->callback([&exitCode] {
        exitCode = RunPack(options.project, options.name, options.out, options.modules,
                           options.force, options.home);
    });
}

const SubcommandRegistrar registrar(AddPack);

}  // namespace

}  // namespace sw::app
