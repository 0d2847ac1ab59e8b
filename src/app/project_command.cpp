#include "app/project_command.h"

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "app/subcommand.h"
#include "core/files.h"
#include "core/log.h"
#include "engine/page_commands.h"
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

}  // namespace

std::string ProjectFilePath(const std::string& projectFile) {
    std::error_code error;
    const std::string path = std::filesystem::absolute(projectFile, error).lexically_normal();
    return error ? projectFile : path;
}

bool OpenProjectForCommand(const std::string& projectFile, const OpenOptions& options) {
    const std::size_t logStart = LogSize();
    // An open that answered early has failed only once its drawing did.
    if (OpenProject(ProjectFilePath(projectFile), options) && WaitForOpenDrawing()) {
        return true;
    }
    std::fprintf(stderr, "skinwright: could not open %s:\n", projectFile.c_str());
    PrintErrorsSince(logStart);
    std::fprintf(stderr, "(the whole story is in %s)\n", GetLogFilePath().c_str());
    return false;
}

int PrintPageList(const std::string& projectFile, const std::string& home, PageList list) {
    if (!PrepareHome(home) || !OpenProjectForCommand(projectFile)) {
        return 1;
    }
    std::string resources;
    std::string categories;
    if (!BuildPageLists(resources, categories)) {
        std::fprintf(stderr, "skinwright: the project %s is not loaded\n", projectFile.c_str());
        return 1;
    }
    const std::string& text = list == PageList::kResources ? resources : categories;
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace sw::app
