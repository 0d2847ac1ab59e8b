// Many half-open connections at once, under a low limit of open files: the
// editor's own page, with its cookie, is still answered at once.
#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "harness.h"
#include "host/server.h"

namespace sw::host::test {
namespace {

// The number of descriptors this process has open.
int OpenDescriptors() {
    int count = 0;
    if (DIR* folder = ::opendir("/proc/self/fd")) {
        while (const dirent* entry = ::readdir(folder)) {
            count += entry->d_name[0] != '.';
        }
        ::closedir(folder);
        --count;  // the listing's own
    }
    return count;
}

// The soft open-file limit set for as long as the object lives.
class SoftFileLimit {
  public:
    explicit SoftFileLimit(rlim_t soft) {
        ::getrlimit(RLIMIT_NOFILE, &saved_);
        struct rlimit lowered = saved_;
        lowered.rlim_cur = soft;
        ::setrlimit(RLIMIT_NOFILE, &lowered);
    }
    SoftFileLimit(const SoftFileLimit&) = delete;
    SoftFileLimit& operator=(const SoftFileLimit&) = delete;
    ~SoftFileLimit() { ::setrlimit(RLIMIT_NOFILE, &saved_); }

  private:
    struct rlimit saved_ {};
};

// A process of its own that opens connections to the server, sends half a
// request header on each (no cookie) and keeps them open until it is
// killed. It runs only system calls: it is forked from a process with
// threads.
class HalfOpenFlood {
  public:
    HalfOpenFlood(unsigned short port, int connections) {
        int ready[2];
        if (::pipe(ready) != 0) {
            return;
        }
        child_ = ::fork();
        if (child_ == 0) {
            ::close(ready[0]);
            struct rlimit limit {};
            ::getrlimit(RLIMIT_NOFILE, &limit);
            limit.rlim_cur = limit.rlim_max;
            ::setrlimit(RLIMIT_NOFILE, &limit);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_port = htons(port);
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            static const char kHalf[] = "GET /page/104 HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: ";
            int opened = 0;
            for (int i = 0; i < connections; ++i) {
                const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
                if (fd < 0 ||
                    ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) !=
                        0 ||
                    ::write(fd, kHalf, sizeof kHalf - 1) < 0) {
                    break;
                }
                ++opened;
            }
            const char done = opened == connections ? 'y' : 'n';
            if (::write(ready[1], &done, 1) != 1) {
                ::_exit(1);
            }
            for (;;) {
                ::pause();
            }
        }
        ::close(ready[1]);
        pollfd waiting{ready[0], POLLIN, 0};
        char done = 0;
        if (child_ > 0 && ::poll(&waiting, 1, 60000) == 1 && ::read(ready[0], &done, 1) == 1) {
            all_open_ = done == 'y';
        }
        ::close(ready[0]);
    }
    HalfOpenFlood(const HalfOpenFlood&) = delete;
    HalfOpenFlood& operator=(const HalfOpenFlood&) = delete;
    ~HalfOpenFlood() {
        if (child_ > 0) {
            ::kill(child_, SIGKILL);
            int status = 0;
            ::waitpid(child_, &status, 0);
        }
    }

    bool all_open() const { return all_open_; }

  private:
    pid_t child_ = -1;
    bool all_open_ = false;
};

struct Answer {
    unsigned status = 0;
    std::chrono::steady_clock::duration took{};
};

// Waits up to the deadline for fd to be ready for events.
bool WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd waiting{fd, events, 0};
    return left.count() > 0 && ::poll(&waiting, 1, static_cast<int>(left.count())) == 1;
}

// The status of a request with the cookie on a socket made beforehand (the
// flood may leave this process no descriptor to make one); 0 when no answer
// came within 5 s.
Answer AskWithCookie(int fd, unsigned short port, const std::string& cookie) {
    Answer answer;
    const auto started = std::chrono::steady_clock::now();
    const auto deadline = started + std::chrono::seconds(5);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const std::string request =
        "GET /page/104 HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
        "\r\nCookie: " + cookie + "\r\nConnection: close\r\n\r\n";
    std::string reply;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::write(fd, request.data(), request.size()) == static_cast<ssize_t>(request.size())) {
        char piece[4096];
        while (reply.find("\r\n") == std::string::npos && WaitFor(fd, POLLIN, deadline)) {
            const ssize_t got = ::read(fd, piece, sizeof piece);
            if (got <= 0) {
                break;
            }
            reply.append(piece, static_cast<std::size_t>(got));
        }
    }
    answer.took = std::chrono::steady_clock::now() - started;
    // "HTTP/1.1 200 OK"
    if (reply.size() > 12 && reply.compare(0, 5, "HTTP/") == 0) {
        answer.status = static_cast<unsigned>(std::atoi(reply.c_str() + 9));
    }
    return answer;
}

// A plain socket, closed when it goes.
class Socket {
  public:
    Socket() : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {}
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int fd() const { return fd_; }

  private:
    int fd_;
};

