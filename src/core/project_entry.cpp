#include "core/project_entry.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"

namespace sw {

namespace {

namespace fs = std::filesystem;

// The path with every link resolved; empty when some part of it is missing.
std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (path.empty() || ::realpath(path.c_str(), resolved) == nullptr) {
        return {};
    }
    return resolved;
}

// True when inner is folder itself or lies below it (both canonical).
bool IsSameOrBelow(const std::string& inner, const std::string& folder) {
    if (folder == "/") {
        return !inner.empty() && inner[0] == '/';
    }
    return inner.size() >= folder.size() && inner.compare(0, folder.size(), folder) == 0 &&
           (inner.size() == folder.size() || inner[folder.size()] == '/');
}

std::string ParentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The last component of path: "" when it ends in "/".
std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The real path of a folder's entry that is no link, from the folder's real
// path; path itself is resolved when its name is no plain name.
std::string RealPathIn(const std::string& realFolder, const std::string& name,
                       const std::string& path) {
    if (name.empty() || name == "." || name == "..") {
        return RealPath(path);
    }
    return realFolder == "/" ? "/" + name : realFolder + "/" + name;
}

std::string SpecialName(mode_t mode) {
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    return "no regular file";
}

std::string ReadLinkText(const std::string& path) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

// Where a link that leads nowhere would lead, without resolving links in
// its target; used to tell a broken link inside the root from one that
// points out of it (and would be followed once its target appears).
bool BrokenLinkStaysInside(const std::string& realParent, const std::string& target,
                           const std::string& realRoot) {
    fs::path lexical =
        target.empty() || target[0] != '/' ? fs::path(realParent) / target : fs::path(target);
    std::string normal = lexical.lexically_normal().string();
    if (normal.size() > 1 && normal.back() == '/') {
        normal.pop_back();
    }
    return IsSameOrBelow(normal, realRoot);
}

ProjectEntry Classify(const std::string& realRoot, const std::string& path) {
    ProjectEntry entry;
    struct stat own {};
    if (::lstat(path.c_str(), &own) != 0) {
        return entry;
    }
    const std::string realParent = RealPath(ParentOf(path));
    // An entry that is no link lies where its name says in its real
    // folder; only a link needs resolving on its own.
    const std::string realSelf = S_ISLNK(own.st_mode) || realParent.empty()
                                     ? RealPath(path)
                                     : RealPathIn(realParent, NameOf(path), path);
    const bool isRoot = !realSelf.empty() && realSelf == realRoot && !S_ISLNK(own.st_mode);
    if (!isRoot && (realRoot.empty() || !IsSameOrBelow(realParent, realRoot))) {
        // The path passes through a linked folder that leads elsewhere.
        entry.kind = EntryKind::kLinkOutside;
        entry.link_target = realParent;
        return entry;
    }
    if (S_ISLNK(own.st_mode)) {
        entry.link_target = ReadLinkText(path);
        struct stat target {};
        if (realSelf.empty() || ::stat(realSelf.c_str(), &target) != 0) {
            entry.kind = BrokenLinkStaysInside(realParent, entry.link_target, realRoot)
                             ? EntryKind::kBrokenLink
                             : EntryKind::kLinkOutside;
        } else if (!IsSameOrBelow(realSelf, realRoot)) {
            entry.kind = EntryKind::kLinkOutside;
        } else if (S_ISDIR(target.st_mode) || S_ISREG(target.st_mode)) {
            entry.kind = EntryKind::kLinkInside;
            entry.leads_to_folder = S_ISDIR(target.st_mode);
        } else {
            entry.kind = EntryKind::kSpecial;
            entry.special_name = SpecialName(target.st_mode);
        }
        return entry;
    }
    if (S_ISDIR(own.st_mode)) {
        entry.kind = EntryKind::kFolder;
    } else if (S_ISREG(own.st_mode)) {
        entry.kind = EntryKind::kFile;
    } else {
        entry.kind = EntryKind::kSpecial;
        entry.special_name = SpecialName(own.st_mode);
    }
    return entry;
}

void CollectRefused(const std::string& realRoot, const std::string& root,
                    const std::string& relative, std::vector<RefusedEntry>& refused) {
    std::vector<std::string> names;
    const std::string folder = relative.empty() ? root : root + "/" + relative;
    if (!ListFolder(folder, names)) {
        return;
    }
    for (const std::string& name : names) {
        if (name.empty() || name[0] == '.') {
            continue;
        }
        const std::string child = relative.empty() ? name : relative + "/" + name;
        ProjectEntry entry = Classify(realRoot, root + "/" + child);
        if (entry.kind == EntryKind::kFolder) {
            CollectRefused(realRoot, root, child, refused);
        } else if (!IsReadableEntry(entry) && entry.kind != EntryKind::kMissing) {
            refused.push_back({child, std::move(entry)});
        }
    }
}

// Logs why path is not read, when something stands there.
void LogRefusal(const std::string& path, const ProjectEntry& entry) {
    if (entry.kind != EntryKind::kMissing && !IsReadableEntry(entry)) {
        LogError("%s is not read: it is %s\n", path.c_str(), RefusalReason(entry).c_str());
    }
}

}  // namespace

