#include "core/scratch_folder.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>
#include <utility>
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

constexpr int kNameLetters = 10;
constexpr const char kLockSuffix[] = ".lock";

// Ten letters nobody can guess: drawn from the kernel's random source, so
// two runs started in the same second never draw the same name.
std::string UnpredictableLetters() {
    std::string letters;
    while (letters.size() < kNameLetters) {
        unsigned char bytes[32];
        const ssize_t got = ::getrandom(bytes, sizeof bytes, 0);
        if (got <= 0) {
            continue;
        }
        for (ssize_t i = 0; i < got && letters.size() < kNameLetters; ++i) {
            // 234 = 9 * 26: larger bytes would favour the first letters.
            if (bytes[i] < 234) {
                letters.push_back(static_cast<char>('A' + bytes[i] % 26));
            }
        }
    }
    return letters;
}

bool IsLockName(const std::string& name) {
    const std::size_t suffix = sizeof kLockSuffix - 1;
    return name.size() > suffix + 1 && name[0] == '.' &&
           name.compare(name.size() - suffix, suffix, kLockSuffix) == 0;
}

// The work folder a lock file name belongs to: ".NAME.lock" gives NAME.
std::string LockedName(const std::string& lockName) {
    return lockName.substr(1, lockName.size() - 1 - (sizeof kLockSuffix - 1));
}

enum class LockTake {
    kHeld,     // this call holds the lock
    kBusy,     // someone else holds it, or it was replaced meanwhile
    kExists,   // a new lock was asked for and the name is taken
    kMissing,  // an existing lock was asked for and there is none
    kFailed,   // the file cannot be opened or locked
};

// Takes the lock at path without waiting. With create, the lock file is made
// (exclusively with exclusive); without, only an existing one is taken. A
// holder removes the lock file before it lets the lock go, so a lock taken
// on a file that is no longer at path is worth nothing: that counts as busy.
UniqueFd TakeLock(const std::string& path, bool create, bool exclusive, LockTake& how) {
    int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    if (create) {
        flags |= O_CREAT | (exclusive ? O_EXCL : 0);
    }
    UniqueFd fd(::open(path.c_str(), flags, 0600));
    if (!fd.valid()) {
        how = errno == EEXIST   ? LockTake::kExists
              : errno == ENOENT ? LockTake::kMissing
                                : LockTake::kFailed;
        return UniqueFd();
    }
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        how = errno == EWOULDBLOCK ? LockTake::kBusy : LockTake::kFailed;
        return UniqueFd();
    }
    struct stat held {};
    struct stat named {};
    if (::fstat(fd.get(), &held) != 0 || !S_ISREG(held.st_mode)) {
        how = LockTake::kFailed;
        return UniqueFd();
    }
    if (::lstat(path.c_str(), &named) != 0 || held.st_dev != named.st_dev ||
        held.st_ino != named.st_ino) {
        how = LockTake::kBusy;
        return UniqueFd();
    }
    how = LockTake::kHeld;
    return fd;
}

bool RemoveTree(const std::string& path) {
    std::error_code error;
    fs::remove_all(path, error);
    if (error) {
        LogWarn("cannot delete %s: %s\n", path.c_str(), error.message().c_str());
        return false;
    }
    return true;
}

// Removes one entry of an area (a work folder, or anything else found
// there) under its lock. True when it is gone or in use.
bool SweepEntry(const std::string& area, const std::string& name) {
    const std::string entry = area + "/" + name;
    const std::string lockPath = ScratchLockPath(entry);
    LockTake how = LockTake::kFailed;
    const UniqueFd lock = TakeLock(lockPath, true, false, how);
    if (how == LockTake::kBusy) {
        LogInfo("%s is in use by another run or task, so it is left as it is\n", entry.c_str());
        return true;
    }
    if (!lock.valid()) {
        LogWarn("cannot delete %s: its lock %s cannot be taken: %s\n", entry.c_str(),
                lockPath.c_str(), std::strerror(errno));
        return false;
    }
    const bool removed = RemoveTree(entry);
    ::unlink(lockPath.c_str());
    return removed;
}

