#include "device/adb.h"

#include <unistd.h>
#include <cstdlib>
#include <mutex>

#include "core/log.h"
#include "core/paths.h"
#include "core/process.h"

namespace sw::device {

namespace {

std::mutex& LimitsMutex() {
    static std::mutex mutex;
    return mutex;
}

AdbTimeLimits& Limits() {
    static AdbTimeLimits limits;
    return limits;
}

constexpr std::uint64_t kMiB = 1024 * 1024;

}  // namespace

std::string AdbProgram() {
    if (const char* program = std::getenv("SKINWRIGHT_ADB"); program != nullptr && *program) {
        return program;
    }
    const std::string beside = ExePath("adb");
    if (!beside.empty() && ::access(beside.c_str(), X_OK) == 0) {
        return beside;
    }
    return "adb";
}

AdbTimeLimits GetAdbTimeLimits() {
    std::lock_guard<std::mutex> lock(LimitsMutex());
    return Limits();
}

void SetAdbTimeLimits(const AdbTimeLimits& limits) {
    std::lock_guard<std::mutex> lock(LimitsMutex());
    Limits() = limits;
}

int PushTimeLimit(std::uint64_t bytes) {
    const AdbTimeLimits limits = GetAdbTimeLimits();
    const std::uint64_t mib = bytes / kMiB + (bytes % kMiB != 0 ? 1 : 0);
    const std::uint64_t total = static_cast<std::uint64_t>(limits.push_base) +
                                mib * static_cast<std::uint64_t>(limits.push_per_mib);
    // A time limit is an int of milliseconds: about 24 days at most.
    return total > 0x7fffffffu ? 0x7fffffff : static_cast<int>(total);
}

std::string AdbResult::LastLine() const {
    std::size_t end = output.size();
    while (end > 0) {
        std::size_t start = output.rfind('\n', end - 1);
        start = start == std::string::npos ? 0 : start + 1;
        std::string line = output.substr(start, end - start);
        while (!line.empty() &&
               (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
            line.pop_back();
        }
        if (line.find_first_not_of(" \t") != std::string::npos) {
            return line;
        }
        end = start == 0 ? 0 : start - 1;
    }
    return "";
}

std::vector<std::string> AdbCommandLine(const std::string& serial,
                                        const std::vector<std::string>& tail) {
    std::vector<std::string> argv = {AdbProgram()};
    if (!serial.empty()) {
        argv.push_back("-s");
        argv.push_back(serial);
    }
    argv.insert(argv.end(), tail.begin(), tail.end());
    return argv;
}

AdbResult RunAdb(const std::string& serial, const std::vector<std::string>& tail, int timeoutMs) {
    const std::vector<std::string> argv = AdbCommandLine(serial, tail);
    LogInfo("adb: %s\n", JoinCommandLine(argv).c_str());
    AdbResult result;
    ProcessRunner runner;
    if (!runner.Run(argv, timeoutMs)) {
        LogError("execute adb error.\n");
        return result;
    }
    result.started = true;
    result.output = runner.output();
    // Only a process ended at its time limit leaves the exit code unknown.
    result.exit_code = runner.exit_code();
    result.timed_out = result.exit_code == -1;
    if (result.timed_out) {
        LogError("adb gave no answer within %d ms and was ended: %s\n", timeoutMs,
                 JoinCommandLine(argv).c_str());
    } else if (result.exit_code != 0) {
        LogInfo("adb ended with exit code %d: %s\n", result.exit_code, result.LastLine().c_str());
    }
    return result;
}

}  // namespace sw::device
