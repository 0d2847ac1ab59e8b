// The whole check of a theme project: its modules' files, templates, layouts
// and screens, and the theme's description files.
#pragma once

#include "check/finding.h"
#include "engine/theme_project.h"
#include "gfx/decoded_pictures.h"

namespace sw::check {

// Checks the project as it was opened (ThemeProject::Open). Every module
// folder of the project is checked on disk; the screens of the modules the
// open loaded are checked in memory. A module folder the open did not reach
// is loaded here with the same loader, and one that does not load is an
// ERROR of its own. A project whose file could not be read gives one ERROR.
// Findings come module by module in folder order, the description files
// last. Logs one INFO line with the counts.
Findings CheckProject(const ThemeProject& project);

// The ERROR findings of CheckProject only, as a pack asks before it starts:
// the warnings, which never stop a pack, are not looked for where that
// costs time (the contrast of texts). pictures, when given, decodes the
// images and keeps those a pack that follows has asked for.
Findings CheckProjectForErrors(const ThemeProject& project,
                               gfx::DecodedPictures* pictures = nullptr);

// The ERROR findings as lines for a message, at most limit of them and a
// last line that tells how many more there are.
std::string ErrorSummary(const Findings& findings, std::size_t limit = 10);

}  // namespace sw::check
