#include "core/zip.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>
#include <filesystem>
#include <map>

#include "core/files.h"
#include "core/log.h"
#include "core/temp_folder.h"

namespace sw {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::TempFolder;
using test::WriteText;

// Every entry below folder: relative path to contents, folders as "<dir>".
std::map<std::string, std::string> TreeOf(const std::string& folder) {
    std::map<std::string, std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        std::string relative = fs::relative(entry.path(), folder).string();
        tree[relative] = entry.is_directory() ? "<dir>" : ReadText(entry.path().string());
    }
    return tree;
}

std::vector<std::string> EntryNames(const std::string& archive) {
    std::vector<std::string> names;
    zip_t* zip = zip_open(archive.c_str(), ZIP_RDONLY, nullptr);
    if (zip == nullptr) {
        return names;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
        names.push_back(zip_get_name(zip, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW));
    }
    zip_discard(zip);
    return names;
}

// Writes an archive whose entries are given as (name, contents) exactly,
// bypassing every check of ZipCompress.
void MakeRawArchive(const std::string& archive,
                    const std::vector<std::pair<std::string, std::string>>& entries,
                    zip_uint32_t mode = S_IFREG | 0644) {
    zip_t* zip = zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
    ASSERT_NE(zip, nullptr);
    for (const auto& [name, contents] : entries) {
        zip_source_t* source = zip_source_buffer(zip, contents.data(), contents.size(), 0);
        zip_int64_t index = zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_RAW);
        ASSERT_GE(index, 0) << name;
        zip_file_set_external_attributes(zip, static_cast<zip_uint64_t>(index), 0, ZIP_OPSYS_UNIX,
                                         mode << 16);
    }
    ASSERT_EQ(zip_close(zip), 0);
}

// Rewrites the uncompressed size that the local and central headers of the
// entry declare, as a hostile archive may.
void DeclareSize(const std::string& archive, const std::string& name, std::uint32_t size) {
    std::string bytes = ReadText(archive);
    auto le16 = [&](std::size_t at) {
        return static_cast<std::size_t>(static_cast<unsigned char>(bytes[at])) |
               static_cast<std::size_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
    };
    auto put32 = [&](std::size_t at) {
        for (int i = 0; i < 4; ++i) {
            bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((size >> (8 * i)) & 0xff);
        }
    };
    int patched = 0;
    for (std::size_t at = 0; at + 46 < bytes.size(); ++at) {
        if (bytes.compare(at, 4, "PK\3\4") == 0 && bytes.compare(at + 30, name.size(), name) == 0 &&
            le16(at + 26) == name.size()) {
            put32(at + 22);
            ++patched;
        } else if (bytes.compare(at, 4, "PK\1\2") == 0 &&
                   bytes.compare(at + 46, name.size(), name) == 0 && le16(at + 28) == name.size()) {
            put32(at + 24);
            ++patched;
        }
    }
    ASSERT_EQ(patched, 2) << name;
    WriteText(archive, bytes);
}

class ZipTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetLogFilePath(dir_ / "runtime.log");
        WriteText(dir_ / "src/top.txt", "top level\n");
        WriteText(dir_ / "src/.hidden", "dot");
        WriteText(dir_ / "src/子目录/深 层/图片.png", std::string("\x89PNG\0\0\x01\xFF", 8));
        WriteText(dir_ / "src/子目录/a.xml", std::string(100000, 'a') + "tail");
        fs::create_directories(dir_ / "src/empty folder");
    }
    void TearDown() override { SetLogFilePath(""); }
    std::string Log() const { return ReadText(dir_ / "runtime.log"); }
    TempFolder dir_;
};

TEST_F(ZipTest, RoundTripKeepsNestedFoldersAndUtf8Names) {
    ASSERT_TRUE(ZipCompress(dir_ / "src/*.*", dir_ / "theme.zip"));
    ASSERT_TRUE(MakeFolderPath(dir_ / "out"));
    ASSERT_TRUE(ZipExtract(dir_ / "theme.zip", dir_ / "out"));
    EXPECT_EQ(TreeOf(dir_ / "out"), TreeOf(dir_ / "src"));
}

