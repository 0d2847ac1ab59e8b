#include "core/log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>

#include "core/paths.h"

namespace sw {

namespace {

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

// One line: open for appending, write prefix and message, close. Calls of the
// process are serialised by the mutex, other processes by an exclusive lock
// on the file.
int WriteLine(const char* tag, const char* format, va_list arguments) {
    std::string line = FormatTimeStamp() + "\t" + tag + "\t";
    line += FormatArguments(format, arguments);
    std::lock_guard<std::mutex> lock(LogMutex());
    if (LogPath().empty()) {
        return -1;
    }
    int fd = ::open(LogPath().c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return -1;
    }
    ::flock(fd, LOCK_EX);
    bool written = WriteAll(fd, line);
    ::close(fd);
    return written ? static_cast<int>(line.size()) : -1;
}

}  // namespace

void InitLogFile(const std::string& name) {
    std::string path = HomePath(name);
    std::lock_guard<std::mutex> lock(LogMutex());
    LogPath() = path;
    if (path.empty()) {
        return;
    }
    // Every run begins with an empty log; a failure here is ignored and
    // later lines are still attempted.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
        ::close(fd);
    }
}

void SetLogFilePath(const std::string& path) {
    std::lock_guard<std::mutex> lock(LogMutex());
    LogPath() = path.size() <= kPathCapacity ? path : std::string();
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
