#include "core/files.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "core/flush_together.h"
#include "core/log.h"
#include "core/paths.h"
#include "core/temp_folder.h"

namespace sw {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::TempFolder;
using test::WriteText;

TEST(PathsTest, FileNameAndFolderCutAtLastSlash) {
    struct Case {
        std::string path, name, folder;
    } cases[] = {
        {"/a/b/c.txt", "c.txt", "/a/b"},
        {"c.txt", "c.txt", "c.txt"},
        {"/a/b/", "", "/a/b"},
        {"", "", ""},
        {"/x", "x", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileNameOf(c.path), c.name) << c.path;
        EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
    }
}

TEST(PathsTest, DataFolderIsBesideTheProgramOrInstalledBesideItsBin) {
    TempFolder build, prefix;
    fs::create_directories(build / "template");
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "share/skinwright/template");
    EXPECT_EQ(DataFolderFor(build.path()), build.path());
    EXPECT_EQ(DataFolderFor(prefix / "bin"), prefix / "share/skinwright");

    SetDataFolder("");
    std::string exe = fs::read_symlink("/proc/self/exe").string();
    EXPECT_EQ(ExePath(), DataFolderFor(FolderOf(exe)));
    EXPECT_EQ(ExePath("template"), DataFolderFor(FolderOf(exe)) + "/template");
}

// Sets or unsets environment variables for one scope and restores them.
class ScopedEnvironment {
  public:
    void Set(const char* name, const char* value) {
        const char* old = std::getenv(name);
        saved_.push_back({name, old != nullptr, old != nullptr ? old : ""});
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->was_set) {
                ::setenv(it->name.c_str(), it->value.c_str(), 1);
            } else {
                ::unsetenv(it->name.c_str());
            }
        }
    }

  private:
    struct Saved {
        std::string name;
        bool was_set;
        std::string value;
    };
    std::vector<Saved> saved_;
};

TEST(PathsTest, HomeOptionKeepsAllInOneFolderElseTheXdgFoldersDecide) {
    // "T" stands for a temporary folder; "-" leaves a variable unset.
    struct Case {
        const char* home_option;
        const char* skinwright_home;
        const char* xdg_state;
        const char* xdg_cache;
        const char* state;  // runtime.log and iconNames.xml
        const char* cache;  // tmp and themetool
        const char* work;   // new projects
    } cases[] = {
        {"T/opt", "-", "T/xs", "T/xc", "T/opt", "T/opt", "T/opt/work"},
        {"T/opt", "T/env", "-", "-", "T/opt", "T/opt", "T/opt/work"},
        {"", "T/env", "T/xs", "T/xc", "T/env", "T/env", "T/env/work"},
        {"", "-", "-", "-", "T/user/.local/state/skinwright", "T/user/.cache/skinwright",
         "T/user/Skinwright"},
        {"", "-", "T/xs", "T/xc/", "T/xs/skinwright", "T/xc/skinwright", "T/user/Skinwright"},
        {"", "", "", "", "T/user/.local/state/skinwright", "T/user/.cache/skinwright",
         "T/user/Skinwright"},
        // Relative XDG folders are ignored.
        {"", "-", "xs", "xc", "T/user/.local/state/skinwright", "T/user/.cache/skinwright",
         "T/user/Skinwright"},
    };
    TempFolder t;
    auto in = [&t](const std::string& text) {
        return text.starts_with("T/") ? t.path() + text.substr(1) : text;
    };
    SetDataFolder(t / "data");
    for (const Case& c : cases) {
        const std::string row = std::string(c.home_option) + " " + c.skinwright_home + " " +
                                c.xdg_state + " " + c.xdg_cache;
        ScopedEnvironment environment;
        environment.Set("HOME", (t / "user").c_str());
        for (auto [name, value] : {std::pair{"SKINWRIGHT_HOME", in(c.skinwright_home)},
                                   std::pair{"XDG_STATE_HOME", in(c.xdg_state)},
                                   std::pair{"XDG_CACHE_HOME", in(c.xdg_cache)}}) {
            environment.Set(name, value == "-" ? nullptr : value.c_str());
        }
        SetHomeFolder(in(c.home_option));
        EXPECT_EQ(HomePath(), in(c.state)) << row;
        EXPECT_EQ(HomePath("runtime.log"), in(c.state) + "/runtime.log") << row;
        EXPECT_EQ(IconNamesFile(), in(c.state) + "/iconNames.xml") << row;
        EXPECT_EQ(PackWorkFolder(), in(c.cache) + "/tmp") << row;
        EXPECT_EQ(PushStagingFolder(), in(c.cache) + "/themetool") << row;
        EXPECT_EQ(WorkFolder(), in(c.work)) << row;
        EXPECT_EQ(ExePath(), t / "data") << row << ": the data folder never moves";
    }
    SetHomeFolder("");
    SetDataFolder("");
}

