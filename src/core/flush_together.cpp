#include "core/flush_together.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "core/unique_fd.h"

namespace sw {

namespace {

// More flushes than this share threads; a save writes far fewer files.
constexpr std::size_t kMostThreads = 16;

// 0, or the errno of the failed open or flush.
int Flush(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) {
        return errno;
    }
    return ::fsync(fd.get()) == 0 ? 0 : errno;
}

}  // namespace

std::optional<FlushFailure> FlushTogether(const std::vector<std::string>& paths) {
    std::vector<int> errors(paths.size(), 0);
    const std::size_t threads = std::min(paths.size(), kMostThreads);
    {
        // Every flush waits for the disk on a thread of its own, so the file
        // system sees them all at once.
        std::vector<std::jthread> flushers;
        for (std::size_t t = 1; t < threads; ++t) {
            flushers.emplace_back([&paths, &errors, t, threads] {
                for (std::size_t i = t; i < paths.size(); i += threads) {
                    errors[i] = Flush(paths[i]);
                }
            });
        }
        for (std::size_t i = 0; i < paths.size(); i += std::max<std::size_t>(threads, 1)) {
            errors[i] = Flush(paths[i]);
        }
    }
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (errors[i] != 0) {
            return FlushFailure{paths[i], errors[i]};
        }
    }
    return std::nullopt;
}

}  // namespace sw
