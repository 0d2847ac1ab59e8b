#include "core/scratch_folder.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <filesystem>
#include <set>
#include <thread>
#include <vector>

#include "core/log.h"
#include "core/paths.h"
#include "core/temp_folder.h"

namespace sw {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::TempFolder;
using test::WriteText;

// A home folder that may also hold the user's own files.
class ScratchFolderTest : public ::testing::Test {
  protected:
    void SetUp() override { SetLogFilePath(home_ / "runtime.log"); }
    void TearDown() override { SetLogFilePath(""); }

    std::string Log() const { return ReadText(home_ / "runtime.log"); }

    TempFolder home_;
};

TEST_F(ScratchFolderTest, MissingFolderIsMadeMarkedAndEmpty) {
    const std::string tmp = home_ / "deep/tmp";
    EXPECT_TRUE(EmptyScratchFolder(tmp));
    EXPECT_TRUE(fs::is_directory(tmp));
    EXPECT_TRUE(fs::is_empty(tmp)) << "the mark sits beside the folder, never in it";
    EXPECT_TRUE(IsOwnScratchFolder(tmp));
    EXPECT_EQ(ScratchMarkPath(tmp), home_ / "deep/.tmp.skinwright");
    EXPECT_EQ(Log(), "");
}

TEST_F(ScratchFolderTest, OwnFolderLosesEverythingInsideAndKeepsItsMark) {
    const std::string tmp = home_ / "tmp";
    ASSERT_TRUE(MakeScratchFolder(tmp));
    TempFolder outside;
    WriteText(outside / "keep.txt", "keep");
    WriteText(tmp + "/ABCDEFGHIJ/demo/launcher/a.png", "a");
    WriteText(tmp + "/.hidden", "h");
    WriteText(tmp + "/file", "f");
    fs::create_directory_symlink(outside.path(), tmp + "/link");

    EXPECT_TRUE(EmptyScratchFolder(tmp));
    EXPECT_TRUE(fs::is_empty(tmp));
    EXPECT_TRUE(IsOwnScratchFolder(tmp));
    EXPECT_EQ(ReadText(outside / "keep.txt"), "keep") << "a link is removed, not followed";
}

// The folder at the scratch path that the program must leave alone, made by
// each case in an empty home folder.
struct ForeignFolder {
    const char* name;
    void (*make)(const TempFolder& home, const std::string& tmp);
};

const ForeignFolder kForeignFolders[] = {
    {"the user's own folder of that name",
     [](const TempFolder&, const std::string& tmp) { fs::create_directory(tmp); }},
    {"a new folder where the program's was deleted",
     [](const TempFolder&, const std::string& tmp) {
         ASSERT_TRUE(MakeScratchFolder(tmp));
         fs::remove(tmp);
         // The new folder often gets the old one's inode number; its birth
         // time tells them apart, kept at the resolution of a clock tick.
         std::this_thread::sleep_for(std::chrono::milliseconds(30));
         fs::create_directory(tmp);
     }},
    {"a mark that names another folder",
     [](const TempFolder& home, const std::string& tmp) {
         ASSERT_TRUE(MakeScratchFolder(home / "themetool"));
         fs::create_directory(tmp);
         fs::copy_file(home / ".themetool.skinwright", home / ".tmp.skinwright");
     }},
    {"a link to a folder",
     [](const TempFolder& home, const std::string& tmp) {
         fs::create_directory(home / "elsewhere");
         fs::create_directory_symlink(home / "elsewhere", tmp);
     }},
    {"a mark that is not one",
     [](const TempFolder& home, const std::string& tmp) {
         fs::create_directory(tmp);
         WriteText(home / ".tmp.skinwright", "skinwright scratch folder\n");
     }},
};

TEST_F(ScratchFolderTest, FolderTheProgramDidNotMakeIsLeftAlone) {
    for (const ForeignFolder& c : kForeignFolders) {
        TempFolder home;
        SetLogFilePath(home / "runtime.log");
        const std::string tmp = home / "tmp";
        c.make(home, tmp);
        WriteText(tmp + "/mine/thesis.txt", "years of work");

        EXPECT_FALSE(IsOwnScratchFolder(tmp)) << c.name;
        EXPECT_FALSE(EmptyScratchFolder(tmp)) << c.name;
        EXPECT_FALSE(MakeScratchFolder(tmp)) << c.name;
        EXPECT_EQ(ReadText(tmp + "/mine/thesis.txt"), "years of work") << c.name;
        EXPECT_NE(ReadText(home / "runtime.log").find("\tWARN \t" + tmp + " was not made by"),
                  std::string::npos)
            << c.name;
    }
}

TEST_F(ScratchFolderTest, UndeletableEntryIsReportedAndTheRestGoes) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "the superuser deletes from a read-only folder";
    }
    const std::string tmp = home_ / "tmp";
    ASSERT_TRUE(MakeScratchFolder(tmp));
    WriteText(tmp + "/locked/file", "x");
    WriteText(tmp + "/loose", "x");
    fs::permissions(tmp + "/locked", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(EmptyScratchFolder(tmp));
    EXPECT_FALSE(fs::exists(tmp + "/loose"));
    EXPECT_NE(Log().find("\tWARN \tcannot delete " + tmp + "/locked"), std::string::npos);
    fs::permissions(tmp + "/locked", fs::perms::owner_all);
}

TEST_F(ScratchFolderTest, BothScratchFoldersOfTheHomeFolderAreEmptied) {
    SetHomeFolder(home_.path());
    ASSERT_TRUE(MakeScratchFolder(PackWorkFolder()));
    WriteText(PackWorkFolder() + "/ABCDEFGHIJ/x", "x");
    fs::create_directory(PushStagingFolder());
    WriteText(PushStagingFolder() + "/mine.txt", "mine");
    EmptyScratchFolders();
    EXPECT_TRUE(fs::is_empty(PackWorkFolder()));
    EXPECT_EQ(ReadText(PushStagingFolder() + "/mine.txt"), "mine");
    SetHomeFolder("");
}

