// The program's scratch areas: the pack's work area and the push staging
// area. Both may sit in a folder the user owns (--home ~), where a folder of
// the same name may hold the user's own files, so the program empties only
// an area it made itself. Two runs may share one home folder, so every piece
// of work (one pack, one push) gets a folder of its own inside an area,
// made exclusively under an unpredictable name, and holds a lock on it for
// as long as it uses it.
//
// When the program makes an area it leaves a mark beside it,
// ".NAME.skinwright", that records the area's device and inode numbers. The
// mark sits beside the area and not inside it. An area whose mark is
// missing, or records another folder, is never emptied.
//
// The lock of a work folder NAME is the file ".NAME.lock" beside it in the
// area (never inside: a staging folder is pushed to the phone whole), locked
// with flock. The kernel drops such a lock when its holder ends, however it
// ends, so a run that was killed blocks nobody: the next run to empty the
// area finds the lock free and removes what the killed run left.
#pragma once

#include <string>

#include "core/unique_fd.h"

namespace sw {

// The mark of a scratch area: ".NAME.skinwright" in the area's parent.
std::string ScratchMarkPath(const std::string& folder);

// True when folder is a real folder (not a link) that the program made.
bool IsOwnScratchFolder(const std::string& folder);

// Makes a missing folder (and its parents) and marks it as the program's.
// True when the folder is the program's afterwards; a folder that already
// exists without the mark stays unmarked, and the result is false.
bool MakeScratchFolder(const std::string& folder);

// One piece of work's own folder inside a scratch area, locked for the
// lifetime of this object and deleted with everything in it when the object
// goes (the lock is let go last).
//
//     ScratchFolder work = ScratchFolder::Make(PackWorkFolder());
//     if (!work.valid()) { ... fail: an ERROR line is in the log ... }
//     ... write below work.path() ...
//
// Nobody else gets the same folder: the name is ten random letters, and the
// folder is made only where nothing of that name exists (the same semantics
// as mkdtemp).
class ScratchFolder {
  public:
    // Makes (and marks) the area when missing and a fresh locked folder in
    // it. Not valid, with an ERROR line, when the area is not the program's
    // or no folder can be made there.
    static ScratchFolder Make(const std::string& area);

    ScratchFolder() = default;
    ScratchFolder(ScratchFolder&& other) noexcept;
    ScratchFolder& operator=(ScratchFolder&& other) noexcept;
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();

    bool valid() const { return lock_.valid(); }
    // The folder's absolute path; "" when not valid.
    const std::string& path() const { return path_; }

  private:
    ScratchFolder(std::string path, UniqueFd lock)
        : path_(std::move(path)), lock_(std::move(lock)) {}
    void Remove();

    std::string path_;
    UniqueFd lock_;
};

// The lock file of the work folder NAME in its area: ".NAME.lock" beside it.
std::string ScratchLockPath(const std::string& workFolder);

// Empties a scratch area of everything no running work uses: a missing area
// is made and marked; in one the program made, each entry is removed (links
// are removed, never followed) only while this call holds the entry's lock,
// and an entry whose lock another run or another piece of work holds is
// passed over with an INFO line. An area the program did not make is left as
// it is with a WARN line. True when the area is the program's and nothing
// but the entries in use is left in it.
bool EmptyScratchFolder(const std::string& folder);

// Empties the pack's work area and the push staging area of what no running
// work uses.
void EmptyScratchFolders();

}  // namespace sw
