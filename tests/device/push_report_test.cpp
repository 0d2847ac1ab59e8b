// Reading what adb says it pushed, and telling a whole push from a short one.
#include "device/push_report.h"

#include <gtest/gtest.h>

#include "core/temp_folder.h"

namespace sw::device {
namespace {

TEST(PushReportTest, SummariesOfEveryAdbVersion) {
    struct Case {
        const char* output;
        bool has_files;
        bool has_bytes;
        PushTotals totals;
    };
    const Case cases[] = {
        // adb 29 and later: one line.
        {"/h/themetool/ABCDEFGHIJ/: 29 files pushed, 0 skipped. 31.2 MB/s (8123456 bytes in "
         "0.260s)\n",
         true,
         true,
         {29, 8123456}},
        {"/h/a.zip: 1 file pushed, 0 skipped. 0.1 MB/s (512 bytes in 0.004s)\n",
         true,
         true,
         {1, 512}},
        // Older adb: the count and the rate on lines of their own, with CR.
        {"push: /h/t/meta.json -> //sdcard/t/meta.json\r\n2 files pushed. 0 files skipped.\r\n"
         "1234 KB/s (2048 bytes in 0.002s)\r\n",
         true,
         true,
         {2, 2048}},
        // A folder named like a summary does not count; the last words do.
        {"/h/3 files pushed (9 bytes in x/: 4 files pushed, 0 skipped. 1 MB/s (77 bytes in "
         "0.1s)",
         true,
         true,
         {4, 77}},
        // The bytes of an earlier summary do not belong to a later count.
        {"1 file pushed. (10 bytes in 0.1s)\n5 files pushed, 0 skipped.\n", true, false, {5, 0}},
        {"", false, false, {}},
        {"adb: error: failed to copy\n", false, false, {}},
        {"files pushed, 0 skipped. (bytes in 0.1s)", false, false, {}},
        // A number too long for 64 bits is no number.
        {"123456789012345678901234 files pushed, 0 skipped.", false, false, {}},
    };
    for (const Case& c : cases) {
        const PushReport report = ParsePushReport(c.output);
        EXPECT_EQ(report.has_files, c.has_files) << c.output;
        EXPECT_EQ(report.has_bytes, c.has_bytes) << c.output;
        EXPECT_EQ(report.totals, c.totals) << c.output;
    }
}

TEST(PushReportTest, OnlyExactlyWhatWasStagedIsWhole) {
    const PushTotals staged{3, 300};
    struct Case {
        PushReport report;
        const char* shortfall;
    };
    const Case cases[] = {
        {{true, true, {3, 300}}, ""},
        {{true, false, {3, 0}}, ""},
        {{true, true, {2, 200}}, "2 of 3 files"},
        {{true, true, {4, 300}}, "4 of 3 files"},
        {{true, true, {3, 299}}, "299 of 300 bytes"},
        {{false, false, {}}, "adb did not say what it pushed"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PushShortfall(c.report, staged), c.shortfall) << c.shortfall;
    }
}

TEST(PushReportTest, FolderTotalsCountRegularFilesOnly) {
    test::TempFolder folder;
    test::WriteText(folder / "a", "12345");
    test::WriteText(folder / "deep/er/b", "123");
    std::filesystem::create_directories(folder / "empty");
    std::filesystem::create_symlink(folder / "a", folder / "link");
    EXPECT_EQ(FolderTotals(folder.path()), (PushTotals{2, 8}));
    EXPECT_EQ(FolderTotals(folder / "missing"), (PushTotals{0, 0}));
}

}  // namespace
}  // namespace sw::device
