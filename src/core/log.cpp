#include "core/log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>

#include "core/paths.h"
#include "core/unique_fd.h"

namespace sw {

namespace {

// The log names the files and folders of the user's work: only its owner
// reads it.
constexpr mode_t kLogMode = 0600;

std::mutex& LogMutex() {
    static std::mutex mutex;
    return mutex;
}

// Guarded by LogMutex().
std::string& LogPath() {
    static std::string path;
    return path;
}

std::string FormatArguments(const char* format, va_list arguments) {
    va_list copy;
    va_copy(copy, arguments);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length <= 0) {
        return std::string();
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, arguments);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Guarded by LogMutex(): whether the user was told that the log at the
// current path cannot be written.
bool& FailureReported() {
    static bool reported = false;
    return reported;
}

// The program goes on without its log; the user is told once a path, on
// standard error, since the log itself cannot say it. Called with LogMutex()
// held.
void ReportUnwritableLog(int error) {
    if (FailureReported()) {
        return;
    }
    FailureReported() = true;
    std::fprintf(stderr, "skinwright: cannot write the log %s (%s); going on without it\n",
                 LogPath().c_str(), std::strerror(error));
}

// Called with LogMutex() held.
void SetPath(const std::string& path) {
    LogPath() = path;
    FailureReported() = false;
}

// The lines of the calling thread's innermost HeldLogLines, if any.
thread_local std::vector<std::string>* held_lines = nullptr;

// One line: open for appending, write it, close. Calls of the process are
// serialised by the mutex, other processes by an exclusive lock on the file.
int AppendLine(const std::string& line) {
    std::lock_guard<std::mutex> lock(LogMutex());
    if (LogPath().empty()) {
        return -1;
    }
    UniqueFd fd(::open(LogPath().c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, kLogMode));
    if (!fd.valid()) {
        ReportUnwritableLog(errno);
        return -1;
    }
    ::flock(fd.get(), LOCK_EX);
    if (!WriteAll(fd.get(), line)) {
        ReportUnwritableLog(errno);
        return -1;
    }
    return static_cast<int>(line.size());
}

int WriteLine(const char* tag, const char* format, va_list arguments) {
    std::string line = FormatTimeStamp() + "\t" + tag + "\t";
    line += FormatArguments(format, arguments);
    if (held_lines != nullptr) {
        held_lines->push_back(std::move(line));
        return static_cast<int>(held_lines->back().size());
    }
    return AppendLine(line);
}

}  // namespace

HeldLogLines::HeldLogLines() : outer_(held_lines) {
    held_lines = &lines_;
}

HeldLogLines::~HeldLogLines() {
    held_lines = outer_;
    WriteLogLines(lines_);
}

std::vector<std::string> HeldLogLines::Take() {
    std::vector<std::string> lines;
    lines.swap(lines_);
    return lines;
}

void WriteLogLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (held_lines != nullptr) {
            held_lines->push_back(line);
        } else {
            AppendLine(line);
        }
    }
}

void InitLogFile(const std::string& name) {
    std::string path = HomePath(name);
    std::lock_guard<std::mutex> lock(LogMutex());
    SetPath(path);
    if (path.empty()) {
        return;
    }
    // Every run begins with an empty log; later lines are still attempted
    // when this fails.
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kLogMode));
    if (!fd.valid()) {
        ReportUnwritableLog(errno);
        return;
    }
    // A log left by an earlier run may be readable by others; only its owner
    // can change that, and the log is kept either way.
    ::fchmod(fd.get(), kLogMode);
}

void SetLogFilePath(const std::string& path) {
    std::lock_guard<std::mutex> lock(LogMutex());
    SetPath(path.size() <= kPathCapacity ? path : std::string());
}

std::string GetLogFilePath() {
    std::lock_guard<std::mutex> lock(LogMutex());
    return LogPath();
}

std::string FormatTimeStamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%4d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

int LogDebug(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int result = WriteLine("DEBUG", format, arguments);
    va_end(arguments);
    return result;
}

int LogInfo(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int result = WriteLine("INFO ", format, arguments);
    va_end(arguments);
    return result;
}

int LogWarn(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int result = WriteLine("WARN ", format, arguments);
    va_end(arguments);
    return result;
}

int LogError(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int result = WriteLine("ERROR", format, arguments);
    va_end(arguments);
    return result;
}

}  // namespace sw
