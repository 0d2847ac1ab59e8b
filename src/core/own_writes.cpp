#include "core/own_writes.h"

#include <map>
#include <mutex>

#include "core/file_stamp.h"

namespace sw {

namespace {

// Only the last state of each file counts; the list is bounded so that a
// long run writing many files does not grow it for ever.
constexpr std::size_t kMostFiles = 8192;

struct OwnWrites {
    std::mutex mutex;
    std::map<std::string, FileStamp> files;
};

OwnWrites& Registry() {
    static OwnWrites registry;
    return registry;
}

}  // namespace

void NoteOwnWrite(const std::string& path) {
    const FileStamp state = FileStampOf(path);
    OwnWrites& registry = Registry();
    std::lock_guard lock(registry.mutex);
    if (registry.files.size() >= kMostFiles && !registry.files.contains(path)) {
        registry.files.clear();
    }
    registry.files[path] = state;
}

bool IsOwnWrite(const std::string& path) {
    OwnWrites& registry = Registry();
    FileStamp noted;
    {
        std::lock_guard lock(registry.mutex);
        const auto found = registry.files.find(path);
        if (found == registry.files.end()) {
            return false;
        }
        noted = found->second;
    }
    return FileStampOf(path) == noted;
}

}  // namespace sw
