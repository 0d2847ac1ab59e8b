// The skinwright command line, run as a separate program.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "core/temp_folder.h"

namespace sw {
namespace {

using test::ReadText;
using test::TempFolder;

struct ProgramRun {
    bool ended = false;  // false when it was still running after the time limit
    int exit_code = -1;
    std::string out;
    std::string err;
};

// Runs the program with args; its standard output and error go to files in
// folder. A program still running after timeout is killed.
ProgramRun RunProgram(const std::vector<std::string>& args, const TempFolder& folder,
                      std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
    const std::string outPath = folder / "stdout.txt";
    const std::string errPath = folder / "stderr.txt";
    std::vector<std::string> words = {SKINWRIGHT_PROGRAM};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    ProgramRun run;
    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
            ::dup2(err, 2) < 0) {
            ::_exit(127);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (child < 0) {
        return run;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            run.out = ReadText(outPath);
            run.err = ReadText(errPath);
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    run.ended = true;
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = ReadText(outPath);
    run.err = ReadText(errPath);
    return run;
}

// A home folder whose log cannot be written (a folder stands in its place)
// does not stop a command: it works and says once that there is no log.
TEST(CommandLineTest, AnUnwritableLogDoesNotStopACommand) {
    TempFolder folder;
    std::filesystem::create_directories(folder / "home/runtime.log");
    const ProgramRun run = RunProgram(
        {"create", "--name", "unlogged", "--dir", folder / "projects", "--home", folder / "home"},
        folder);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(folder / "projects/unlogged/unlogged.wtpj"));
    const std::string said = "cannot write the log";
    const std::size_t first = run.err.find(said);
    EXPECT_NE(first, std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(said, first + 1), std::string::npos) << run.err;
}

// A word that names no command ends the program at once with the usage,
// so a script that calls it does not hang in an editor nobody sees.
TEST(CommandLineTest, AnUnknownCommandWordEndsWithTheUsage) {
    TempFolder folder;
    const std::vector<std::vector<std::string>> lines = {
        {"pakc"},
        {"pakc", "--home", folder / "home"},
        {"--home", folder / "home", "export", "theme.wtpj"},
        {"serve", "--no-browser", "pakc"},
        {"/Embedding", "upgrade"},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.front());
        const ProgramRun run = RunProgram(line, folder, std::chrono::seconds(20));
        ASSERT_TRUE(run.ended) << "the program did not end";
        EXPECT_EQ(run.exit_code, 2);
        EXPECT_NE(run.err.find("skinwright: unknown command "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("Usage:"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

// Start-up switches still pass: the registration forms end at once with 0.
TEST(CommandLineTest, StartUpSwitchesStillPass) {
    TempFolder folder;
    for (const char* word : {"/RegServer", "-unregserver"}) {
        const ProgramRun run = RunProgram({word, "--home", folder / "home"}, folder);
        ASSERT_TRUE(run.ended);
        EXPECT_EQ(run.exit_code, 0) << word << run.err;
    }
}

}  // namespace
}  // namespace sw
