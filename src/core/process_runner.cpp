#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>

#include "core/process.h"
#include "core/spawn.h"
#include "core/unique_fd.h"

namespace sw {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kChunkSize = 1023;
// How often a process is looked at when the kernel cannot signal its end.
constexpr int kPollMs = 10;

// A descriptor that becomes readable when the process ends; invalid on
// kernels without pidfd support, where the runner polls instead.
UniqueFd OpenProcessFd(pid_t pid) {
    return UniqueFd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
}

// Ends the process and everything it started in its group.
void KillGroup(pid_t pid) {
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
}

}  // namespace

std::string JoinCommandLine(const std::vector<std::string>& argv) {
    std::string line;
    for (const std::string& word : argv) {
        if (!line.empty()) {
            line += ' ';
        }
        line += word;
    }
    return line;
}

ProcessRunner::~ProcessRunner() {
    if (pid_ > 0) {
        KillGroup(pid_);
        detail::WaitForExit(pid_);
    }
}

bool ProcessRunner::Run(const std::vector<std::string>& argv, int timeoutMs) {
    output_.clear();
    byte_count_ = 0;
    exit_code_ = -1;
    if (argv.empty() || argv[0].empty()) {
        return false;
    }
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        return false;
    }
    UniqueFd readEnd(pipeFds[0]);
    UniqueFd writeEnd(pipeFds[1]);
    detail::SpawnOptions options;
    options.outputFd = writeEnd.get();
    options.nullInput = true;
    options.ownGroup = true;
    pid_ = detail::Spawn(argv, options);
    // Reading ends once the process, and whatever it started, has closed the
    // pipe; the host's own copy must not keep it open.
    writeEnd.Reset();
    if (pid_ < 0) {
        return false;
    }

    UniqueFd processFd = OpenProcessFd(pid_);
    const bool limited = timeoutMs >= 0;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::milliseconds(limited ? timeoutMs : 0);
    char chunk[kChunkSize];
    bool running = true;
    auto readChunk = [&]() {
        ssize_t count = ::read(readEnd.get(), chunk, sizeof chunk);
        if (count > 0) {
            std::size_t length = static_cast<std::size_t>(count);
            // Each chunk is taken as zero-terminated text; its full length
            // still counts.
            output_.append(chunk, ::strnlen(chunk, length));
            byte_count_ += length;
        } else if (count == 0 || (errno != EINTR && errno != EAGAIN)) {
            readEnd.Reset();
        }
    };

    while (readEnd.valid() || running) {
        int waitMs = -1;
        if (limited) {
            auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            waitMs = static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
        }
        if (running && !processFd.valid()) {
            waitMs = waitMs < 0 ? kPollMs : std::min(waitMs, kPollMs);
        }
        pollfd fds[2];
        nfds_t count = 0;
        if (readEnd.valid()) {
            fds[count++] = {readEnd.get(), POLLIN, 0};
        }
        if (running && processFd.valid()) {
            fds[count++] = {processFd.get(), POLLIN, 0};
        }
        if (::poll(fds, count, waitMs) < 0 && errno != EINTR) {
            // The wait itself broke down: end the process rather than hang.
            KillGroup(pid_);
            detail::WaitForExit(pid_);
            pid_ = -1;
            return true;
        }
        if (readEnd.valid() && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            readChunk();
        }
        if (running) {
            int status = 0;
            pid_t ended = ::waitpid(pid_, &status, WNOHANG);
            if (ended == pid_) {
                exit_code_ = detail::ExitCodeOf(status);
                running = false;
            }
        }
        if (limited && Clock::now() >= deadline) {
            if (running) {
                // Stopped at its time limit: the exit code stays -1.
                KillGroup(pid_);
                detail::WaitForExit(pid_);
                running = false;
            }
            // Take what is already in the pipe; a descendant that escaped the
            // group cannot hold the call any longer.
            while (readEnd.valid()) {
                pollfd ready = {readEnd.get(), POLLIN, 0};
                if (::poll(&ready, 1, 0) <= 0) {
                    break;
                }
                readChunk();
            }
            readEnd.Reset();
        }
    }
    pid_ = -1;
    return true;
}

}  // namespace sw
