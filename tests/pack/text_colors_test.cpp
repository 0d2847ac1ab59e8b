// The nine text colours written into the widget and lock-screen layouts.
#include <gtest/gtest.h>

#include "engine/engine_fixture.h"
#include "pack/pack_fixture.h"
#include "pack/text_colors.h"

namespace sw::pack::test {
namespace {

using sw::test::LogCapture;
using sw::test::ReadText;
using sw::test::WriteText;

std::string Colors(const std::string& items) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<resources>\n" + items + "</resources>\n";
}

TEST(TextColorsTest, TheLockScreenDefinesItsOwnColoursFirst) {
    TempFolder folder;
    WriteText(folder / "launcher.xml",
              Colors("<color name=\"widget_week_text\">#FF000001</color>"
                     "<color name=\"lock_date_text\">#FF000002</color>"
                     "<color name=\"lock_battery_text\">#FF000003</color>"
                     "<color name=\"calendar_day_color\">#FF000009</color>"));
    WriteText(folder / "lock.xml", Colors("<color name=\"lock_date_text\">#FF0000AA</color>"
                                          "<color name=\"widget_week_text\">#FF0000BB</color>"));
    const TextColors colors = ReadTextColors(folder / "launcher.xml", folder / "lock.xml");
    const TextColors expected = {
        {"widget_week_text", "#FF000001"},
        {"lock_date_text", "#FF0000AA"},
        {"lock_battery_text", "#FF000003"},
    };
    EXPECT_EQ(colors, expected);
}

TEST(TextColorsTest, OnlyElementsRightUnderTheRootTakeTheirColour) {
    TempFolder folder;
    LogCapture log(folder / "log");
    const std::string lock = folder / "lockscreen";
    const std::string layout =
        "<Root>\n"
        "  <TextDateWeek x=\"1\" color=\"#FFFFFFFF\" />\n"
        "  <Group><TextBattery color=\"#FF00FF00\" /></Group>\n"
        "  <TextSimAll color=\"#B3FFFFFF\" />\n"
        "</Root>\n";
    for (const char* density : {"hdpi", "hdpi_720x1280", "xhdpi", "xxhdpi"}) {
        WriteText(lock + "/content/res/" + density + "/lockscreen.xml", layout);
    }
    // xxxhdpi_1440x2560 has no layout: logged, the others still written.
    PackTree tree = TreeOf(lock, "lock");
    WriteLockscreenColors(tree, "lock",
                          {{"lock_date_text", "#FF123456"}, {"lock_battery_text", "#FF654321"}});

    for (const char* density : {"hdpi", "hdpi_720x1280", "xhdpi", "xxhdpi"}) {
        // The project's layout stays as it was; the archive's has the colours.
        EXPECT_EQ(ReadText(lock + "/content/res/" + density + "/lockscreen.xml"), layout);
        const std::string path = folder / (std::string("packed-") + density + ".xml");
        WriteText(path,
                  TreeText(tree, std::string("lock/content/res/") + density + "/lockscreen.xml"));
        EXPECT_EQ(LayoutColor(path, "TextDateWeek"), "#FF123456") << density;
        EXPECT_NE(ReadText(path).find("<TextBattery color=\"#FF00FF00\" />"), std::string::npos)
            << density;
        EXPECT_EQ(LayoutColor(path, "TextSimAll"), "#B3FFFFFF") << density;
    }
    int unparsed = 0;
    int kept = 0;
    for (const std::string& line : log.Lines()) {
        unparsed += line == "ERROR\tcan not parse lockscreen.xml file";
        kept += line.find("WARN \tno colour TextSimAll_text_color for TextSimAll in ") == 0;
    }
    EXPECT_EQ(unparsed, 1);
    // Defined nowhere: the layout keeps its colour, never color="", and says so.
    EXPECT_EQ(kept, 4);
}

TEST(TextColorsTest, UnusableFilesAreLoggedAndSkipped) {
    const std::pair<const char*, const char*> cases[] = {
        {"<resources", "ERROR\tcan not parse colors.xml file"},
        {"<values><color name=\"lock_date_text\">#FF000001</color></values>",
         "ERROR\tcolors.xml root node isn't <resources />"},
        {"<resources></resources>", "ERROR\tcolors.xml no child nodes for <resources />"},
    };
    for (const auto& [text, line] : cases) {
        TempFolder folder;
        LogCapture log(folder / "log");
        WriteText(folder / "colors.xml", text);
        EXPECT_TRUE(ReadTextColors(folder / "colors.xml", "").empty()) << text;
        EXPECT_TRUE(log.HasSequence({line})) << text;
    }
}

}  // namespace
}  // namespace sw::pack::test
