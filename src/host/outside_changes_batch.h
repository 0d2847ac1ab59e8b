// One batch of changes other programs made to the open project's files, as
// the live project sorts them: what reloads the project, which images were
// written, removed or cannot be read.
#pragma once

#include <string>
#include <vector>

#include "core/folder_watch.h"

namespace sw::host {

struct OutsideImage {
    enum class State { kChanged, kMissing, kBroken };
    std::string path;  // absolute
    State state = State::kChanged;
};

struct OutsideBatch {
    bool reload = false;             // values, layouts, templates or folders changed
    std::vector<std::string> files;  // every changed file, below the project folder
    std::vector<std::string> own;    // the editor's own writes, below the project folder
    std::vector<OutsideImage> images;
    bool empty() const { return !reload && images.empty(); }
};

// Sorts the events of a batch below projectDir: each file counts once, with
// its last event; preview pictures, the editor's own writes and files that
// are neither images nor XML are passed over.
OutsideBatch SortOutsideEvents(const std::string& projectDir,
                               const std::vector<FolderEvent>& events);

// True while the events so far are one image below projectDir written whole
// (closed after writing or renamed into place), however often, with nothing
// else but files that are neither images nor XML (an editor's temporary
// file beside it): the save the watch handles after only a short wait.
bool IsOneImageSaved(const std::string& projectDir, const std::vector<FolderEvent>& events);

// The page's view of a handled batch: {"reloaded":bool,"modules":[page
// names drawn again],"images":[{"path":P,"state":"changed|missing|broken"}]}.
std::string OutsideBatchJson(const OutsideBatch& batch, bool reloaded,
                             const std::vector<std::string>& modules);

// True for the folders the watch leaves out: module/preview, where the
// editor draws its own pictures.
bool IsPreviewFolder(const std::string& projectDir, const std::string& folder);

}  // namespace sw::host