// Removes a lock file whose folder is gone (its run was killed between the
// two, or the folder was deleted by hand), unless someone holds it.
void SweepOrphanLock(const std::string& area, const std::string& lockName) {
    const std::string lockPath = area + "/" + lockName;
    std::error_code error;
    if (fs::exists(fs::symlink_status(area + "/" + LockedName(lockName), error))) {
        return;
    }
    LockTake how = LockTake::kFailed;
    const UniqueFd lock = TakeLock(lockPath, false, false, how);
    if (lock.valid()) {
        ::unlink(lockPath.c_str());
    } else if (how == LockTake::kFailed) {
        RemoveTree(lockPath);
    }
}

// Another run that starts at the same moment may have made the folder and
// not marked it yet: an empty folder without a mark gets a moment for it.
bool AwaitOwnMark(const std::string& folder) {
    for (int wait = 0; wait < 40; ++wait) {
        if (IsOwnScratchFolder(folder)) {
            return true;
        }
        std::error_code error;
        if (!fs::is_directory(fs::symlink_status(folder, error)) || !fs::is_empty(folder, error) ||
            error || fs::exists(fs::symlink_status(ScratchMarkPath(folder), error))) {
            // The other run may have marked it and begun to use it meanwhile.
            return IsOwnScratchFolder(folder);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
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
        return AwaitOwnMark(folder);
    }
    if (!MakeFolderPath(FolderOf(folder))) {
        LogError("cannot make the folder %s\n", FolderOf(folder).c_str());
        return false;
    }
    // Only the run whose mkdir made the folder marks it.
    if (::mkdir(folder.c_str(), 0755) != 0) {
        if (errno == EEXIST) {
            return AwaitOwnMark(folder);
        }
        LogError("cannot make the folder %s: %s\n", folder.c_str(), std::strerror(errno));
        return false;
    }
    return WriteMark(folder);
}

std::string ScratchLockPath(const std::string& workFolder) {
    return FolderOf(workFolder) + "/." + FileNameOf(workFolder) + kLockSuffix;
}

ScratchFolder ScratchFolder::Make(const std::string& area) {
    if (area.empty() || !MakeScratchFolder(area)) {
        LogError("cannot use the scratch folder %s\n", area.c_str());
        return ScratchFolder();
    }
    // A name is tried until one is free; a clash is rare, so a few hundred
    // failures mean something else is wrong.
    for (int attempt = 0; attempt < 256; ++attempt) {
        const std::string folder = area + "/" + UnpredictableLetters();
        const std::string lockPath = ScratchLockPath(folder);
        // The lock comes first: whoever empties the area takes it before it
        // removes the folder, so it never removes a folder being made.
        LockTake how = LockTake::kFailed;
        UniqueFd lock = TakeLock(lockPath, true, true, how);
        if (how == LockTake::kExists || how == LockTake::kBusy) {
            continue;
        }
        if (!lock.valid()) {
            LogError("cannot make the lock %s: %s\n", lockPath.c_str(), std::strerror(errno));
            return ScratchFolder();
        }
        if (::mkdir(folder.c_str(), 0700) == 0) {
            return ScratchFolder(folder, std::move(lock));
        }
        const int error = errno;
        ::unlink(lockPath.c_str());
        if (error != EEXIST) {
            LogError("cannot make the folder %s: %s\n", folder.c_str(), std::strerror(error));
            return ScratchFolder();
        }
    }
    LogError("cannot find a free name for a folder in %s\n", area.c_str());
    return ScratchFolder();
}

ScratchFolder::ScratchFolder(ScratchFolder&& other) noexcept
    : path_(std::exchange(other.path_, std::string())), lock_(std::move(other.lock_)) {}

ScratchFolder& ScratchFolder::operator=(ScratchFolder&& other) noexcept {
    if (this != &other) {
        Remove();
        path_ = std::exchange(other.path_, std::string());
        lock_ = std::move(other.lock_);
    }
    return *this;
}

ScratchFolder::~ScratchFolder() {
    Remove();
}

void ScratchFolder::Remove() {
    if (lock_.valid()) {
        RemoveTree(path_);
        ::unlink(ScratchLockPath(path_).c_str());
        lock_.Reset();
    }
    path_.clear();
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
        if (!IsLockName(name)) {
            emptied = SweepEntry(folder, name) && emptied;
        }
    }
    for (const std::string& name : names) {
        if (IsLockName(name)) {
            SweepOrphanLock(folder, name);
        }
    }
    return emptied;
}

void EmptyScratchFolders() {
    EmptyScratchFolder(PushStagingFolder());
    EmptyScratchFolder(PackWorkFolder());
}

}  // namespace sw
