#include "core/process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include "core/log.h"
#include "core/temp_folder.h"

namespace sw {
namespace {

using Clock = std::chrono::steady_clock;
using test::ReadText;
using test::TempFolder;
using test::WriteText;

// Polls a condition for up to ten seconds.
bool Eventually(const std::function<bool()>& condition) {
    Clock::time_point end = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < end) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

// True while pid names a live (not yet reaped, not zombie) process.
bool IsAlive(pid_t pid) {
    std::string stat = ReadText("/proc/" + std::to_string(pid) + "/stat");
    std::size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

std::string MakeScript(const std::string& path, const std::string& body) {
    WriteText(path, "#!/bin/sh\n" + body);
    ::chmod(path.c_str(), 0755);
    return path;
}

TEST(ProcessRunnerTest, OutputLongerThanOneChunkArrivesWhole) {
    ProcessRunner runner;
    ASSERT_TRUE(
        runner.Run({"/bin/sh", "-c", "head -c 5000 /dev/zero | tr '\\000' x; echo err >&2"}, -1));
    EXPECT_EQ(runner.output(), std::string(5000, 'x') + "err\n");
    EXPECT_EQ(runner.byte_count(), 5004u);
    EXPECT_EQ(runner.exit_code(), 0);
}

TEST(ProcessRunnerTest, ChunkIsCutAtItsFirstZeroByte) {
    ProcessRunner runner;
    ASSERT_TRUE(runner.Run({"/bin/sh", "-c", "printf 'ab\\000cd'"}, -1));
    EXPECT_EQ(runner.output(), "ab");
    EXPECT_EQ(runner.byte_count(), 5u);
}

TEST(ProcessRunnerTest, ExitCodes) {
    struct Case {
        std::string script;
        int code;
    } cases[] = {{"exit 0", 0}, {"exit 3", 3}, {"exit 255", 255}, {"kill -9 $$", 128 + 9}};
    for (const Case& c : cases) {
        ProcessRunner runner;
        ASSERT_TRUE(runner.Run({"/bin/sh", "-c", c.script}, 5000)) << c.script;
        EXPECT_EQ(runner.exit_code(), c.code) << c.script;
    }
}

TEST(ProcessRunnerTest, NeverEndingProcessIsStoppedAtItsTimeLimit) {
    ProcessRunner runner;
    Clock::time_point start = Clock::now();
    // The shell's child holds the pipe too; it must end with the shell.
    ASSERT_TRUE(runner.Run({"/bin/sh", "-c", "echo begun; sleep 1000; echo never"}, 2000));
    auto elapsed = Clock::now() - start;
    EXPECT_EQ(runner.exit_code(), -1);
    EXPECT_EQ(runner.output(), "begun\n");
    EXPECT_GE(elapsed, std::chrono::milliseconds(1900));
    EXPECT_LT(elapsed, std::chrono::milliseconds(6000));
}

TEST(ProcessRunnerTest, MissingProgramIsNotStarted) {
    TempFolder dir;
    WriteText(dir / "not-executable", "data");
    for (const std::string& program :
         {std::string("/no/such/program"), std::string("no-such-program-anywhere"),
          dir / "not-executable", dir.path(), std::string()}) {
        ProcessRunner runner;
        EXPECT_FALSE(runner.Run({program}, 1000)) << program;
        EXPECT_EQ(runner.output(), "");
        EXPECT_EQ(runner.byte_count(), 0u);
        EXPECT_EQ(runner.exit_code(), -1);
    }
    ProcessRunner runner;
    EXPECT_FALSE(runner.Run({}, 1000));
}

TEST(ProcessRunnerTest, PathsWithBlanksAndChineseAreSingleArguments) {
    TempFolder dir;
    std::string tool =
        MakeScript(dir / "工具 folder/show args.sh", "for a in \"$@\"; do echo \"[$a]\"; done\n");
    ProcessRunner runner;
    ASSERT_TRUE(runner.Run({tool, dir / "主题 文件.zip", "two words", ""}, 5000));
    EXPECT_EQ(runner.output(), "[" + (dir / "主题 文件.zip") + "]\n[two words]\n[]\n");
}

TEST(ProcessRunnerTest, OnlyStandardDescriptorsReachTheChild) {
    TempFolder dir;
    WriteText(dir / "open.txt", "x");
    int leaky = ::open((dir / "open.txt").c_str(), O_RDONLY);  // no close-on-exec
    ASSERT_GE(leaky, 3);
    ProcessRunner runner;
    ASSERT_TRUE(runner.Run({"ls", "/proc/self/fd"}, 5000));
    ::close(leaky);
    // ls itself holds one descriptor for the listing.
    EXPECT_EQ(runner.output(), "0\n1\n2\n3\n");
}

TEST(ProcessRunnerTest, RunnerCanBeReused) {
    ProcessRunner runner;
    ASSERT_TRUE(runner.Run({"echo", "one"}, -1));
    EXPECT_FALSE(runner.Run({"/no/such/program"}, -1));
    EXPECT_EQ(runner.output(), "");
    ASSERT_TRUE(runner.Run({"echo", "two"}, -1));
    EXPECT_EQ(runner.output(), "two\n");
}

TEST(JoinCommandLineTest, WordsJoinedWithBlanks) {
    EXPECT_EQ(JoinCommandLine({"adb", "-s", "a b", "push"}), "adb -s a b push");
    EXPECT_EQ(JoinCommandLine({}), "");
}

class RunHiddenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetLogFilePath(dir_ / "runtime.log");
        ClearPackStop();
    }
    void TearDown() override {
        SetLogFilePath("");
        ClearPackStop();
    }
    TempFolder dir_;
};

TEST_F(RunHiddenTest, WaitGivesTheExitCode) {
    HiddenRunResult result = RunHidden({"/bin/sh", "-c", "exit 5"}, true);
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.exit_code, 5);
    HiddenRunResult missing = RunHidden({"no-such-program-anywhere"}, true);
    EXPECT_FALSE(missing.started);
    EXPECT_EQ(missing.exit_code, -1);
}

