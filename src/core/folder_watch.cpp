#include "core/folder_watch.h"

#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/files.h"
#include "core/log.h"

namespace sw {

namespace {

constexpr std::uint32_t kFolderMask = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE |
                                      IN_CREATE | IN_ONLYDIR | IN_DONT_FOLLOW | IN_EXCL_UNLINK;

}  // namespace

FolderWatch::FolderWatch(std::string root, std::function<bool(const std::string&)> skip,
                         std::size_t maxFolders)
    : root_(std::move(root)),
      skip_(std::move(skip)),
      max_folders_(maxFolders),
      fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (!fd_.valid()) {
        Fail(std::string("inotify: ") + std::strerror(errno));
        return;
    }
    WatchTree(root_);
}

void FolderWatch::Fail(const std::string& why) {
    if (failure_.empty()) {
        failure_ = why;
        LogWarn("cannot watch every folder of %s: %s\n", root_.c_str(), why.c_str());
    }
}

void FolderWatch::WatchTree(const std::string& folder) {
    if (!fd_.valid() || (skip_ && skip_(folder))) {
        return;
    }
    if (folders_.size() >= max_folders_) {
        Fail("more folders than the watch may take");
        return;
    }
    const int wd = ::inotify_add_watch(fd_.get(), folder.c_str(), kFolderMask);
    if (wd < 0) {
        // A folder that went away meanwhile is no failure of the watch.
        if (errno != ENOENT && errno != ENOTDIR) {
            Fail(folder + ": " + std::strerror(errno));
        }
        return;
    }
    folders_[wd] = folder;
    std::vector<std::string> names;
    if (!ListFolder(folder, names)) {
        return;
    }
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        struct stat info {};
        // A link is never followed out of the tree.
        if (::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            WatchTree(path);
        }
    }
}

std::vector<FolderEvent> FolderWatch::Read(std::chrono::milliseconds timeout) {
    std::vector<FolderEvent> events;
    if (!fd_.valid()) {
        ::usleep(static_cast<useconds_t>(timeout.count() * 1000));
        return events;
    }
    pollfd wait{fd_.get(), POLLIN, 0};
    if (::poll(&wait, 1, static_cast<int>(timeout.count())) <= 0) {
        return events;
    }
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t count = ::read(fd_.get(), buffer, sizeof buffer);
        if (count <= 0) {
            break;
        }
        for (ssize_t at = 0; at < count;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if ((event->mask & IN_Q_OVERFLOW) != 0) {
                events.push_back({FolderEvent::Kind::kOverflow, root_});
                continue;
            }
            if ((event->mask & IN_IGNORED) != 0) {
                folders_.erase(event->wd);
                continue;
            }
            const auto folder = folders_.find(event->wd);
            if (folder == folders_.end() || event->len == 0) {
                continue;
            }
            const std::string path = folder->second + "/" + event->name;
            if ((event->mask & IN_ISDIR) != 0) {
                if ((event->mask & (IN_CREATE | IN_MOVED_TO)) != 0) {
                    WatchTree(path);
                }
                events.push_back({FolderEvent::Kind::kFolderChanged, path});
            } else if ((event->mask & (IN_CLOSE_WRITE | IN_MOVED_TO)) != 0) {
                events.push_back({FolderEvent::Kind::kWritten, path});
            } else if ((event->mask & (IN_DELETE | IN_MOVED_FROM)) != 0) {
                events.push_back({FolderEvent::Kind::kRemoved, path});
            }
        }
    }
    return events;
}

}  // namespace sw
