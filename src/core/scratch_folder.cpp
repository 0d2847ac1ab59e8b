#include "core/scratch_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"

namespace sw {

namespace {

namespace fs = std::filesystem;

// What tells one folder from another: the device and inode numbers, and the
// birth time where the file system keeps one, because a folder made after
// another was deleted often gets the same inode number.
struct FolderIdentity {
    unsigned major = 0, minor = 0;
    unsigned long long inode = 0;
    long long born_seconds = 0;
    unsigned born_nanoseconds = 0;

    bool operator==(const FolderIdentity&) const = default;
};

// The first line of a mark, as written and as read.
constexpr const char kMarkFormat[] = "skinwright scratch folder %u:%u %llu %lld.%09u\n";
constexpr const char kMarkScan[] = "skinwright scratch folder %u:%u %llu %lld.%u";

// False when folder is not a real folder (a link to one does not count).
bool IdentityOf(const std::string& folder, FolderIdentity& identity) {
    struct statx info {};
    if (::statx(AT_FDCWD, folder.c_str(), AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_INO | STATX_BTIME,
                &info) != 0 ||
        !S_ISDIR(info.stx_mode)) {
        return false;
    }
    identity.major = info.stx_dev_major;
    identity.minor = info.stx_dev_minor;
    identity.inode = info.stx_ino;
    if ((info.stx_mask & STATX_BTIME) != 0) {
        identity.born_seconds = info.stx_btime.tv_sec;
        identity.born_nanoseconds = info.stx_btime.tv_nsec;
    }
    return true;
}

bool WriteMark(const std::string& folder) {
    FolderIdentity identity;
    if (!IdentityOf(folder, identity)) {
        return false;
    }
    char line[128];
    std::snprintf(line, sizeof line, kMarkFormat, identity.major, identity.minor, identity.inode,
                  identity.born_seconds, identity.born_nanoseconds);
    return WriteFileAtomic(ScratchMarkPath(folder),
                           std::string(line) + "Skinwright made the folder " + FileNameOf(folder) +
                               " beside this file and empties it whenever it starts: keep "
                               "nothing of your own in it.\n");
}

}  // namespace

std::string ScratchMarkPath(const std::string& folder) {
    return FolderOf(folder) + "/." + FileNameOf(folder) + ".skinwright";
}

bool IsOwnScratchFolder(const std::string& folder) {
    FolderIdentity identity;
    std::string mark;
    if (folder.empty() || !IdentityOf(folder, identity) ||
        !ReadFileText(ScratchMarkPath(folder), mark)) {
        return false;
    }
    FolderIdentity marked;
    return std::sscanf(mark.c_str(), kMarkScan, &marked.major, &marked.minor, &marked.inode,
                       &marked.born_seconds, &marked.born_nanoseconds) == 5 &&
           marked == identity;
}

bool MakeScratchFolder(const std::string& folder) {
    if (folder.empty()) {
        return false;
    }
    std::error_code error;
    if (fs::exists(fs::symlink_status(folder, error))) {
        return IsOwnScratchFolder(folder);
    }
    if (!MakeFolderPath(folder)) {
        LogError("cannot make the folder %s\n", folder.c_str());
        return false;
    }
    return WriteMark(folder);
}

bool EmptyScratchFolder(const std::string& folder) {
    if (folder.empty()) {
        return false;
    }
    std::error_code error;
    if (!fs::exists(fs::symlink_status(folder, error))) {
        return MakeScratchFolder(folder);
    }
    if (!IsOwnScratchFolder(folder)) {
        LogWarn(
            "%s was not made by Skinwright, so it is not emptied; delete it to let "
            "Skinwright use it as its scratch folder\n",
            folder.c_str());
        return false;
    }
    std::vector<std::string> names;
    if (!ListFolder(folder, names)) {
        LogWarn("cannot empty %s: its entries cannot be listed\n", folder.c_str());
        return false;
    }
    bool emptied = true;
    for (const std::string& name : names) {
        const std::string entry = folder + "/" + name;
        std::error_code removeError;
        fs::remove_all(entry, removeError);
        if (removeError) {
            LogWarn("cannot delete %s: %s\n", entry.c_str(), removeError.message().c_str());
            emptied = false;
        }
    }
    return emptied;
}

void EmptyScratchFolders() {
    EmptyScratchFolder(PushStagingFolder());
    EmptyScratchFolder(PackWorkFolder());
}

}  // namespace sw
