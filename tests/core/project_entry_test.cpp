#include "core/project_entry.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "core/files.h"
#include "core/log.h"
#include "core/temp_folder.h"

namespace sw {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::TempFolder;
using test::WriteText;

// A project folder beside a folder of "someone else's" files, holding one
// entry of every kind a received project may bring.
class HostileProject : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = outer_ / "project";
        WriteText(outer_ / "secret.txt", "password");
        fs::create_directories(outer_ / "elsewhere");
        WriteText(outer_ / "elsewhere/inner.txt", "elsewhere");
        WriteText(root_ + "/launcher/plain.txt", "plain");
        fs::create_directories(root_ + "/launcher/folder");
        ASSERT_EQ(::mkfifo((root_ + "/launcher/pipe").c_str(), 0644), 0);
        fs::create_symlink("plain.txt", root_ + "/launcher/inside");
        fs::create_symlink("folder", root_ + "/launcher/inside_folder");
        fs::create_symlink(outer_ / "secret.txt", root_ + "/launcher/absolute_out");
        fs::create_symlink("../../secret.txt", root_ + "/launcher/relative_out");
        fs::create_symlink(outer_ / "elsewhere", root_ + "/launcher/folder_out");
        fs::create_symlink("gone.txt", root_ + "/launcher/broken");
        fs::create_symlink("../../gone.txt", root_ + "/launcher/broken_out");
        fs::create_symlink("pipe", root_ + "/launcher/to_pipe");
        WriteText(root_ + "/.git/hidden_pipe_parent/x", "");
        ASSERT_EQ(::mkfifo((root_ + "/.git/pipe").c_str(), 0644), 0);
    }

    std::string At(const std::string& name) const { return root_ + "/launcher/" + name; }

    TempFolder outer_;
    std::string root_;
};

TEST_F(HostileProject, ClassifiesEveryKindOfEntry) {
    struct Case {
        std::string name;
        EntryKind kind;
    } cases[] = {
        {"plain.txt", EntryKind::kFile},
        {"folder", EntryKind::kFolder},
        {"pipe", EntryKind::kSpecial},
        {"inside", EntryKind::kLinkInside},
        {"inside_folder", EntryKind::kLinkInside},
        {"absolute_out", EntryKind::kLinkOutside},
        {"relative_out", EntryKind::kLinkOutside},
        {"folder_out", EntryKind::kLinkOutside},
        {"folder_out/inner.txt", EntryKind::kLinkOutside},
        {"broken", EntryKind::kBrokenLink},
        {"broken_out", EntryKind::kLinkOutside},
        {"to_pipe", EntryKind::kSpecial},
        {"missing", EntryKind::kMissing},
        // Names that are no plain names, and ways through linked folders.
        {"folder/.", EntryKind::kFolder},
        {"folder/..", EntryKind::kFolder},
        {"inside_folder/../plain.txt", EntryKind::kFile},
        {"folder_out/../secret.txt", EntryKind::kLinkOutside},
    };
    for (const Case& c : cases) {
        const ProjectEntry entry = ClassifyProjectEntry(root_, At(c.name));
        EXPECT_EQ(entry.kind, c.kind) << c.name;
        EXPECT_EQ(IsReadableEntry(entry), c.kind == EntryKind::kFile ||
                                              c.kind == EntryKind::kFolder ||
                                              c.kind == EntryKind::kLinkInside)
            << c.name;
    }
    EXPECT_TRUE(ClassifyProjectEntry(root_, At("inside_folder")).leads_to_folder);
    EXPECT_EQ(ClassifyProjectEntry(root_, root_).kind, EntryKind::kFolder);
    EXPECT_EQ(RefusalReason(ClassifyProjectEntry(root_, At("pipe"))), "a FIFO, not a regular file");
    EXPECT_EQ(RefusalReason(ClassifyProjectEntry(root_, At("absolute_out"))),
              "a link to " + (outer_ / "secret.txt") + ", outside the project");
}