TEST(ServerFloodTest, TheSoftOpenFileLimitIsRaisedToTheHardOne) {
    struct rlimit limit {};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    if (limit.rlim_max < 256) {
        GTEST_SKIP() << "the hard limit is too low to lower the soft one";
    }
    const SoftFileLimit low(limit.rlim_max / 2);
    EXPECT_TRUE(RaiseOpenFileLimit());
    struct rlimit raised {};
    ::getrlimit(RLIMIT_NOFILE, &raised);
    EXPECT_EQ(raised.rlim_cur, limit.rlim_max);
}

// 1100 connections that each send half a header used to freeze the editor
// until every one was gone: the acceptor spun on "too many open files" and
// the editor's connection waited behind the others.
TEST(ServerFloodTest, TheEditorsPageIsAnsweredDuringAFloodOfHalfOpenConnections) {
    struct Case {
        const char* name;
        int spare;  // descriptors left free for the server under the low limit
    };
    const Case cases[] = {{"a few descriptors to spare", 40}, {"many to spare", 300}};
    // 1100 connections, or as many as the flooding process may open.
    struct rlimit limit {};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    const int connections =
        static_cast<int>(std::min<rlim_t>(1100, limit.rlim_max > 100 ? limit.rlim_max - 100 : 0));
    if (connections < 400) {
        GTEST_SKIP() << "the open-file limit is too low to flood the server";
    }
    for (const Case& c : cases) {
        HostHarness harness;
        const std::string cookie = harness.cookie();
        Answer answer;
        {
            const Socket editor;
            ASSERT_GE(editor.fd(), 0);
            const SoftFileLimit low(static_cast<rlim_t>(OpenDescriptors() + c.spare));
            const HalfOpenFlood flood(harness.port(), connections);
            ASSERT_TRUE(flood.all_open()) << c.name;
            answer = AskWithCookie(editor.fd(), harness.port(), cookie);
        }
        EXPECT_EQ(answer.status, 200u) << c.name;
        EXPECT_LT(answer.took, std::chrono::seconds(1)) << c.name;
        EXPECT_TRUE(harness.WaitForLog("have not shown the session cookie")) << c.name;
    }
}

// The process's processor time, user and system, of every thread.
std::chrono::microseconds ProcessorTime() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto of = [](const timeval& time) {
        return std::chrono::seconds(time.tv_sec) + std::chrono::microseconds(time.tv_usec);
    };
    return of(usage.ru_utime) + of(usage.ru_stime);
}

// With every descriptor taken by something else, connections wait in the
// queue: the acceptor waits too instead of failing again at once (it spun a
// core before), and answers the editor as soon as descriptors are free.
TEST(ServerFloodTest, TheServerWaitsWhenTheDescriptorsRunOut) {
    HostHarness harness;
    const std::string cookie = harness.cookie();
    // The sanitizers probe memory through a pipe when they first check an
    // object of a kind, and take a failed pipe for a fault: every kind of
    // connection is made, answered and ended once before the descriptors run
    // out, and given time to go.
    ASSERT_EQ(harness.Get("/page/104").status, 200u);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const Socket editor;
    const Socket stranger;
    ASSERT_GE(editor.fd(), 0);
    ASSERT_GE(stranger.fd(), 0);
    Answer answer;
    {
        const SoftFileLimit low(static_cast<rlim_t>(OpenDescriptors() + 8));
        std::vector<int> taken;
        for (int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC); fd >= 0;
             fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) {
            taken.push_back(fd);
        }
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(harness.port());
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(
            ::connect(stranger.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address),
            0);
        // Nothing here may open a file until the descriptors are given back.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const auto before = ProcessorTime();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const auto spent = ProcessorTime() - before;
        EXPECT_LT(spent, std::chrono::milliseconds(300)) << "the acceptor spins";
        for (const int fd : taken) {
            ::close(fd);
        }
        answer = AskWithCookie(editor.fd(), harness.port(), cookie);
    }
    EXPECT_EQ(answer.status, 200u);
    EXPECT_LT(answer.took, std::chrono::seconds(1));
}

// A connection that sends half a request header and waits is closed after
// a few seconds (it used to hold its descriptor for a minute), and so is a
// kept connection that begins its next request and stops.
TEST(ServerFloodTest, AHalfSentHeaderIsCutOffAfterAFewSeconds) {
    HostHarness harness;
    const std::string cookie = harness.cookie();
    const std::string whole =
        "GET /page/104 HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(harness.port()) +
        "\r\nCookie: " + cookie + "\r\n\r\n";
    const std::string half = "GET /page/104 HTTP/1.1\r\nHost: 127.0.0.1";
    struct Case {
        const char* name;
        std::string first;  // sent before the half header
    };
    const Case cases[] = {{"first request", ""}, {"after an answered request", whole}};
    for (const Case& c : cases) {
        const Socket client;
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(harness.port());
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(
            ::connect(client.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        const std::string sent = c.first + half;
        ASSERT_EQ(::write(client.fd(), sent.data(), sent.size()),
                  static_cast<ssize_t>(sent.size()));
        // Whatever the server answers is read until it closes the connection.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        bool closed = false;
        char piece[4096];
        while (!closed && WaitFor(client.fd(), POLLIN, deadline)) {
            closed = ::read(client.fd(), piece, sizeof piece) <= 0;
        }
        EXPECT_TRUE(closed) << c.name;
    }
}

}  // namespace
}  // namespace sw::host::test
