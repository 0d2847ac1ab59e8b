#include "core/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <system_error>

#include "core/log.h"
#include "core/own_writes.h"
#include "core/paths.h"
#include "core/project_entry.h"
#include "core/unique_fd.h"
#include "core/write_watch.h"

namespace sw {

namespace fs = std::filesystem;

namespace {

// The entry's own kind; a symbolic link is never followed.
fs::file_type OwnType(const std::string& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type();
}

std::string WithoutTrailingSlash(const std::string& path) {
    if (path.size() > 1 && path.back() == '/') {
        return path.substr(0, path.size() - 1);
    }
    return path;
}

// True when inner is folder itself or lies below it.
bool IsSameOrBelow(const std::string& inner, const std::string& folder) {
    std::error_code error;
    fs::path folderPath = fs::weakly_canonical(folder, error);
    if (error) {
        return false;
    }
    fs::path innerPath = fs::weakly_canonical(inner, error);
    if (error) {
        return false;
    }
    auto [folderEnd, innerIt] =
        std::mismatch(folderPath.begin(), folderPath.end(), innerPath.begin(), innerPath.end());
    return folderEnd == folderPath.end();
}

// Writes every byte; 0, or the errno of the failed write.
int WriteAll(int fd, const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t count = ::write(fd, data + done, size - done);
        if (count >= 0) {
            done += static_cast<std::size_t>(count);
        } else if (errno != EINTR) {
            return errno;
        }
    }
    return 0;
}

// Makes a rename in folder last: 0, or the errno of the failed sync.
int SyncFolder(const std::string& folder) {
    UniqueFd fd(::open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid()) {
        return errno;
    }
    return ::fsync(fd.get()) == 0 ? 0 : errno;
}

// True for a file below the pack's work area or the push staging folder.
// Those files are remade by the next pack or push and are not the user's:
// they are not flushed to disk, which would slow a pack that writes thousands
// of them several times over.
bool IsScratchFile(const std::string& path) {
    for (const std::string& folder : {PackWorkFolder(), PushStagingFolder()}) {
        if (!folder.empty() && path.size() > folder.size() + 1 &&
            path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/') {
            return true;
        }
    }
    return false;
}

// Writes a new file beside path (same folder, a temporary name) through fill,
// which returns 0 or an errno; makes it last on disk (scratch files aside),
// then renames it over path and makes the rename last. Readers, and the file
// after a crash or a kill at any moment, see the old file or the whole new
// one, never a part. Logs ERROR naming path on failure and leaves no
// temporary file behind.
bool WriteBeside(const std::string& path, mode_t mode, const std::function<int(int fd)>& fill) {
    std::string temporary = path + ".XXXXXX";
    if (path.empty() || !CheckPathCapacity(temporary)) {
        LogError("cannot write file %s\n", path.c_str());
        return false;
    }
    NotifyBeforeWrite(path);
    UniqueFd fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd.valid()) {
        LogError("cannot write file %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    int failure = ::fchmod(fd.get(), mode) == 0 ? 0 : errno;
    if (failure == 0) {
        failure = fill(fd.get());
    }
    const bool lasting = !IsScratchFile(path);
    if (failure == 0 && lasting && ::fsync(fd.get()) != 0) {
        failure = errno;
    }
    if (::close(fd.Release()) != 0 && failure == 0) {
        failure = errno;
    }
    if (failure == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) {
        failure = errno;
    }
    if (failure != 0) {
        ::unlink(temporary.c_str());
        LogError("cannot write file %s: %s\n", path.c_str(), std::strerror(failure));
        return false;
    }
    if (lasting) {
        NoteOwnWrite(path);
    }
    if (const int synced = lasting ? SyncFolder(FolderOf(path)) : 0) {
        LogError("cannot make the new file %s last: %s\n", path.c_str(), std::strerror(synced));
        return false;
    }
    return true;
}

// The device and inode of a folder (links followed); false when it is none.
bool FolderIdentity(const std::string& path, std::pair<dev_t, ino_t>& id) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return false;
    }
    id = {info.st_dev, info.st_ino};
    return true;
}

// Lists the tree below source/relative into plan; symbolic links are
// followed, as packaged installs link their data folders, so a linked folder
// is listed as a folder and a linked file as a file. A link that leads back
// to a folder being listed (a loop) fails the listing. ancestors holds the
// folders being listed.
bool ListTreeToCopy(const std::string& source, const std::string& destination,
                    const std::string& relative, std::vector<std::pair<dev_t, ino_t>>& ancestors,
                    FolderCopyPlan& plan) {
    const std::string folder = relative.empty() ? source : source + "/" + relative;
    std::pair<dev_t, ino_t> id;
    if (!FolderIdentity(folder, id) ||
        std::find(ancestors.begin(), ancestors.end(), id) != ancestors.end()) {
        return false;
    }
    ancestors.push_back(id);
    plan.folders.push_back(relative);
    std::vector<std::string> names;
    bool listed = ListFolder(folder, names);
    for (std::size_t i = 0; listed && i < names.size(); ++i) {
        const std::string entry = relative.empty() ? names[i] : relative + "/" + names[i];
        const std::string from = source + "/" + entry;
        listed = CheckPathCapacity(from) && CheckPathCapacity(destination + "/" + entry);
        if (listed && IsFolder(from)) {
            listed = ListTreeToCopy(source, destination, entry, ancestors, plan);
        } else if (listed) {
            plan.files.push_back(entry);
        }
    }
    ancestors.pop_back();
    return listed;
}

// folder/relative, or folder itself for "".
std::string PlannedPath(const std::string& folder, const std::string& relative) {
    return relative.empty() ? folder : folder + "/" + relative;
}

}  // namespace