TEST_F(HostileProject, FindsEveryRefusedEntryButPassesOverDotNames) {
    std::vector<std::string> found;
    for (const RefusedEntry& refused : FindRefusedEntries(root_)) {
        found.push_back(refused.relative_path);
    }
    EXPECT_EQ(found, (std::vector<std::string>{"launcher/absolute_out", "launcher/broken",
                                               "launcher/broken_out", "launcher/folder_out",
                                               "launcher/pipe", "launcher/relative_out",
                                               "launcher/to_pipe"}));
}

TEST_F(HostileProject, ReadsOnlyRegularFilesInsideTheRootAndNamesWhatItRefuses) {
    SetLogFilePath(outer_ / "runtime.log");
    struct Case {
        std::string name;
        bool readable;
    } cases[] = {
        {"plain.txt", true},
        {"inside", true},
        {"pipe", false},
        {"to_pipe", false},
        {"absolute_out", false},
        {"relative_out", false},
        {"folder_out/inner.txt", false},
        {"folder", false},
        {"missing", false},
    };
    for (const Case& c : cases) {
        std::string text;
        EXPECT_EQ(ReadFileText(At(c.name), text, root_), c.readable) << c.name;
        EXPECT_EQ(text, c.readable ? "plain" : "") << c.name;
    }
    const std::string log = ReadText(outer_ / "runtime.log");
    EXPECT_NE(log.find(At("pipe") + " is not read: it is a FIFO, not a regular file"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find(At("absolute_out") + " is not read: it is a link to"), std::string::npos)
        << log;
    EXPECT_EQ(log.find(At("missing")), std::string::npos) << log;
    SetLogFilePath("");
}

TEST_F(HostileProject, WithoutARootLinksAreFollowedButAFifoIsStillRefused) {
    std::string text;
    EXPECT_TRUE(ReadFileText(At("absolute_out"), text));
    EXPECT_EQ(text, "password");
    EXPECT_FALSE(ReadFileText(At("pipe"), text));
    EXPECT_FALSE(ReadFileText(At("to_pipe"), text));
}

TEST_F(HostileProject, CopiesRefuseAFifoAndALinkOutOfTheRoot) {
    EXPECT_FALSE(CopyFileAtomic(At("pipe"), outer_ / "copy1"));
    EXPECT_FALSE(CopyFileAtomic(At("absolute_out"), outer_ / "copy2", root_));
    EXPECT_TRUE(CopyFileAtomic(At("inside"), outer_ / "copy3", root_));
    EXPECT_FALSE(fs::exists(outer_ / "copy1"));
    EXPECT_FALSE(fs::exists(outer_ / "copy2"));
    EXPECT_EQ(ReadText(outer_ / "copy3"), "plain");
    // A folder copy stops at the FIFO instead of waiting on it.
    EXPECT_FALSE(CopyFolder(root_ + "/launcher", outer_ / "copied"));
}

TEST(ProjectEntryTest, ASocketIsRefused) {
    TempFolder folder;
    const std::string path = folder / "socket";
    UniqueFd listener(::socket(AF_UNIX, SOCK_STREAM, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(ClassifyProjectEntry(folder.path(), path).special_name, "a socket");
    EXPECT_FALSE(OpenFileForReading(path, folder.path()).valid());
    EXPECT_FALSE(OpenFileForReading("/dev/null").valid());
}

TEST(ProjectEntryTest, ReadOpenFileKeepsToItsLimit) {
    TempFolder folder;
    WriteText(folder / "ten", "0123456789");
    std::string text;
    EXPECT_TRUE(ReadOpenFile(OpenFileForReading(folder / "ten").get(), text, 10));
    EXPECT_EQ(text, "0123456789");
    EXPECT_FALSE(ReadOpenFile(OpenFileForReading(folder / "ten").get(), text, 9));
    EXPECT_EQ(text, "");
}

}  // namespace
}  // namespace sw
