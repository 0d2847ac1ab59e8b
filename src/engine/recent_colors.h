// The colours last chosen in a project, newest first, so that the colour
// dialog can offer them again. They are kept in "recent-colors.json" in the
// project's history folder, beside its undo steps: a JSON array of hex
// colour texts ("ff0000"). The dialog chooses a colour, not its alpha: a
// colour saved with its alpha (AARRGGBB) is kept without it.
#pragma once

#include <string>
#include <vector>

namespace sw {

inline constexpr std::size_t kRecentColors = 8;

// The file of the project kept in projectDir.
std::string RecentColorsFile(const std::string& projectDir);

// The project's recent colours, newest first, at most kRecentColors. A
// missing file gives none; a damaged one (not a JSON array, an entry that is
// no colour) gives the colours that can be read, with a WARN line.
std::vector<std::string> ReadRecentColors(const std::string& projectDir);

// Puts color (RRGGBB or AARRGGBB, any case, with or without "#") first,
// dropping an earlier use of it and the oldest beyond kRecentColors. False,
// leaving the list alone, for a text that is no colour or a file that cannot
// be written (logged).
bool AddRecentColor(const std::string& projectDir, const std::string& color);

}  // namespace sw
