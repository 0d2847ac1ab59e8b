// What a file looks like from outside: its identity, size and modification
// time. Two equal stamps of a path mean the file was not replaced or written
// in between (to the clock's resolution).
#pragma once

#include <sys/types.h>

#include <string>

namespace sw {

struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long seconds = 0;
    long nanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of path now (links followed); exists is false when there is none.
FileStamp FileStampOf(const std::string& path);

}  // namespace sw
