// The files this program wrote or removed itself, as it left them, so that a
// watch of the project's folders can tell its own writes from those of other
// programs: a file still as the program left it is its own.
#pragma once

#include <string>

namespace sw {

// Notes path as the program leaves it now (written, or removed).
void NoteOwnWrite(const std::string& path);

// True when path is as the program last left it: the same file, size and
// modification time, or still absent after the program removed it.
bool IsOwnWrite(const std::string& path);

}  // namespace sw
