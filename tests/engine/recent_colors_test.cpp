// The colours last chosen in a project: eight at most, newest first, each
// once and without its alpha, kept beside the project's history and read back whatever the file
// has become.
#include "engine/recent_colors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine_fixture.h"

namespace sw {
namespace {

using test::LogCapture;
using test::ReadText;
using test::TempFolder;
using test::WriteText;

using Colors = std::vector<std::string>;

TEST(RecentColorsTest, KeepsTheLastEightNewestFirstEachOnce) {
    struct Case {
        const char* what;
        Colors added;
        Colors kept;
    };
    const Case cases[] = {
        {"none yet", {}, {}},
        {"newest first", {"ff0000", "00ff00"}, {"00ff00", "ff0000"}},
        {"case, # and alpha do not matter",
         {"#FF0000", "ff0000", "80Ab12Cd", "#ffFF0000"},
         {"ff0000", "ab12cd"}},
        {"a colour used again moves to the front",
         {"111111", "222222", "333333", "111111"},
         {"111111", "333333", "222222"}},
        {"the ninth pushes the oldest out",
         {"000001", "000002", "000003", "000004", "000005", "000006", "000007", "000008", "000009"},
         {"000009", "000008", "000007", "000006", "000005", "000004", "000003", "000002"}},
        {"what is no colour is not kept",
         {"ff0000", "ff00", "gg0000", "ff0000ff00", "", "#"},
         {"ff0000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const std::string project = folder / "demo";
        for (const std::string& color : c.added) {
            AddRecentColor(project, color);
        }
        EXPECT_EQ(ReadRecentColors(project), c.kept);
    }
}

TEST(RecentColorsTest, ADamagedFileGivesWhatCanBeReadAndIsMendedByTheNextColour) {
    struct Case {
        const char* text;
        Colors read;
    };
    const Case cases[] = {
        {"not json at all {", {}},
        {"{\"ff0000\": 1}", {}},
        {"", {}},
        {"[\"ff0000\", 7, null, \"zz\", \"00ff00\", \"ff0000\"]", {"ff0000", "00ff00"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TempFolder folder;
        const std::string project = folder / "demo";
        WriteText(RecentColorsFile(project), c.text);
        LogCapture log(folder.path());
        EXPECT_EQ(ReadRecentColors(project), c.read);
        bool warned = false;
        for (const std::string& line : log.Lines()) {
            warned = warned || line.rfind("WARN", 0) == 0;
        }
        EXPECT_TRUE(warned);
        ASSERT_TRUE(AddRecentColor(project, "0000ff"));
        Colors mended = {"0000ff"};
        for (const std::string& color : c.read) {
            mended.push_back(color);
        }
        EXPECT_EQ(ReadRecentColors(project), mended);
        EXPECT_EQ(ReadText(RecentColorsFile(project)).front(), '[');
    }
}

}  // namespace
}  // namespace sw
