// The editor's undo history of a project. Every edit the editor makes to the
// project's files (an image replaced, a colour, a settings form saved, an
// icon left out of packing) is one step. A step keeps the files as they were
// before it and a fingerprint (size and CRC-32) of the files as it left them;
// undo puts the old files back, redo the new ones. A file the step created is
// removed by undo and made again by redo.
//
// The history lives on disk beside the project, in the folder
// "<project folder>.history" next to the project file, outside every module
// folder, so it is never packed, and it outlives closing the project and the
// program. It keeps the last kHistorySteps steps. A step whose files were
// changed by another program since is refused, never applied over them.
//
// The functions here may be called from any thread; the history of a
// project is changed by one of them at a time.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "core/write_watch.h"

namespace sw {

inline constexpr std::size_t kHistorySteps = 50;

// "<project folder>.history": where the history of the project kept in
// projectDir lives.
std::string HistoryFolderOf(const std::string& projectDir);

// A file's content in short: whether it exists, its size and its CRC-32.
struct FileFingerprint {
    bool exists = false;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;

    bool operator==(const FileFingerprint&) const = default;
};

// The fingerprint of the file at path; false when it exists but cannot be
// read.
bool FingerprintOf(const std::string& path, FileFingerprint& fingerprint);

// One icon file name whose place in the icon exclusion list a step changed.
struct IconChange {
    std::string name;
    bool excluded_before = false;
    bool excluded_after = false;
};

// Records one step: while it lives and is installed (ScopedWriteWatch) on
// the thread that edits, every file below the project folder that is about
// to be written is kept as it is (preview pictures aside: they are drawn
// again from the files). Commit adds the step to the history when something
// changed; a recorder destroyed without Commit leaves the history alone.
class EditStepRecorder : public FileWriteWatcher {
  public:
    // projectDir: the open project's folder; "" records nothing.
    EditStepRecorder(std::string projectDir, std::string label);
    ~EditStepRecorder() override;
    EditStepRecorder(const EditStepRecorder&) = delete;
    EditStepRecorder& operator=(const EditStepRecorder&) = delete;

    void BeforeWrite(const std::string& path) override;

    // Adds the step when a recorded file or the icon exclusion list differs
    // from what it was; the steps that could be redone are dropped and only
    // the last kHistorySteps steps are kept. True when a step was added.
    bool Commit();

  private:
    struct Recorded {
        std::string relative;  // below the project folder, "/"-separated
        FileFingerprint before;
        bool kept = false;  // the old file is in the step's folder
    };

    bool EnsureStepFolder();

    std::string project_dir_;
    std::string label_;
    std::string step_folder_;  // "" until the first file is recorded
    bool failed_ = false;      // the step could not keep a file: it is not added
    std::vector<Recorded> files_;
    std::set<std::string> seen_;
    std::string icons_before_;
    bool committed_ = false;
};

// What the history offers now: the labels of the step undo and redo would
// take ("" when there is none).
struct HistoryState {
    std::string undo_label;
    std::string redo_label;
};

HistoryState ReadHistoryState(const std::string& projectDir);

// A history whose index cannot be read (a file from elsewhere, a damaged
// disk) is set aside when it is next used: the index is renamed beside
// itself with a WARN line and a new history starts, so that edits, undo and
// redo go on. This answers the new names of the indexes set aside since it
// was last asked, so that the designer is told once.
std::vector<std::string> TakeSetAsideHistories();

struct HistoryOutcome {
    enum class Result {
        kDone,     // the step was taken back or done again
        kNothing,  // there is no step to take
        kRefused,  // files changed outside the editor since; nothing was written
        kDamaged,  // the history's copy of a file is missing or altered
        kFailed,   // a file could not be written; the step stays where it was
    };
    Result result = Result::kNothing;
    std::string label;               // the step's label
    std::vector<std::string> files;  // kRefused, kDamaged, kFailed: the files concerned
    std::vector<IconChange> icons;   // kDone: the icons whose exclusion changed
    bool done() const { return result == Result::kDone; }
};

// ------------------------------------------------- changes made outside
// Other programs change the project's files too. So that such a change can
// be taken back like an edit, the history keeps a copy of the files as the
// editor last knew them ("known/" in the history folder): images and XML
// files of the modules, preview pictures aside.

// True for a file below the project folder (relative, "/"-separated) whose
// outside changes become steps.
bool IsKnownProjectFile(const std::string& relative);

// Copies every such file of the project into the known copies, in place of
// what they held. False (logged) when a file could not be copied.
bool RememberProjectFiles(const std::string& projectDir);

// Makes the known copy of one file (relative) what the file holds now, or
// removes it when the file is gone: after the editor's own writes.
void RememberProjectFile(const std::string& projectDir, const std::string& relative);

// Records the outside change of the files (relative) as one step named
// "外部修改 NAME" (NAME the first file's name, "... 等 N 个文件" for more):
// before is the known copy, after the file as it is now; the known copies
// then follow the files. Files whose content did not change are left out.
// True when a step was added.
bool RecordOutsideStep(const std::string& projectDir, const std::vector<std::string>& relatives);

// Takes the last step back, or does the next one again. The files are
// written atomically; the caller reloads the project so that the model and
// the previews follow the files.
HistoryOutcome UndoStep(const std::string& projectDir);
HistoryOutcome RedoStep(const std::string& projectDir);

}  // namespace sw
