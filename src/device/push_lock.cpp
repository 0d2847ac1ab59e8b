#include "device/push_lock.h"

#include <fcntl.h>
#include <sys/file.h>

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"

namespace sw::device {

PushLock PushLock::TryTake() {
    const std::string staging = PushStagingFolder();
    if (staging.empty()) {
        return PushLock();
    }
    const std::string path = staging + ".lock";
    MakeFolderPath(FolderOf(path));
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (!fd.valid()) {
        LogError("cannot open the push lock %s\n", path.c_str());
        return PushLock();
    }
    // A lock taken through another open file, in this process or another,
    // refuses this one.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        LogWarn("a push is already running\n");
        return PushLock(UniqueFd(), true);
    }
    return PushLock(std::move(fd), false);
}

}  // namespace sw::device