TEST_F(ZipTest, ExtractCreatesTheDestinationAndSubFolders) {
    ASSERT_TRUE(ZipCompress(dir_ / "src", dir_ / "theme.zip"));
    ASSERT_TRUE(ZipExtract(dir_ / "theme.zip", dir_ / "new/dest/"));
    EXPECT_EQ(TreeOf(dir_ / "new/dest"), TreeOf(dir_ / "src"));
}

TEST_F(ZipTest, EntriesAreSortedRelativeAndIncludeFolders) {
    ASSERT_TRUE(ZipCompress(dir_ / "src/*.*", dir_ / "theme.zip"));
    std::vector<std::string> names = EntryNames(dir_ / "theme.zip");
    std::vector<std::string> expected = {
        ".hidden",       "empty folder/",        "top.txt", "子目录/", "子目录/a.xml",
        "子目录/深 层/", "子目录/深 层/图片.png"};
    EXPECT_EQ(names, expected);
    zip_t* zip = zip_open((dir_ / "theme.zip").c_str(), ZIP_RDONLY, nullptr);
    ASSERT_NE(zip, nullptr);
    zip_stat_t stat;
    ASSERT_EQ(zip_stat(zip, "子目录/a.xml", 0, &stat), 0);
    EXPECT_EQ(stat.comp_method, ZIP_CM_DEFLATE);
    EXPECT_LT(stat.comp_size, stat.size);
    zip_discard(zip);
}

TEST_F(ZipTest, SameFolderGivesTheSameArchiveInBothSourceForms) {
    ASSERT_TRUE(ZipCompress(dir_ / "src/*.*", dir_ / "pattern.zip"));
    ASSERT_TRUE(ZipCompress(dir_ / "src", dir_ / "plain.zip"));
    // A copy made later, with other times and permissions.
    ASSERT_TRUE(CopyFolder(dir_ / "src", dir_ / "copy"));
    fs::last_write_time(dir_ / "copy/top.txt",
                        fs::file_time_type::clock::now() - std::chrono::hours(50));
    ::chmod((dir_ / "copy/top.txt").c_str(), 0600);
    ASSERT_TRUE(ZipCompress(dir_ / "copy/", dir_ / "copy.zip"));
    std::string pattern = ReadText(dir_ / "pattern.zip");
    ASSERT_FALSE(pattern.empty());
    EXPECT_TRUE(pattern == ReadText(dir_ / "plain.zip"));
    EXPECT_TRUE(pattern == ReadText(dir_ / "copy.zip"));
}

TEST_F(ZipTest, ArchiveInsideItsSourceIsNotStoredInItself) {
    ASSERT_TRUE(ZipCompress(dir_ / "src/*.*", dir_ / "src/self.zip"));
    ASSERT_TRUE(ZipCompress(dir_ / "src/*.*", dir_ / "src/self.zip"));
    std::vector<std::string> names = EntryNames(dir_ / "src/self.zip");
    EXPECT_EQ(std::count(names.begin(), names.end(), "self.zip"), 0);
    EXPECT_EQ(names.size(), 7u);
}

TEST_F(ZipTest, EmptyFolderGivesAnEmptyArchive) {
    fs::create_directories(dir_ / "nothing");
    ASSERT_TRUE(ZipCompress(dir_ / "nothing/*.*", dir_ / "empty.zip"));
    EXPECT_TRUE(EntryNames(dir_ / "empty.zip").empty());
    zip_t* zip = zip_open((dir_ / "empty.zip").c_str(), ZIP_RDONLY | ZIP_CHECKCONS, nullptr);
    EXPECT_NE(zip, nullptr);
    zip_discard(zip);
    EXPECT_TRUE(ZipExtract(dir_ / "empty.zip", dir_ / "out"));
    EXPECT_TRUE(IsFolder(dir_ / "out"));
}

TEST_F(ZipTest, CompressFailuresLeaveNoArchive) {
    EXPECT_FALSE(ZipCompress(dir_ / "missing/*.*", dir_ / "a.zip"));
    EXPECT_FALSE(ZipCompress(dir_ / "src/top.txt", dir_ / "a.zip"));
    EXPECT_FALSE(ZipCompress(dir_ / "src", dir_ / "no/such/folder/a.zip"));
    EXPECT_FALSE(ZipCompress("", dir_ / "a.zip"));
    EXPECT_FALSE(PathExists(dir_ / "a.zip"));
    EXPECT_NE(Log().find("\tERROR\tzip source "), std::string::npos);
}

