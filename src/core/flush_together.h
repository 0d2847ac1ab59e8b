// Making many files, or the folders that name them, last on disk at once.
// A save that replaces a dozen small files waits for the disk once instead
// of a dozen times: the flushes are asked for together, so the file system
// can commit them in one go.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sw {

// What could not be flushed: the path and its errno.
struct FlushFailure {
    std::string path;
    int error = 0;
};

// Flushes every file or folder of paths to disk (fsync), all at the same
// time; returns when every flush has ended. Nothing when all were flushed,
// else the first path (in the order given) that could not be opened or
// flushed. Logs nothing.
std::optional<FlushFailure> FlushTogether(const std::vector<std::string>& paths);

}  // namespace sw