ProjectEntry ClassifyProjectEntry(const std::string& root, const std::string& path) {
    return Classify(RealPath(root), path);
}

bool IsProjectFile(const std::string& root, const std::string& path) {
    const ProjectEntry entry = ClassifyProjectEntry(root, path);
    return entry.kind == EntryKind::kFile ||
           (entry.kind == EntryKind::kLinkInside && !entry.leads_to_folder);
}

bool IsReadableEntry(const ProjectEntry& entry) {
    return entry.kind == EntryKind::kFile || entry.kind == EntryKind::kFolder ||
           entry.kind == EntryKind::kLinkInside;
}

std::string RefusalReason(const ProjectEntry& entry) {
    switch (entry.kind) {
        case EntryKind::kSpecial:
            return entry.special_name + ", not a regular file";
        case EntryKind::kLinkOutside:
            return "a link to " + entry.link_target + ", outside the project";
        case EntryKind::kBrokenLink:
            return "a link to " + entry.link_target + ", which leads nowhere";
        case EntryKind::kMissing:
            return "missing";
        case EntryKind::kFile:
        case EntryKind::kFolder:
        case EntryKind::kLinkInside:
            break;
    }
    return {};
}

std::vector<RefusedEntry> FindRefusedEntries(const std::string& root) {
    std::vector<RefusedEntry> refused;
    const std::string realRoot = RealPath(root);
    if (realRoot.empty()) {
        return refused;
    }
    CollectRefused(realRoot, root, "", refused);
    std::sort(refused.begin(), refused.end(), [](const RefusedEntry& a, const RefusedEntry& b) {
        return a.relative_path < b.relative_path;
    });
    return refused;
}

UniqueFd OpenFileForReading(const std::string& path, const std::string& root) {
    if (path.empty() || !CheckPathCapacity(path)) {
        return UniqueFd();
    }
    std::string opened = path;
    std::string realRoot;
    if (!root.empty()) {
        realRoot = RealPath(root);
        opened = RealPath(path);
        if (realRoot.empty() || opened.empty() || !IsSameOrBelow(opened, realRoot)) {
            LogRefusal(path, realRoot.empty() ? ProjectEntry{} : Classify(realRoot, path));
            return UniqueFd();
        }
    }
    // O_NONBLOCK: opening a FIFO without a writer, or some devices, would
    // otherwise wait for ever. It changes nothing for a regular file.
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | (root.empty() ? 0 : O_NOFOLLOW);
    UniqueFd fd(::open(opened.c_str(), flags));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0) {
        if (fd.valid() || (errno != ENOENT && errno != ENOTDIR)) {
            LogError("%s is not read: %s\n", path.c_str(), std::strerror(errno));
        }
        return UniqueFd();
    }
    if (!S_ISREG(info.st_mode)) {
        if (!S_ISDIR(info.st_mode)) {
            ProjectEntry entry;
            entry.kind = EntryKind::kSpecial;
            entry.special_name = SpecialName(info.st_mode);
            LogRefusal(path, entry);
        }
        return UniqueFd();
    }
    if (!root.empty()) {
        // A folder on the way may have been swapped for a link meanwhile:
        // what was opened must still be the file that was checked (where
        // /proc tells; without it the O_NOFOLLOW open is the guard).
        const std::string now = ReadLinkText("/proc/self/fd/" + std::to_string(fd.get()));
        if (!now.empty() && now != opened) {
            LogError("%s is not read: it changed while it was opened\n", path.c_str());
            return UniqueFd();
        }
    }
    const int status = ::fcntl(fd.get(), F_GETFL);
    if (status < 0 || ::fcntl(fd.get(), F_SETFL, status & ~O_NONBLOCK) != 0) {
        return UniqueFd();
    }
    return fd;
}

bool ReadOpenFile(int fd, std::string& contents, std::size_t limit) {
    contents.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0 || contents.size() + static_cast<std::size_t>(count) > limit) {
            contents.clear();
            return false;
        }
        if (count == 0) {
            return true;
        }
        contents.append(buffer, static_cast<std::size_t>(count));
    }
}

}  // namespace sw