TEST_F(ZipTest, FailedCompressKeepsTheOldArchive) {
    ASSERT_TRUE(ZipCompress(dir_ / "src", dir_ / "theme.zip"));
    std::string before = ReadText(dir_ / "theme.zip");
    ASSERT_EQ(::mkfifo((dir_ / "src/pipe").c_str(), 0644), 0);
    EXPECT_FALSE(ZipCompress(dir_ / "src", dir_ / "theme.zip"));
    EXPECT_TRUE(ReadText(dir_ / "theme.zip") == before);
    std::vector<std::string> names;
    ASSERT_TRUE(ListFolder(dir_.path(), names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"runtime.log", "src", "theme.zip"}));
}

TEST_F(ZipTest, EscapingEntriesAreRefusedBeforeAnythingIsWritten) {
    const std::string absolute = dir_ / "absolute-evil.txt";
    const std::string names[] = {"../evil.txt", "../../evil.txt",      "a/../../evil.txt",
                                 absolute,      "a\\..\\..\\evil.txt", "..",
                                 "C:/evil.txt", "\\evil.txt"};
    for (const std::string& name : names) {
        std::string archive = dir_ / "slip.zip";
        MakeRawArchive(archive, {{"good.txt", "good"}, {"sub/ok.txt", "ok"}, {name, "evil"}});
        std::string destination = dir_ / "out/dest";
        ASSERT_TRUE(MakeFolderPath(destination));
        EXPECT_FALSE(ZipExtract(archive, destination)) << name;
        EXPECT_TRUE(TreeOf(dir_ / "out") == (std::map<std::string, std::string>{{"dest", "<dir>"}}))
            << name;
        EXPECT_NE(Log().find("\tERROR\tzip entry " + name + " escapes the destination\n"),
                  std::string::npos)
            << name;
        EXPECT_FALSE(PathExists(dir_ / "evil.txt"));
        EXPECT_FALSE(PathExists(absolute));
        ASSERT_TRUE(DeletePath(dir_ / "out"));
    }
}

TEST_F(ZipTest, HarmlessDotsAndBackslashesStayInside) {
    MakeRawArchive(dir_ / "dots.zip",
                   {{"./a.txt", "a"}, {"b\\c.txt", "c"}, {"d//e/./f.txt", "f"}, {"..name", "n"}});
    ASSERT_TRUE(ZipExtract(dir_ / "dots.zip", dir_ / "out"));
    EXPECT_EQ(TreeOf(dir_ / "out"), (std::map<std::string, std::string>{{"..name", "n"},
                                                                        {"a.txt", "a"},
                                                                        {"b", "<dir>"},
                                                                        {"b/c.txt", "c"},
                                                                        {"d", "<dir>"},
                                                                        {"d/e", "<dir>"},
                                                                        {"d/e/f.txt", "f"}}));
}

TEST_F(ZipTest, LinkEntryIsWrittenAsPlainFile) {
    MakeRawArchive(dir_ / "link.zip", {{"link", "../../outside"}}, S_IFLNK | 0777);
    ASSERT_TRUE(ZipExtract(dir_ / "link.zip", dir_ / "out"));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir_ / "out/link")));
    EXPECT_EQ(ReadText(dir_ / "out/link"), "../../outside");
}

TEST_F(ZipTest, BrokenArchivesFailWithoutCrash) {
    ASSERT_TRUE(ZipCompress(dir_ / "src", dir_ / "theme.zip"));
    std::string good = ReadText(dir_ / "theme.zip");
    std::string corrupt = good;
    // The deflated bytes of the large entry follow its name in its local
    // header; damaging them is found only while the entry is read.
    std::size_t data = good.find("a.xml") + 5;
    ASSERT_LT(data + 40, good.size());
    for (std::size_t i = data + 20; i < data + 40; ++i) {
        corrupt[i] = static_cast<char>(corrupt[i] ^ 0x5A);
    }
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"truncated", good.substr(0, good.size() / 2)},
        {"truncated end", good.substr(0, good.size() - 5)},
        {"corrupt data", corrupt},
        {"not a zip", "plain text, not an archive"},
        {"empty file", ""},
    };
    for (const Case& c : cases) {
        WriteText(dir_ / "broken.zip", c.bytes);
        EXPECT_FALSE(ZipExtract(dir_ / "broken.zip", dir_ / "out")) << c.name;
        DeletePath(dir_ / "out");
    }
    EXPECT_FALSE(ZipExtract(dir_ / "missing.zip", dir_ / "out"));
    EXPECT_NE(Log().find("\tERROR\tcannot extract "), std::string::npos);
    EXPECT_NE(Log().find("\tERROR\tcannot open zip archive "), std::string::npos);
}

}  // namespace
}  // namespace sw

