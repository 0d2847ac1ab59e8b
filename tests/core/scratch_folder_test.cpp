#include "core/scratch_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <chrono>
#include <filesystem>
#include <thread>

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

}  // namespace
}  // namespace sw
