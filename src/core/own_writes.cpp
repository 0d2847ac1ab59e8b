#include "core/own_writes.h"

#include <sys/stat.h>

#include <map>
#include <mutex>

namespace sw {

namespace {

// What a file looked like: its identity, size and modification time.
struct FileState {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long seconds = 0;
    long nanoseconds = 0;
    bool operator==(const FileState&) const = default;
};

FileState StateOf(const std::string& path) {
    FileState state;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        state.exists = true;
        state.device = info.st_dev;
        state.inode = info.st_ino;
        state.size = info.st_size;
        state.seconds = info.st_mtim.tv_sec;
        state.nanoseconds = info.st_mtim.tv_nsec;
    }
    return state;
}

// Only the last state of each file counts; the list is bounded so that a
// long run writing many files does not grow it for ever.
constexpr std::size_t kMostFiles = 8192;

struct OwnWrites {
    std::mutex mutex;
    std::map<std::string, FileState> files;
};

OwnWrites& Registry() {
    static OwnWrites registry;
    return registry;
}

}  // namespace

void NoteOwnWrite(const std::string& path) {
    const FileState state = StateOf(path);
    OwnWrites& registry = Registry();
    std::lock_guard lock(registry.mutex);
    if (registry.files.size() >= kMostFiles && !registry.files.contains(path)) {
        registry.files.clear();
    }
    registry.files[path] = state;
}

bool IsOwnWrite(const std::string& path) {
    OwnWrites& registry = Registry();
    FileState noted;
    {
        std::lock_guard lock(registry.mutex);
        const auto found = registry.files.find(path);
        if (found == registry.files.end()) {
            return false;
        }
        noted = found->second;
    }
    return StateOf(path) == noted;
}

}  // namespace sw