TEST(PathsTest, WithoutHomeVariableThePasswordEntryNamesTheUsersFolder) {
    ScopedEnvironment environment;
    for (const char* name : {"HOME", "SKINWRIGHT_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"}) {
        environment.Set(name, nullptr);
    }
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    const std::string user = fs::path(entry->pw_dir).lexically_normal().string();
    EXPECT_EQ(HomePath("runtime.log"), user + "/.local/state/skinwright/runtime.log");
    EXPECT_EQ(WorkFolder(), user + "/Skinwright");
}

TEST(PathsTest, PathOverCapacityIsRefusedAndLogged) {
    TempFolder home;
    SetHomeFolder(home.path());
    SetLogFilePath(home / "log");
    std::string name(kPathCapacity, 'n');
    EXPECT_EQ(HomePath(name), "");
    EXPECT_NE(ReadText(home / "log").find("\tERROR\tpath of "), std::string::npos);
    EXPECT_EQ(HomePath(name.substr(0, kPathCapacity - home.path().size() - 1)).size(),
              kPathCapacity);
    SetLogFilePath("");
    SetHomeFolder("");
}

TEST(CopyPathTest, SameTextIsSuccessWithoutCopy) {
    TempFolder dir;
    WriteText(dir / "a.txt", "a");
    ::chmod((dir / "a.txt").c_str(), 0444);
    auto before = fs::last_write_time(dir / "a.txt");
    EXPECT_TRUE(CopyPath(dir / "a.txt", dir / "a.txt"));
    EXPECT_EQ(fs::last_write_time(dir / "a.txt"), before);
    EXPECT_EQ(ReadText(dir / "a.txt"), "a");
}

TEST(CopyPathTest, FileIsCopiedOverAnExistingOne) {
    TempFolder dir;
    WriteText(dir / "中文 名.txt", "new");
    WriteText(dir / "old.txt", "old contents");
    EXPECT_TRUE(CopyPath(dir / "中文 名.txt", dir / "old.txt"));
    EXPECT_EQ(ReadText(dir / "old.txt"), "new");
}

TEST(CopyPathTest, MissingSourceOrEmptyPathFails) {
    TempFolder dir;
    WriteText(dir / "a", "a");
    EXPECT_FALSE(CopyPath(dir / "missing", dir / "b"));
    EXPECT_FALSE(CopyPath("", dir / "b"));
    EXPECT_FALSE(CopyPath(dir / "a", ""));
    EXPECT_FALSE(PathExists(dir / "b"));
}

TEST(CopyPathTest, FolderOntoMissingDestinationCreatesTheTree) {
    TempFolder dir;
    WriteText(dir / "src/top.txt", "top");
    WriteText(dir / "src/.hidden", "h");
    WriteText(dir / "src/sub 1/深/leaf.png", "leaf");
    ASSERT_TRUE(MakeFolderPath(dir / "src/empty"));
    EXPECT_TRUE(CopyPath(dir / "src", dir / "out/deeper/copy"));
    EXPECT_EQ(ReadText(dir / "out/deeper/copy/top.txt"), "top");
    EXPECT_EQ(ReadText(dir / "out/deeper/copy/.hidden"), "h");
    EXPECT_EQ(ReadText(dir / "out/deeper/copy/sub 1/深/leaf.png"), "leaf");
    EXPECT_TRUE(IsFolder(dir / "out/deeper/copy/empty"));
}

