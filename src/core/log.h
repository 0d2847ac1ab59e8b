// The program's single diagnostic log, "runtime.log" in the home folder.
//
// Each call opens the file for appending, writes one prefix (time stamp, tab,
// five-character tag, tab) and the caller's message, and closes the file again,
// so the log is complete at any moment. Callers end their messages with "\n".
// Calls from several threads are serialised inside the process, so no line is
// lost or interleaved. A log that cannot be written never stops the program:
// its calls return -1, and standard error says so once for each log path.
#pragma once

#include <string>
#include <vector>

namespace sw {

// Sets the log path to HomePath(name) and empties that file. Until this is
// called every log call returns -1 and writes nothing.
void InitLogFile(const std::string& name);

// Sets the full log path directly (tests); "" disables logging.
void SetLogFilePath(const std::string& path);

// The current log path, "" while logging is disabled.
std::string GetLogFilePath();

// "YYYY-MM-DD hh:mm:ss" in local time.
std::string FormatTimeStamp();

// printf-style; the result is the number of bytes written (prefix plus
// message), or -1 when nothing was written.
int LogDebug(const char* format, ...) __attribute__((format(printf, 1, 2)));
int LogInfo(const char* format, ...) __attribute__((format(printf, 1, 2)));
int LogWarn(const char* format, ...) __attribute__((format(printf, 1, 2)));
int LogError(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Keeps the lines the calling thread logs while it lives instead of writing
// them, for work done side by side whose lines must reach the log in the
// order the work would have been done one piece after another. Take() hands
// the lines over (to WriteLogLines); the destructor writes what is left.
// Lives and dies on one thread; holds nest, the inner one keeps its own lines.
class HeldLogLines {
  public:
    HeldLogLines();
    ~HeldLogLines();
    HeldLogLines(const HeldLogLines&) = delete;
    HeldLogLines& operator=(const HeldLogLines&) = delete;

    std::vector<std::string> Take();

  private:
    std::vector<std::string> lines_;
    std::vector<std::string>* outer_ = nullptr;
};

// Logs lines that a HeldLogLines kept, as they are (held again when the
// calling thread holds its own lines).
void WriteLogLines(const std::vector<std::string>& lines);

}  // namespace sw
