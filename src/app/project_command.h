// What the subcommands that work on a project share: opening it as the
// editor does and telling on standard error why an open failed.
#pragma once

#include <string>

#include "engine/theme_project.h"

namespace sw::app {

// The project file named relative to the working folder or absolutely, as an
// absolute path (the project folder is found beside it).
std::string ProjectFilePath(const std::string& projectFile);

// Opens the project file (named relative to the working folder or
// absolutely) as the process's project. On failure the ERROR messages the
// open logged are copied to standard error and the result is false.
bool OpenProjectForCommand(const std::string& projectFile, const OpenOptions& options = {});

enum class PageList { kResources, kCategories };

// The body of "skinwright resources" and "skinwright categories": prepares
// the home folder, opens the project and prints the list's text exactly as
// the editor page receives it. The exit code: 0, or 1 on failure.
int PrintPageList(const std::string& projectFile, const std::string& home, PageList list);

}  // namespace sw::app