// Packaged installs reach their data through links: a linked folder is
// copied as a folder, a linked file as its contents; a loop fails the copy.
TEST(CopyPathTest, LinksAreFollowed) {
    TempFolder dir;
    WriteText(dir / "store/template/launcher/template.xml", "<package />");
    WriteText(dir / "store/shared/colors.xml", "<resources />");
    WriteText(dir / "store/wallpaper.jpg", "jpeg");
    fs::create_directories(dir / "data");
    fs::create_directory_symlink(dir / "store/template", dir / "data/template");
    fs::create_directory_symlink(dir / "store/shared", dir / "store/template/values");
    fs::create_symlink(dir / "store/wallpaper.jpg", dir / "store/template/wallpaper.jpg");
    ASSERT_TRUE(CopyPath(dir / "data/template", dir / "project"));
    EXPECT_EQ(ReadText(dir / "project/launcher/template.xml"), "<package />");
    EXPECT_EQ(ReadText(dir / "project/values/colors.xml"), "<resources />");
    EXPECT_EQ(fs::symlink_status(dir / "project/values").type(), fs::file_type::directory);
    EXPECT_EQ(fs::symlink_status(dir / "project/wallpaper.jpg").type(), fs::file_type::regular);
    EXPECT_EQ(ReadText(dir / "project/wallpaper.jpg"), "jpeg");

    fs::create_directory_symlink(dir / "store/template", dir / "store/template/launcher/loop");
    EXPECT_FALSE(CopyPath(dir / "data/template", dir / "looped"));
}

TEST(CopyPathTest, FolderIntoItselfIsRefused) {
    TempFolder dir;
    WriteText(dir / "src/a.txt", "a");
    EXPECT_FALSE(CopyFolder(dir / "src", dir / "src/inner"));
    EXPECT_FALSE(PathExists(dir / "src/inner"));
}

TEST(CopyPathTest, FolderWhereAFileGoesStopsTheCopy) {
    TempFolder dir;
    WriteText(dir / "src/x", "x");
    ASSERT_TRUE(MakeFolderPath(dir / "out/x"));
    EXPECT_FALSE(CopyFolder(dir / "src", dir / "out"));
    EXPECT_TRUE(IsFolder(dir / "out/x"));
}

// Flushed together, files and folders alike; a path that cannot be flushed
// is named, the first one in the order given.
TEST(FlushTogetherTest, FlushesEveryPathAndNamesTheFirstThatFails) {
    TempFolder dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 20; ++i) {
        const std::string file = "sub" + std::to_string(i % 3) + "/f" + std::to_string(i);
        WriteText(dir / file, "x");
        paths.push_back(dir / file);
    }
    paths.push_back(dir / "sub0");
    EXPECT_FALSE(FlushTogether(paths).has_value());
    paths.insert(paths.begin() + 17, dir / "gone");
    paths.push_back(dir / "also gone");
    const std::optional<FlushFailure> failure = FlushTogether(paths);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->path, dir / "gone");
    EXPECT_EQ(failure->error, ENOENT);
    EXPECT_FALSE(FlushTogether({}).has_value());
}

// MakeFolderPath and DeletePath over small trees.
struct FolderCase {
    const char* name;
    std::vector<std::string> files;    // made before the call
    std::vector<std::string> folders;  // made before the call
    std::string target;                // relative to the temporary folder
    bool result;
    std::vector<std::string> present;  // afterwards
    std::vector<std::string> absent;   // afterwards
};

class MakeFolderPathTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(MakeFolderPathTest, Table) {
    const FolderCase& c = GetParam();
    TempFolder dir;
    for (const std::string& f : c.folders) {
        fs::create_directories(dir / f);
    }
    for (const std::string& f : c.files) {
        WriteText(dir / f, "x");
    }
    EXPECT_EQ(MakeFolderPath(c.target.empty() ? "" : dir / c.target), c.result);
    for (const std::string& p : c.present) {
        EXPECT_TRUE(PathExists(dir / p)) << p;
    }
    for (const std::string& p : c.absent) {
        EXPECT_FALSE(PathExists(dir / p)) << p;
    }
    if (c.result) {
        EXPECT_TRUE(MakeFolderPath(dir / c.target)) << "second call";
        EXPECT_TRUE(IsFolder(dir / c.target));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MakeFolderPathTest,
    ::testing::Values(
        FolderCase{"NestedWithTrailingSlash", {}, {}, "x/y/z/", true, {"x/y/z"}, {}},
        FolderCase{"Existing", {}, {"x"}, "x", true, {"x"}, {}},
        FolderCase{"BlanksAndChinese", {}, {}, "主题 一/子 目录", true, {"主题 一/子 目录"}, {}},
        FolderCase{"FileInTheWay", {"x"}, {}, "x", false, {"x"}, {}},
        FolderCase{"FileInTheWayOfParent", {"x"}, {}, "x/y/z", false, {"x"}, {"x/y"}},
        FolderCase{"DoubledSlash", {}, {}, "x//y", false, {}, {"x"}},
        FolderCase{"Empty", {}, {}, "", false, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

class DeletePathTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(DeletePathTest, Table) {
    const FolderCase& c = GetParam();
    TempFolder dir;
    for (const std::string& f : c.folders) {
        fs::create_directories(dir / f);
    }
    for (const std::string& f : c.files) {
        WriteText(dir / f, "x");
    }
    EXPECT_EQ(DeletePath(c.target.empty() ? "" : dir / c.target), c.result);
    for (const std::string& p : c.present) {
        EXPECT_TRUE(PathExists(dir / p)) << p;
    }
    for (const std::string& p : c.absent) {
        EXPECT_FALSE(PathExists(dir / p)) << p;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeletePathTest,
    ::testing::Values(
        FolderCase{"File", {"a.txt"}, {}, "a.txt", true, {}, {"a.txt"}},
        FolderCase{"Tree", {"t/a", "t/s/b", "t/s/深 层/c"}, {"t/empty"}, "t/", true, {}, {"t"}},
        FolderCase{"DotEntryKeepsFolder",
                   {"t/.hidden", "t/a", "t/s/b"},
                   {},
                   "t",
                   false,
                   {"t", "t/.hidden"},
                   {"t/a", "t/s"}},
        FolderCase{
            "DotFolderDeep", {"t/s/.git/config", "t/z"}, {}, "t", false, {"t/s/.git/config"}, {}},
        FolderCase{"Missing", {}, {}, "missing", false, {}, {}},
        FolderCase{"Empty", {}, {}, "", false, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DeletePathTest, SymbolicLinkIsRemovedNotFollowed) {
    TempFolder dir;
    WriteText(dir / "keep/inside.txt", "k");
    fs::create_directories(dir / "t");
    fs::create_directory_symlink(dir / "keep", dir / "t/link");
    EXPECT_TRUE(DeletePath(dir / "t"));
    EXPECT_EQ(ReadText(dir / "keep/inside.txt"), "k");
}

TEST(FilesCapacityTest, PathsOverCapacityAreRefusedAndLogged) {
    TempFolder dir;
    SetLogFilePath(dir / "log");
    std::string longPath = dir / std::string(kPathCapacity, 'p');
    EXPECT_FALSE(MakeFolderPath(longPath));
    EXPECT_FALSE(DeletePath(longPath));
    EXPECT_FALSE(WriteFileAtomic(longPath, "x"));
    EXPECT_NE(ReadText(dir / "log").find("\tERROR\tpath of "), std::string::npos);
    // A copy whose entry paths would outgrow the capacity is refused before
    // it makes anything.
    std::string name(100, 'n');
    WriteText(dir / ("src/" + name), "x");
    std::string destination = dir / (std::string(200, 'd') + "/" +
                                     std::string(kPathCapacity - dir.path().size() - 252, 'e'));
    EXPECT_FALSE(CopyFolder(dir / "src", destination));
    EXPECT_FALSE(PathExists(destination));
    SetLogFilePath("");
}

TEST(ListFolderTest, NamesWithoutDotEntries) {
    TempFolder dir;
    WriteText(dir / "a", "");
    WriteText(dir / ".b", "");
    std::vector<std::string> names;
    ASSERT_TRUE(ListFolder(dir.path(), names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".b", "a"}));
    EXPECT_FALSE(ListFolder(dir / "a", names));
    EXPECT_TRUE(names.empty());
}

TEST(FileTextTest, WriteAtomicReplacesAndReads) {
    TempFolder dir;
    std::string path = dir / "值 values.xml";
    ASSERT_TRUE(WriteFileAtomic(path, std::string("one\0two", 7)));
    ASSERT_TRUE(WriteFileAtomic(path, "second"));
    std::string text;
    ASSERT_TRUE(ReadFileText(path, text));
    EXPECT_EQ(text, "second");
    std::vector<std::string> names;
    ASSERT_TRUE(ListFolder(dir.path(), names));
    EXPECT_EQ(names.size(), 1u) << "no temporary file left behind";
}

// A replaced file is a new file renamed over the old one: a hard link to the
// old file still shows the old bytes, and the permissions carry over.
TEST(FileTextTest, WritesAndCopiesReplaceTheFileWhole) {
    TempFolder dir;
    WriteText(dir / "new.png", "new image");
    for (const bool copy : {false, true}) {
        SCOPED_TRACE(copy ? "copy" : "write");
        const std::string target = dir / "target.png";
        WriteText(target, "old image");
        ::chmod(target.c_str(), 0640);
        fs::remove(dir / "link");
        fs::create_hard_link(target, dir / "link");
        ASSERT_TRUE(copy ? CopyPath(dir / "new.png", target)
                         : WriteFileAtomic(target, "new image"));
        EXPECT_EQ(ReadText(target), "new image");
        EXPECT_EQ(ReadText(dir / "link"), "old image");
        EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
        std::vector<std::string> names;
        ASSERT_TRUE(ListFolder(dir.path(), names));
        EXPECT_EQ(names.size(), 3u) << "no temporary file left behind";
    }
}

// A write that fails part-way (here: the file size limit) leaves the old file
// whole, no temporary file, and an ERROR line.
TEST(FileTextTest, AWriteThatFailsPartWayLeavesTheOldFile) {
    TempFolder dir;
    WriteText(dir / "big.png", std::string(100000, 'n'));
    for (const bool copy : {false, true}) {
        SCOPED_TRACE(copy ? "copy" : "write");
        const std::string target = dir / "colors.xml";
        WriteText(target, "old");
        fs::remove(dir / "log");
        const pid_t child = ::fork();
        if (child == 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            SetLogFilePath(dir / "log");
            const bool written = copy ? CopyPath(dir / "big.png", target)
                                      : WriteFileAtomic(target, std::string(100000, 'n'));
            ::_exit(written ? 1 : 0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the write did not fail";
        EXPECT_EQ(ReadText(target), "old");
        EXPECT_NE(ReadText(dir / "log").find("\tERROR\tcannot write file " + target),
                  std::string::npos);
        std::vector<std::string> names;
        ASSERT_TRUE(ListFolder(dir.path(), names));
        EXPECT_EQ(names.size(), 3u) << "no temporary file left behind";
    }
}

TEST(FileTextTest, FailuresAreReportedAndLogged) {
    TempFolder dir;
    SetLogFilePath(dir / "log");
    std::string text = "stale";
    EXPECT_FALSE(ReadFileText(dir / "missing", text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(ReadFileText(dir.path(), text));
    EXPECT_FALSE(WriteFileAtomic(dir / "no/such/folder/x.xml", "x"));
    EXPECT_NE(ReadText(dir / "log").find("\tERROR\tcannot write file "), std::string::npos);
    // A folder standing at the path is not replaced.
    ASSERT_TRUE(MakeFolderPath(dir / "folder"));
    EXPECT_FALSE(WriteFileAtomic(dir / "folder", "x"));
    EXPECT_TRUE(IsFolder(dir / "folder"));
    SetLogFilePath("");
}

}  // namespace
}  // namespace sw
