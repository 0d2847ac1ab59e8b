// The program's scratch folders: the pack's work area and the staging folder
// of a push to the phone. Both are emptied at start-up and when the pack form
// saves, and both may sit in a folder the user owns (--home ~), where a folder
// of the same name may hold the user's own files. So the program empties only
// a folder it made itself.
//
// When the program makes a scratch folder it leaves a mark beside it,
// ".NAME.skinwright", that records the folder's device and inode numbers. The
// mark sits beside the folder and not inside it, because the staging folder
// is pushed to the phone whole. A folder whose mark is missing, or records
// another folder, is never emptied.
#pragma once

#include <string>

namespace sw {

// The mark of a scratch folder: ".NAME.skinwright" in the folder's parent.
std::string ScratchMarkPath(const std::string& folder);

// True when folder is a real folder (not a link) that the program made.
bool IsOwnScratchFolder(const std::string& folder);

// Makes a missing folder (and its parents) and marks it as the program's.
// True when the folder is the program's afterwards; a folder that already
// exists without the mark stays unmarked, and the result is false.
bool MakeScratchFolder(const std::string& folder);

// Empties a scratch folder: a missing one is made and marked, one the program
// made loses everything inside it (links are removed, never followed) and
// keeps its mark, and one it did not make is left as it is with a WARN line.
// True when the folder is the program's and empty afterwards.
bool EmptyScratchFolder(const std::string& folder);

// Empties the pack's work area and the push staging folder; both start
// afresh from here.
void EmptyScratchFolders();

}  // namespace sw