// Work folders

TEST_F(ScratchFolderTest, WorkFolderIsFreshLockedAndGoesWithItsOwner) {
    const std::string area = home_ / "tmp";
    std::string path;
    {
        const ScratchFolder work = ScratchFolder::Make(area);
        ASSERT_TRUE(work.valid());
        path = work.path();
        EXPECT_EQ(fs::path(path).parent_path(), area);
        EXPECT_EQ(fs::path(path).filename().string().size(), 10u);
        EXPECT_TRUE(fs::is_directory(path));
        EXPECT_TRUE(fs::is_empty(path)) << "the lock sits beside the folder, never in it";
        EXPECT_TRUE(fs::is_regular_file(ScratchLockPath(path)));
        EXPECT_TRUE(IsOwnScratchFolder(area));
        WriteText(path + "/deep/file", "x");
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(fs::is_empty(area)) << "the lock file goes with its folder";
}

// Two runs started in the same second used to share one work folder.
TEST_F(ScratchFolderTest, WorkFoldersMadeAtOnceAreAllDifferent) {
    const std::string area = home_ / "tmp";
    std::vector<ScratchFolder> folders(64);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        threads.emplace_back([&, i] { folders[i] = ScratchFolder::Make(area); });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    std::set<std::string> paths;
    for (const ScratchFolder& folder : folders) {
        ASSERT_TRUE(folder.valid()) << Log();
        paths.insert(folder.path());
    }
    EXPECT_EQ(paths.size(), folders.size());
}

TEST_F(ScratchFolderTest, WorkFolderIsNotMadeInAFolderTheProgramDidNotMake) {
    const std::string area = home_ / "tmp";
    WriteText(area + "/mine.txt", "mine");
    const ScratchFolder work = ScratchFolder::Make(area);
    EXPECT_FALSE(work.valid());
    EXPECT_EQ(work.path(), "");
    EXPECT_EQ(ReadText(area + "/mine.txt"), "mine");
    EXPECT_NE(Log().find("\tERROR\tcannot use the scratch folder " + area), std::string::npos);
}

TEST_F(ScratchFolderTest, EmptyingPassesOverWorkFoldersInUse) {
    const std::string area = home_ / "tmp";
    const ScratchFolder busy = ScratchFolder::Make(area);
    ASSERT_TRUE(busy.valid());
    WriteText(busy.path() + "/launcher/a.png", "a");
    std::string left;
    {
        const ScratchFolder done = ScratchFolder::Make(area);
        left = done.path();
    }
    WriteText(left + "/stale", "s");  // a folder its run left, lock released

    EXPECT_TRUE(EmptyScratchFolder(area));
    EXPECT_EQ(ReadText(busy.path() + "/launcher/a.png"), "a");
    EXPECT_TRUE(fs::exists(ScratchLockPath(busy.path())));
    EXPECT_FALSE(fs::exists(left));
    EXPECT_FALSE(fs::exists(ScratchLockPath(left)));
    EXPECT_NE(Log().find("\tINFO \t" + busy.path() + " is in use"), std::string::npos);
}

// A child process that makes a work folder, reports its path and then waits
// to be killed: a run of the program that was killed while it worked.
pid_t StartHolder(const std::string& area, std::string& path) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        ScratchFolder work = ScratchFolder::Make(area);
        const std::string line = work.path() + "\n";
        if (::write(pipeEnds[1], line.data(), line.size()) < 0) {
            ::_exit(2);
        }
        ::pause();
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    char buffer[4096];
    ssize_t got = 0;
    while (child > 0 && path.find('\n') == std::string::npos &&
           (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
        path.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipeEnds[0]);
    if (!path.empty()) {
        path.pop_back();
    }
    return child;
}

TEST_F(ScratchFolderTest, AnotherRunsWorkFolderIsLeftUntilThatRunIsKilled) {
    const std::string area = home_ / "themetool";
    ASSERT_TRUE(MakeScratchFolder(area));
    std::string path;
    const pid_t holder = StartHolder(area, path);
    ASSERT_GT(holder, 0);
    ASSERT_TRUE(fs::is_directory(path)) << path;
    WriteText(path + "/meta.json", "{}");

    EXPECT_TRUE(EmptyScratchFolder(area));
    EXPECT_EQ(ReadText(path + "/meta.json"), "{}") << "another run's push is never emptied";

    ::kill(holder, SIGKILL);
    int status = 0;
    ::waitpid(holder, &status, 0);
    ASSERT_TRUE(fs::exists(path)) << "a killed run cleans nothing up";
    EXPECT_TRUE(EmptyScratchFolder(area));
    EXPECT_FALSE(fs::exists(path)) << "the killed run's lock died with it";
    EXPECT_TRUE(fs::is_empty(area));
}

TEST_F(ScratchFolderTest, LockFilesWithoutTheirFolderAreRemovedUnlessHeld) {
    const std::string area = home_ / "tmp";
    ASSERT_TRUE(MakeScratchFolder(area));
    WriteText(area + "/.ORPHANEDAB.lock", "");
    const ScratchFolder busy = ScratchFolder::Make(area);
    fs::remove(busy.path());  // removed by hand while its work runs

    EXPECT_TRUE(EmptyScratchFolder(area));
    EXPECT_FALSE(fs::exists(area + "/.ORPHANEDAB.lock"));
    EXPECT_TRUE(fs::exists(ScratchLockPath(busy.path())));
}

}  // namespace
}  // namespace sw
