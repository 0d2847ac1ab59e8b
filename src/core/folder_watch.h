// Hears of the files written, renamed and removed in a folder tree, through
// inotify on every folder of it. A file is reported once it is complete:
// closed after writing, or renamed into place; a file still being written is
// never reported.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "core/unique_fd.h"

namespace sw {

struct FolderEvent {
    enum class Kind {
        kWritten,        // a file was closed after writing, or renamed into place
        kRemoved,        // a file was removed or renamed away
        kFolderChanged,  // a folder came or went (a new one is watched at once)
        kOverflow,       // the kernel dropped events: anything may have changed
    };
    Kind kind = Kind::kWritten;
    std::string path;  // absolute; the tree's root for kOverflow
};

class FolderWatch {
  public:
    static constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

    // Watches root and every folder below it, except those for which skip
    // holds (and what is below them). At most maxFolders folders are
    // watched; a folder beyond that, or one the system refuses (its watch
    // limit reached), leaves the watch incomplete.
    explicit FolderWatch(std::string root, std::function<bool(const std::string&)> skip = {},
                         std::size_t maxFolders = kNoLimit);
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // False when some folder is not watched; failure() says why.
    bool complete() const { return failure_.empty(); }
    const std::string& failure() const { return failure_; }
    std::size_t folder_count() const { return folders_.size(); }

    // Waits up to timeout for events and returns those that came, in order.
    std::vector<FolderEvent> Read(std::chrono::milliseconds timeout);

  private:
    void WatchTree(const std::string& folder);
    void Fail(const std::string& why);

    std::string root_;
    std::function<bool(const std::string&)> skip_;
    std::size_t max_folders_;
    UniqueFd fd_;
    std::map<int, std::string> folders_;  // by watch descriptor
    std::string failure_;
};

}  // namespace sw