bool IsFolder(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::is_directory(path, error);
}

bool IsFile(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::is_regular_file(path, error);
}

bool PathExists(const std::string& path) {
    return !path.empty() && OwnType(path) != fs::file_type::not_found &&
           OwnType(path) != fs::file_type::none;
}

bool CopyPath(const std::string& source, const std::string& destination) {
    if (source.empty() || destination.empty() || !PathExists(source)) {
        return false;
    }
    if (source == destination) {
        return true;
    }
    if (!CheckPathCapacity(source) || !CheckPathCapacity(destination)) {
        return false;
    }
    if (IsFolder(source)) {
        return CopyFolder(source, destination);
    }
    return CopyFileAtomic(source, destination);
}

bool PlanFolderCopy(const std::string& source, const std::string& destination,
                    FolderCopyPlan& plan) {
    plan = {};
    if (source.empty() || destination.empty()) {
        return false;
    }
    if (!CheckPathCapacity(source) || !CheckPathCapacity(destination)) {
        return false;
    }
    // A copy into the source's own tree would copy itself without end.
    if (IsSameOrBelow(destination, source)) {
        return false;
    }
    std::vector<std::pair<dev_t, ino_t>> ancestors;
    return ListTreeToCopy(source, destination, "", ancestors, plan);
}

bool CopyPlannedFolder(
    const FolderCopyPlan& plan, const std::string& source, const std::string& destination,
    const std::function<bool(const std::string&, const std::string&)>& copyFile) {
    for (const std::string& folder : plan.folders) {
        if (!MakeFolderPath(PlannedPath(destination, folder))) {
            return false;
        }
    }
    for (const std::string& file : plan.files) {
        if (!copyFile(PlannedPath(source, file), PlannedPath(destination, file))) {
            return false;
        }
    }
    return true;
}

bool CopyFolder(const std::string& source, const std::string& destination) {
    FolderCopyPlan plan;
    return PlanFolderCopy(source, destination, plan) &&
           CopyPlannedFolder(plan, source, destination,
                             [](const std::string& from, const std::string& to) {
                                 return CopyFileAtomic(from, to);
                             });
}

bool MakeFolderPath(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    std::string folder = WithoutTrailingSlash(path);
    if (!CheckPathCapacity(folder)) {
        return false;
    }
    if (IsFolder(folder)) {
        return true;
    }
    if (PathExists(folder)) {
        // A file (or something else) stands where the folder is to be made;
        // it is left alone.
        return false;
    }
    std::size_t slash = folder.rfind('/');
    if (slash == std::string::npos) {
        return false;
    }
    std::string parent = folder.substr(0, slash);
    if (!parent.empty() && parent.back() == '/') {
        return false;
    }
    // The root ends the recursion like any existing folder.
    if (!parent.empty() && !MakeFolderPath(parent)) {
        return false;
    }
    if (::mkdir(folder.c_str(), 0755) == 0) {
        return true;
    }
    // Another thread or process may have made it meanwhile.
    return errno == EEXIST && IsFolder(folder);
}

bool DeletePath(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    std::string target = WithoutTrailingSlash(path);
    if (!CheckPathCapacity(target)) {
        return false;
    }
    fs::file_type type = OwnType(target);
    if (type == fs::file_type::not_found || type == fs::file_type::none) {
        return false;
    }
    std::error_code error;
    if (type != fs::file_type::directory) {
        return fs::remove(target, error) && !error;
    }
    std::vector<std::string> names;
    if (!ListFolder(target, names)) {
        return false;
    }
    for (const std::string& name : names) {
        if (name[0] == '.') {
            continue;
        }
        if (!DeletePath(target + "/" + name)) {
            return false;
        }
    }
    return fs::remove(target, error) && !error;
}

bool ListFolder(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    if (folder.empty()) {
        return false;
    }
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) {
        return false;
    }
    for (; it != fs::directory_iterator(); it.increment(error)) {
        names.push_back(it->path().filename().string());
    }
    if (error) {
        names.clear();
        return false;
    }
    return true;
}

bool ReadFileText(const std::string& path, std::string& contents, const std::string& root) {
    contents.clear();
    const UniqueFd fd = OpenFileForReading(path, root);
    return fd.valid() && ReadOpenFile(fd.get(), contents, contents.max_size());
}

bool WriteFileAtomic(const std::string& path, const std::string& contents) {
    // A rewritten file keeps its permissions; a new one gets the usual ones.
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    return WriteBeside(
        path, mode, [&contents](int fd) { return WriteAll(fd, contents.data(), contents.size()); });
}

bool CopyFileAtomic(const std::string& source, const std::string& destination,
                    const std::string& root) {
    UniqueFd in = OpenFileForReading(source, root);
    struct stat info {};
    if (!in.valid() || ::fstat(in.get(), &info) != 0) {
        LogError("cannot read file %s\n", source.c_str());
        return false;
    }
    // The copy keeps the permissions of the file it replaces, or takes the
    // source's when it is new.
    struct stat old {};
    const mode_t mode =
        ::stat(destination.c_str(), &old) == 0 ? (old.st_mode & 07777) : (info.st_mode & 07777);
    return WriteBeside(destination, mode, [&in](int fd) {
        char buffer[65536];
        for (;;) {
            const ssize_t count = ::read(in.get(), buffer, sizeof buffer);
            if (count < 0 && errno == EINTR) {
                continue;
            }
            if (count < 0) {
                return errno;
            }
            if (count == 0) {
                return 0;
            }
            if (const int failure = WriteAll(fd, buffer, static_cast<std::size_t>(count))) {
                return failure;
            }
        }
    });
}

}  // namespace sw
