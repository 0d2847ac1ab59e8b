#include "core/log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

#include "core/paths.h"
#include "core/temp_folder.h"

namespace sw {
namespace {

// True when text holds a time stamp "YYYY-MM-DD hh:mm:ss" at position.
bool StampAt(const std::string& text, std::size_t position) {
    const std::string shape = "0000-00-00 00:00:00";
    if (position + shape.size() > text.size()) {
        return false;
    }
    for (std::size_t i = 0; i < shape.size(); ++i) {
        char c = text[position + i];
        if (shape[i] == '0' ? !std::isdigit(static_cast<unsigned char>(c)) : c != shape[i]) {
            return false;
        }
    }
    return true;
}

// The lines of a log: each must start with a time stamp and a tab; what
// follows is returned.
std::vector<std::string> LineBodies(const std::string& text) {
    std::vector<std::string> bodies;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_TRUE(StampAt(line, 0) && line.size() > 19 && line[19] == '\t') << line;
        bodies.push_back(line.size() > 20 ? line.substr(20) : "");
    }
    return bodies;
}

using test::ReadText;
using test::TempFolder;
using test::WriteText;

class LogTest : public ::testing::Test {
  protected:
    void SetUp() override { SetHomeFolder(home_.path()); }
    void TearDown() override {
        SetLogFilePath("");
        SetHomeFolder("");
    }
    TempFolder home_;
};

TEST_F(LogTest, DisabledUntilInitialisedAndCreatesNoFile) {
    SetLogFilePath("");
    EXPECT_EQ(LogInfo("too early\n"), -1);
    EXPECT_EQ(LogError("too early\n"), -1);
    EXPECT_FALSE(std::filesystem::exists(home_ / "runtime.log"));
}

TEST_F(LogTest, LinesCarryTimeStampTagAndMessage) {
    InitLogFile("runtime.log");
    EXPECT_EQ(GetLogFilePath(), home_ / "runtime.log");
    int written = LogDebug("d %d\n", 1);
    LogInfo("i %s\n", "two");
    LogWarn("w\n");
    LogError("e\n");
    std::string text = ReadText(home_ / "runtime.log");
    EXPECT_EQ(LineBodies(text),
              (std::vector<std::string>{"DEBUG\td 1", "INFO \ti two", "WARN \tw", "ERROR\te"}));
    EXPECT_EQ(text.back(), '\n');
    // 19 bytes of time stamp, two tabs, five of tag, then "d 1\n".
    EXPECT_EQ(written, 19 + 2 + 5 + 4);
}

TEST_F(LogTest, SecondStartEmptiesTheLog) {
    InitLogFile("runtime.log");
    LogInfo("first run\n");
    InitLogFile("runtime.log");
    LogInfo("second run\n");
    std::string text = ReadText(home_ / "runtime.log");
    EXPECT_EQ(text.find("first run"), std::string::npos);
    EXPECT_NE(text.find("second run"), std::string::npos);
}

TEST_F(LogTest, OnlyItsOwnerMayReadTheLog) {
    const auto modeOf = [](const std::string& path) {
        struct stat info {};
        EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
        return info.st_mode & 07777;
    };
    // A log made by a line, one made at start and one an earlier run left
    // readable by everyone.
    const std::string byLine = home_.path() + "/by-line.log";
    SetLogFilePath(byLine);
    EXPECT_GT(LogInfo("first\n"), 0);
    EXPECT_EQ(modeOf(byLine), 0600u);

    const std::string atStart = HomePath("runtime.log");
    WriteText(atStart, "old run\n");
    ASSERT_EQ(::chmod(atStart.c_str(), 0644), 0);
    InitLogFile("runtime.log");
    EXPECT_EQ(modeOf(atStart), 0600u);
    EXPECT_GT(LogInfo("second\n"), 0);
    EXPECT_EQ(LineBodies(ReadText(atStart)), std::vector<std::string>{"INFO \tsecond"});
}

TEST_F(LogTest, PageTextWithPercentSignIsWrittenLiterally) {
    InitLogFile("runtime.log");
    LogInfo("%s\n", "100% done %d %s");
    std::string text = ReadText(home_ / "runtime.log");
    EXPECT_NE(text.find("\tINFO \t100% done %d %s\n"), std::string::npos) << text;
}

TEST_F(LogTest, MessageWithoutLineEndRunsIntoNextPrefix) {
    InitLogFile("runtime.log");
    LogInfo("no end");
    LogInfo("next\n");
    std::string text = ReadText(home_ / "runtime.log");
    std::size_t end = text.find("\tINFO \tno end");
    ASSERT_NE(end, std::string::npos) << text;
    EXPECT_TRUE(StampAt(text, end + 13)) << text;
}

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// The program goes on without its log, and the user hears of it once.
TEST_F(LogTest, UnwritableLogReturnsMinusOneAndSaysSoOnce) {
    WriteText(home_ / "file", "x");
    std::filesystem::create_directories(home_ / "folder/runtime.log");
    for (const std::string& path : {home_ / "missing/runtime.log", home_ / "file/runtime.log",
                                    home_ / "folder/runtime.log"}) {
        ::testing::internal::CaptureStderr();
        SetLogFilePath(path);
        EXPECT_EQ(LogInfo("dropped\n"), -1) << path;
        EXPECT_EQ(LogError("dropped too\n"), -1) << path;
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(CountOf(said, "cannot write the log " + path), 1u) << said;
    }
    // InitLogFile says it as soon as the log cannot be emptied.
    SetHomeFolder(home_ / "folder");
    ::testing::internal::CaptureStderr();
    InitLogFile("runtime.log");
    EXPECT_EQ(LogWarn("dropped\n"), -1);
    EXPECT_EQ(CountOf(::testing::internal::GetCapturedStderr(), "cannot write the log"), 1u);
}

// Logs into a read-only folder and reports whether every call returned -1.
// The superuser writes anywhere, so it checks as an ordinary user in a child.
bool EveryCallFailsInReadOnlyFolder(const std::string& folder) {
    auto check = [&folder] {
        SetHomeFolder(folder);
        InitLogFile("runtime.log");
        return LogInfo("dropped\n") == -1 && LogError("dropped\n") == -1 &&
               !std::filesystem::exists(folder + "/runtime.log");
    };
    if (::geteuid() != 0) {
        return check();
    }
    pid_t child = ::fork();
    if (child == 0) {
        const uid_t nobody = 65534;
        bool dropped = ::setgid(nobody) == 0 && ::setuid(nobody) == 0;
        ::_exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

TEST_F(LogTest, ReadOnlyFolderReturnsMinusOne) {
    std::string folder = home_ / "readonly";
    ASSERT_EQ(::chmod(home_.path().c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(folder.c_str(), 0555), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    EXPECT_TRUE(EveryCallFailsInReadOnlyFolder(folder));
}

TEST_F(LogTest, TooLongHomeLeavesLoggingDisabled) {
    SetHomeFolder("/" + std::string(kPathCapacity, 'x'));
    InitLogFile("runtime.log");
    EXPECT_EQ(GetLogFilePath(), "");
    EXPECT_EQ(LogInfo("dropped\n"), -1);
}

TEST_F(LogTest, ConcurrentCallsLoseNoLine) {
    InitLogFile("runtime.log");
    constexpr int kThreads = 8;
    constexpr int kLines = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kLines; ++i) {
                LogInfo("thread %d line %d\n", t, i);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    std::vector<std::string> bodies = LineBodies(ReadText(home_ / "runtime.log"));
    EXPECT_EQ(bodies.size(), static_cast<std::size_t>(kThreads * kLines));
    std::vector<std::vector<bool>> seen(kThreads, std::vector<bool>(kLines, false));
    for (const std::string& body : bodies) {
        int t = -1, i = -1;
        ASSERT_EQ(std::sscanf(body.c_str(), "INFO \tthread %d line %d", &t, &i), 2) << body;
        ASSERT_TRUE(t >= 0 && t < kThreads && i >= 0 && i < kLines) << body;
        seen[t][i] = true;
    }
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kLines; ++i) {
            EXPECT_TRUE(seen[t][i]) << t << " " << i;
        }
    }
}

// Work done side by side on other threads reaches the log in the order the
// caller chooses; a hold that ends without Take() writes its lines itself.
TEST_F(LogTest, HeldLinesReachTheLogWhenWritten) {
    InitLogFile("runtime.log");
    std::vector<std::string> second;
    std::thread([&] {
        HeldLogLines held;
        LogError("second\n");
        second = held.Take();
    }).join();
    std::vector<std::string> first;
    std::thread([&] {
        HeldLogLines held;
        LogInfo("first\n");
        {
            HeldLogLines inner;
            LogWarn("inner\n");
        }
        first = held.Take();
    }).join();
    EXPECT_EQ(ReadText(home_ / "runtime.log"), "");
    LogInfo("before\n");
    {
        HeldLogLines outer;
        WriteLogLines(first);
        WriteLogLines(second);
        LogInfo("own\n");
    }
    {
        HeldLogLines dropped;
        LogInfo("dropped\n");
        dropped.Take();
    }
    EXPECT_EQ(LineBodies(ReadText(home_ / "runtime.log")),
              (std::vector<std::string>{"INFO \tbefore", "INFO \tfirst", "WARN \tinner",
                                        "ERROR\tsecond", "INFO \town"}));
}

TEST(FormatTimeStampTest, HasTheFixedLayout) {
    std::string stamp = FormatTimeStamp();
    EXPECT_EQ(stamp.size(), 19u);
    EXPECT_TRUE(StampAt(stamp, 0)) << stamp;
}

}  // namespace
}  // namespace sw
