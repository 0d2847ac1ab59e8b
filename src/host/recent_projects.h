// The projects opened last, newest first, for the start page: kept in the
// home folder as a small JSON file written whole (never half), and read
// warily, since any program may have put anything there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sw::host {

// The start page lists at most this many projects.
inline constexpr std::size_t kRecentProjectsKept = 10;
// A list file larger than this is not read: ten entries never come near it.
inline constexpr std::size_t kRecentProjectsFileBytes = 64 * 1024;

struct RecentProject {
    std::string path;     // the project file (NAME.wtpj), absolute
    std::int64_t opened;  // seconds since the epoch
};

// The list file: "recent-projects.json" in the home folder.
std::string RecentProjectsFile();

// The list as kept, newest first. A missing, oversized, unreadable or
// malformed file (or a FIFO, a folder) reads as an empty list; entries that
// are not an absolute path with a time are left out, and so are the ones past
// kRecentProjectsKept.
std::vector<RecentProject> ReadRecentProjects();

// Puts path first with the time now (an older entry of it goes), keeps the
// newest kRecentProjectsKept and writes the file whole. False, logged, when
// it cannot be written.
bool RememberRecentProject(const std::string& path);

// Takes path out of the list; false, logged, when the file cannot be written.
bool ForgetRecentProject(const std::string& path);

// For the start page: [{"path","name","folder","opened","missing"}], newest
// first; name is the file name without ".wtpj", missing tells that the
// project file is not there any more.
std::string RecentProjectsJson();

}  // namespace sw::host