namespace sw {
namespace {

// Archives built to expand without end are stopped, by what their headers
// declare or, when the headers lie, by the bytes actually written; the
// destination is left as it was found.
TEST_F(ZipTest, BombsAreRefusedAndLeaveNothingBehind) {
    const std::string zeros(8u << 20, '\0');
    ZipLimits small;
    small.max_total_bytes = 100000;
    small.max_entries = 10;
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> entries;
        ZipLimits limits;
        const char* logged;
        const char* lie;  // an entry whose declared size is rewritten to 10
    } cases[] = {
        {"too many entries",
         {{"a/1", "1"},
          {"a/2", "2"},
          {"a/3", "3"},
          {"a/4", "4"},
          {"a/5", "5"},
          {"a/6", "6"},
          {"a/7", "7"},
          {"a/8", "8"},
          {"a/9", "9"},
          {"a/10", "10"},
          {"a/11", "11"}},
         small,
         "holds 11 entries, more than 10",
         nullptr},
        {"too large in all",
         {{"a/1.bin", std::string(60000, 'x')}, {"a/b/2.bin", std::string(60000, 'y')}},
         small,
         "expands to more than 100000 bytes; nothing is extracted",
         nullptr},
        {"expands too many times",
         {{"a/ok.txt", "ok"}, {"a/b/zeros.bin", zeros}},
         ZipLimits{},
         "expands more than 200 times its packed size; nothing is extracted",
         nullptr},
        {"too large, declared small",
         {{"a/ok.txt", "ok"}, {"a/b/liar.bin", std::string(300000, 'z')}},
         small,
         "expands to more than 100000 bytes; extraction stopped",
         "a/b/liar.bin"},
        {"expands too many times, declared small",
         {{"a/ok.txt", "ok"}, {"a/b/liar.bin", zeros}},
         ZipLimits{},
         "times its packed size; extraction stopped",
         "a/b/liar.bin"},
    };
    for (const Case& c : cases) {
        const std::string archive = dir_ / "bomb.zip";
        MakeRawArchive(archive, c.entries);
        if (c.lie != nullptr) {
            DeclareSize(archive, c.lie, 10);
        }
        ASSERT_TRUE(MakeFolderPath(dir_ / "out"));
        WriteText(dir_ / "out/before.txt", "kept");
        EXPECT_FALSE(ZipExtract(archive, dir_ / "out/dest", c.limits)) << c.name;
        EXPECT_EQ(TreeOf(dir_ / "out"),
                  (std::map<std::string, std::string>{{"before.txt", "kept"}}))
            << c.name;
        EXPECT_NE(Log().find(c.logged), std::string::npos) << c.name << "\n" << Log();
        ASSERT_TRUE(DeletePath(dir_ / "out"));
    }
}

// The limits leave a theme-sized archive alone, whatever it holds.
TEST_F(ZipTest, AnArchiveWithinTheLimitsExtracts) {
    ZipLimits limits;
    limits.max_total_bytes = 2u << 20;
    limits.max_entries = 3;
    // Highly compressible but below the size from which the ratio counts.
    MakeRawArchive(dir_ / "fine.zip", {{"a/blank.txt", std::string(1u << 20, ' ')},
                                       {"a/b/c.txt", "c"},
                                       {"d.txt", std::string(1000, 'd')}});
    ASSERT_TRUE(ZipExtract(dir_ / "fine.zip", dir_ / "out", limits));
    EXPECT_EQ(ReadText(dir_ / "out/a/blank.txt").size(), 1u << 20);
    EXPECT_EQ(ReadText(dir_ / "out/a/b/c.txt"), "c");
}

}  // namespace
}  // namespace sw
