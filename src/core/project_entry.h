// Safe reading of the files of a project. A project is a folder anyone can
// send: it may hold FIFOs, sockets or device nodes, which would block a plain
// open() for ever, and symbolic links that lead anywhere on this computer.
// Entries are classified without opening them, and files are opened without
// blocking, only when they are regular files and, below a project root, only
// when every link on the way stays inside that root.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/unique_fd.h"

namespace sw {

enum class EntryKind {
    kMissing,      // nothing at the path
    kFile,         // a regular file
    kFolder,       // a folder
    kLinkInside,   // a symbolic link to a file or folder inside the root
    kLinkOutside,  // a symbolic link (or a path through one) leading out of the root
    kBrokenLink,   // a symbolic link to nothing, inside the root
    kSpecial,      // a FIFO, socket or device node
};

struct ProjectEntry {
    EntryKind kind = EntryKind::kMissing;
    // For kLinkInside: the link leads to a folder.
    bool leads_to_folder = false;
    // For links: where the link leads, as read from it.
    std::string link_target;
    // For kSpecial: "a FIFO", "a socket", "a device".
    std::string special_name;
};

// What path is, below root (both absolute or both relative to the same
// folder). Nothing is opened. A path through a linked folder that leads out
// of root is kLinkOutside, like the link itself.
ProjectEntry ClassifyProjectEntry(const std::string& root, const std::string& path);

// True for the kinds a reader may read or a copy may copy: files, folders and
// links inside the root.
bool IsReadableEntry(const ProjectEntry& entry);

// Why an entry is refused, to follow its path in a log line or a finding:
// "is a FIFO, not a regular file", "is a link to /etc/shadow, outside the
// project". Empty for a readable entry.
std::string RefusalReason(const ProjectEntry& entry);

// Every entry below root that must not be read, copied or packed (special
// files, links out of root and broken links), as paths relative to root,
// sorted, with their classification. Linked folders are not entered; names
// starting with "." are passed over, as nothing reads them.
struct RefusedEntry {
    std::string relative_path;
    ProjectEntry entry;
};
std::vector<RefusedEntry> FindRefusedEntries(const std::string& root);

// Opens a regular file for reading. The open never blocks (a FIFO without a
// writer or a device is refused, not waited on), anything but a regular file
// is refused, and with a root every link on the way must stay inside root. A
// refused entry is logged at ERROR with its path and the reason; a missing
// file is not logged (callers decide whether it matters). The descriptor is
// invalid on failure.
UniqueFd OpenFileForReading(const std::string& path, const std::string& root = {});

// Reads the whole of an open file; false on a read error or when it holds
// more than limit bytes (contents empty then).
bool ReadOpenFile(int fd, std::string& contents, std::size_t limit);

}  // namespace sw
