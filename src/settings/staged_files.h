// Files written together or not at all. Each new text is first written
// beside its file, under a hidden temporary name, and the file as it is
// gets a second hidden name (a copy where it cannot have one); only when
// every one is ready and flushed to disk (all flushes asked for together)
// are the new texts renamed over their files, one after the other, and then
// each folder flushed once. When a rename fails, the files already replaced
// get their old texts back, so a save never leaves some files new and
// others old.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

namespace sw::settings {

class StagedFiles {
  public:
    StagedFiles() = default;
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;
    // Whatever was staged and not committed is removed.
    ~StagedFiles();

    // Writes text beside path (and keeps the file at path, when there is
    // one). The new file keeps the permissions of the file it replaces, or
    // gets newMode. False, with an ERROR line naming path, when either cannot
    // be written; nothing at path is touched.
    bool Stage(const std::string& path, const std::string& text, mode_t newMode = 0644);

    // How many files are staged; DropFrom(mark) takes back every file
    // staged after size() was mark, so that one part of a batch can fail
    // alone.
    std::size_t size() const { return staged_.size(); }
    void DropFrom(std::size_t mark);

    // Flushes every staged text to disk, then renames each over its file,
    // in the order staged. When a text cannot be flushed nothing is
    // replaced; on the first failed rename the files replaced so far are put
    // back as they were. Then false is returned and failed_path() names the
    // file that could not be replaced.
    bool Commit();

    const std::string& failed_path() const { return failed_path_; }

  private:
    struct Staged {
        std::string path;
        std::string fresh;   // the new text, beside path
        std::string backup;  // the old file, beside path; "" for a new file
    };

    void RemoveTemporaries();

    std::vector<Staged> staged_;
    std::string failed_path_;
};

}  // namespace sw::settings