TEST_F(RunHiddenTest, ProcessNotWaitedForRunsAndIsReaped) {
    std::string mark = dir_ / "mark 标记";
    HiddenRunResult result = RunHidden({"/bin/sh", "-c", "echo done > \"$0\"", mark}, false);
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.exit_code, -1);
    EXPECT_TRUE(Eventually([&] { return ReadText(mark) == "done\n"; }));
    EXPECT_TRUE(Eventually([&] { return ::kill(result.pid, 0) != 0; })) << "left a zombie";
}

TEST_F(RunHiddenTest, StopPackToolsEndsOnlyPackTools) {
    HiddenRunResult other = RunHidden({"sleep", "1000"}, false);
    HiddenRunResult tool = RunHidden({"/bin/sh", "-c", "sleep 1000"}, false, true);
    ASSERT_TRUE(other.started);
    ASSERT_TRUE(tool.started);
    EXPECT_FALSE(PackStopRequested());
    StopPackTools();
    EXPECT_TRUE(PackStopRequested());
    EXPECT_TRUE(Eventually([&] { return ::kill(tool.pid, 0) != 0; }));
    EXPECT_TRUE(IsAlive(other.pid));
    EXPECT_NE(ReadText(dir_ / "runtime.log").find("\tDEBUG\tstop pack tools: 1\n"),
              std::string::npos);
    ::kill(other.pid, SIGKILL);
    EXPECT_TRUE(Eventually([&] { return ::kill(other.pid, 0) != 0; }));
    ClearPackStop();
    EXPECT_FALSE(PackStopRequested());
}

TEST_F(RunHiddenTest, StopPackToolsWithNoneRunningChangesNothing) {
    StopPackTools();
    EXPECT_NE(ReadText(dir_ / "runtime.log").find("\tDEBUG\tstop pack tools: 0\n"),
              std::string::npos);
}

TEST_F(RunHiddenTest, StopPackToolsEndsAWaitedTool) {
    std::atomic<int> exitCode{-2};
    std::thread worker([&] { exitCode = RunHidden({"sleep", "1000"}, true, true).exit_code; });
    EXPECT_TRUE(Eventually([&] {
        StopPackTools();
        return exitCode != -2;
    }));
    worker.join();
    EXPECT_EQ(exitCode, 128 + SIGKILL);
}

class OpenWithShellTest : public RunHiddenTest {
  protected:
    void SetUp() override {
        RunHiddenTest::SetUp();
        const char* path = std::getenv("PATH");
        savedPath_ = path != nullptr ? path : "";
    }
    void TearDown() override {
        ::setenv("PATH", savedPath_.c_str(), 1);
        RunHiddenTest::TearDown();
    }
    std::string savedPath_;
};

TEST_F(OpenWithShellTest, HandsTheTargetToXdgOpen) {
    MakeScript(dir_ / "bin/xdg-open", "printf '%s' \"$1\" > \"$(dirname \"$0\")/opened\"\n");
    ::setenv("PATH", (dir_ / "bin" + ":/usr/bin:/bin").c_str(), 1);
    std::string target = dir_ / "主题 文件夹";
    OpenWithShell(target);
    EXPECT_TRUE(Eventually([&] { return ReadText(dir_ / "bin/opened") == target; }));
}

TEST_F(OpenWithShellTest, MissingXdgOpenIsLogged) {
    std::filesystem::create_directories(dir_ / "empty");
    ::setenv("PATH", (dir_ / "empty").c_str(), 1);
    OpenWithShell("http://127.0.0.1:1/");
    EXPECT_NE(ReadText(dir_ / "runtime.log")
                  .find("\tWARN \txdg-open not found, cannot open http://127.0.0.1:1/\n"),
              std::string::npos);
}

}  // namespace
}  // namespace sw
