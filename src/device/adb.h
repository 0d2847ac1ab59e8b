// Running adb: where the program is, how long each command may take, and one
// command run to its end with its output.
//
// Every command is the program, "-s SERIAL" when a phone is named, then the
// operation's own words (adb_commands.h), started with an argument vector and
// never through a shell. Every command is awaited and has a time limit; a
// command that outlives it is ended and reported as timed out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sw::device {

// SKINWRIGHT_ADB when set; else adb in the data folder when it is there;
// else "adb", looked up on PATH when it is started.
std::string AdbProgram();

// How long the commands may take, in milliseconds.
struct AdbTimeLimits {
    int devices = 15000;      // listing the phones; may first start adb's server
    int command = 30000;      // removing a folder, stopping or starting an app, a pull
    int install = 120000;     // installing or copying the icon reader
    int push_base = 60000;    // a push takes at most this much ...
    int push_per_mib = 1000;  // ... and this much more for every MiB pushed
};

AdbTimeLimits GetAdbTimeLimits();
// Tests shorten the limits.
void SetAdbTimeLimits(const AdbTimeLimits& limits);

// The time limit of a push of this many bytes.
int PushTimeLimit(std::uint64_t bytes);

struct AdbResult {
    bool started = false;    // false: adb could not be started
    bool timed_out = false;  // ended at its time limit
    int exit_code = -1;
    std::string output;  // standard output and error, merged

    bool ok() const { return started && !timed_out && exit_code == 0; }
    // The last line of the output that holds more than blanks; "" when none.
    std::string LastLine() const;
};

// The whole argument vector: the program, "-s" and serial when serial is
// not empty, then tail.
std::vector<std::string> AdbCommandLine(const std::string& serial,
                                        const std::vector<std::string>& tail);

// Runs one command and waits for it at most timeoutMs. Logs the command line
// (INFO "adb: ..."), "execute adb error.\n" (ERROR) when adb cannot be
// started, and an ERROR line when the time limit ends it.
AdbResult RunAdb(const std::string& serial, const std::vector<std::string>& tail, int timeoutMs);

}  // namespace sw::device
