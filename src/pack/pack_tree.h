// The archive a pack makes, held as a tree of entries before it is written:
// each file entry stands for a file of the project, read only when the
// archive is written, or for bytes the pack made (a density image, a
// thumbnail, a layout with its colours, a module's res.zip). Nothing of the
// project is copied. Paths are relative to the archive's top level and
// "/"-separated ("content/launcher/content/res").
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/zip.h"

namespace sw::pack {

// A file entry: the project file at path, or bytes.
struct TreeFile {
    std::string path;
    std::shared_ptr<const std::string> bytes;
    std::uint64_t size = 0;
};

// Why a project folder cannot be packed: a name that is neither a file nor
// a folder (a pipe, a device), or a link that leads out of the project.
struct TreeRefusal {
    std::string path;    // the project entry
    std::string reason;  // for the user and the log
};

class PackTree {
  public:
    // Adds the project folder's tree below to, merging with what is there,
    // as copying a folder over another does. Names that begin with a dot
    // (.git, .DS_Store, editor swap files) and end with "~" (editor backups)
    // are left out, and so is any file listed in skip (real paths). A link
    // is followed when it leads to a file or folder inside projectRoot.
    // False, with the refusal, for anything else; the tree then holds what
    // was added before.
    bool AddProjectFolder(const std::string& from, const std::string& to,
                          const std::string& projectRoot, const std::vector<std::string>& skip,
                          TreeRefusal& refusal);
    // The same for one project file; false when it is missing or refused.
    bool AddProjectFile(const std::string& from, const std::string& to,
                        const std::string& projectRoot, TreeRefusal& refusal);

    // Makes the folder and its parents; false when a file stands in the way.
    bool MakeFolder(const std::string& path);
    // A copy inside the tree, as CopyPath does on disk: a file replaces the
    // file at to when to's folder exists; a folder is merged into to, which
    // is made. Nothing happens (false) when from is missing.
    bool Copy(const std::string& from, const std::string& to);
    // Removes a file, or a folder with everything below it; a missing path
    // is no fault.
    void Delete(const std::string& path);
    // Puts bytes at path, replacing a file there; false when path's folder
    // is missing.
    bool Put(const std::string& path, std::string bytes);

    bool IsFile(const std::string& path) const;
    bool IsFolder(const std::string& path) const;
    const TreeFile* FindFile(const std::string& path) const;

    // The entries below folder ("" for all) as archive entries named
    // relative to it, folders with their trailing "/".
    std::vector<ZipEntry> EntriesBelow(const std::string& folder) const;

  private:
    struct Node {
        bool folder = false;
        TreeFile file;
    };
    bool AddTree(const std::string& from, const std::string& to, const std::string& root,
                 const std::vector<std::string>& skip,
                 std::vector<std::pair<std::uint64_t, std::uint64_t>>& ancestors,
                 TreeRefusal& refusal);
    bool ParentExists(const std::string& path) const;

    std::map<std::string, Node> nodes_;
};

// The folder part of a tree path ("" at the top).
std::string TreeFolderOf(const std::string& path);

}  // namespace sw::pack
