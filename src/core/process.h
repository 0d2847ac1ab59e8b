// Running other programs: with captured output and a time limit
// (ProcessRunner), plainly (RunHidden), or through the desktop (OpenWithShell).
// Programs are started with posix_spawn and an argument vector, never through
// a shell, so each path is one argument whatever it holds.
#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

namespace sw {

// The words joined with single blanks, as logs show a command line.
std::string JoinCommandLine(const std::vector<std::string>& argv);

// Runs one program with standard output and error merged into one pipe.
class ProcessRunner {
  public:
    ProcessRunner() = default;
    ProcessRunner(const ProcessRunner&) = delete;
    ProcessRunner& operator=(const ProcessRunner&) = delete;
    // A process still running when the runner goes is killed.
    ~ProcessRunner();

    // True when the program was started and has ended, normally or by the
    // time limit (timeoutMs, -1 for none); false when it could not be started.
    // A program stopped at its time limit leaves the exit code at -1; it is
    // killed with every process it started in its group. Output is read in
    // chunks of 1023 bytes, each appended up to its first zero byte, while
    // byte_count counts every byte. Standard input is /dev/null.
    bool Run(const std::vector<std::string>& argv, int timeoutMs);

    const std::string& output() const { return output_; }
    std::size_t byte_count() const { return byte_count_; }
    int exit_code() const { return exit_code_; }

  private:
    std::string output_;
    std::size_t byte_count_ = 0;
    int exit_code_ = -1;
    pid_t pid_ = -1;
};

struct HiddenRunResult {
    bool started = false;
    int exit_code = -1;  // known only when waited for
    pid_t pid = -1;      // the started process; reaped by the library
};

// Starts a program with the host's own standard handles; waits for it when
// asked (a program not waited for is reaped in the background). A program
// started with forPacking leads a process group of its own, and StopPackTools
// ends that group. A program ended by a signal has the exit code 128 + signal.
HiddenRunResult RunHidden(const std::vector<std::string>& argv, bool wait, bool forPacking = false);

// Hands a file, folder or web address to xdg-open (found on PATH) and returns
// at once. When xdg-open is missing a WARN line is logged.
void OpenWithShell(const std::string& target);

// Ends every process this program started for packing and asks a running
// pack to stop; logs DEBUG "stop pack tools: N" with the number ended.
// Processes started by anyone else are never touched.
void StopPackTools();

// The pack's side of StopPackTools: packing polls PackStopRequested and calls
// ClearPackStop when it starts.
bool PackStopRequested();
void ClearPackStop();

}  // namespace sw
