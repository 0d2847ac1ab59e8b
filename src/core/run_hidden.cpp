#include <sys/wait.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <set>
#include <thread>

#include "core/log.h"
#include "core/process.h"
#include "core/spawn.h"

namespace sw {

namespace {

// The pack tools still running. A pid leaves the set only while the lock is
// held and before it is reaped, so StopPackTools never signals a pid that the
// system may already have given to another process.
struct PackTools {
    std::mutex mutex;
    std::set<pid_t> running;
};

PackTools& Tools() {
    static PackTools tools;
    return tools;
}

std::atomic<bool>& StopFlag() {
    static std::atomic<bool> flag{false};
    return flag;
}

// Waits for a process to end; a pack tool is taken out of the set before it
// is reaped.
int WaitAndReap(pid_t pid, bool forPacking) {
    if (forPacking) {
        siginfo_t info{};
        while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) != 0 &&
               errno == EINTR) {
        }
        std::lock_guard<std::mutex> lock(Tools().mutex);
        Tools().running.erase(pid);
        return detail::WaitForExit(pid);
    }
    return detail::WaitForExit(pid);
}

HiddenRunResult Start(const std::vector<std::string>& argv, bool wait, bool forPacking,
                      bool quiet) {
    HiddenRunResult result;
    detail::SpawnOptions options;
    options.quiet = quiet;
    options.ownGroup = forPacking;
    pid_t pid;
    if (forPacking) {
        // Registered under the lock, so StopPackTools sees it from its start.
        std::lock_guard<std::mutex> lock(Tools().mutex);
        pid = detail::Spawn(argv, options);
        if (pid > 0) {
            Tools().running.insert(pid);
        }
    } else {
        pid = detail::Spawn(argv, options);
    }
    if (pid <= 0) {
        return result;
    }
    result.started = true;
    result.pid = pid;
    if (wait) {
        result.exit_code = WaitAndReap(pid, forPacking);
    } else {
        // Nobody waits for it, but it must not be left as a zombie.
        std::thread([pid, forPacking] { WaitAndReap(pid, forPacking); }).detach();
    }
    return result;
}

// The full path of a program found on PATH, "" when there is none.
std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "";
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t colon = folders.find(':', start);
        std::size_t end = colon == std::string::npos ? folders.size() : colon;
        std::string folder = end > start ? folders.substr(start, end - start) : ".";
        std::string candidate = folder + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        if (colon == std::string::npos) {
            break;
        }
        start = colon + 1;
    }
    return std::string();
}

}  // namespace

HiddenRunResult RunHidden(const std::vector<std::string>& argv, bool wait, bool forPacking) {
    return Start(argv, wait, forPacking, false);
}

void OpenWithShell(const std::string& target) {
    if (target.empty()) {
        return;
    }
    std::string opener = FindOnPath("xdg-open");
    if (opener.empty()) {
        LogWarn("xdg-open not found, cannot open %s\n", target.c_str());
        return;
    }
    // The desktop's chatter stays off the host's own output.
    Start({opener, target}, false, false, true);
}

void StopPackTools() {
    int count = 0;
    {
        std::lock_guard<std::mutex> lock(Tools().mutex);
        StopFlag() = true;
        for (pid_t pid : Tools().running) {
            ::kill(-pid, SIGKILL);
            ::kill(pid, SIGKILL);
            ++count;
        }
    }
    LogDebug("stop pack tools: %d\n", count);
}

bool PackStopRequested() {
    return StopFlag();
}

void ClearPackStop() {
    StopFlag() = false;
}

}  // namespace sw
