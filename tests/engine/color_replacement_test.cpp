#include "engine/color_replacement.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/page_fixture.h"
#include "engine/values.h"
#include "gfx/image_decode.h"

namespace sw {
namespace {

namespace fs = std::filesystem;
using test::PageProject;

class ColorReplacementTest : public test::OpenPageProjectTest {
  protected:
    std::string Values(const std::string& name) const {
        return fixture_.launcher() + "/content/res/values/" + name;
    }
    std::string Value(const std::string& name) {
        std::string text;
        EXPECT_TRUE(LookupValue(launcher().context, name, text)) << name;
        return text;
    }
};

TEST_F(ColorReplacementTest, KeepsTheElementsAlpha) {
    const struct {
        int element;
        const char* text;
        PackedColor color;
        const char* value;
    } cases[] = {
        // The block is #80FF0000: alpha 0x80 stays whatever the text says.
        {2, "0000ff", 0x80FF0000u, "#800000FF"},
        {2, "#FF00FF00", 0x8000FF00u, "#8000FF00"},
        // Three digits are right-aligned, not the CSS short form.
        {2, "#abc", 0x80BC0A00u, "#80000ABC"},
        {1, "#12345678", 0xFF785634u, "#FF345678"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SetElementColor(project_, "桌面", 0, c.element, c.text)) << c.text;
        EXPECT_EQ(launcher().FindElement(0, c.element)->color, c.color) << c.text;
        EXPECT_EQ(Value(launcher().FindElement(0, c.element)->Attribute("color")), c.value);
    }
}

TEST_F(ColorReplacementTest, ColoursEveryMemberOfTheGroupAndRedraws) {
    PageProject::DeletePreviews(fixture_.launcher());
    ASSERT_TRUE(SetElementColor(project_, "桌面", 0, 1, "#0a0b0c"));
    EXPECT_EQ(launcher().FindElement(1, 2)->color, 0xFF0C0B0Au);
    EXPECT_EQ(LauncherPreviews(), (std::vector<bool>{true, true, true, true}));

    ASSERT_TRUE(SetElementColor(project_, "桌面", 0, 2, "0000ff"));
    gfx::Image preview;
    ASSERT_TRUE(gfx::DecodeImage(PageProject::Preview(fixture_.launcher(), 1), &preview));
    // Half blue over the white wallpaper.
    const gfx::Pixel block = preview.PixelAt(100, 225);
    EXPECT_NEAR(block.r, 127, 8);
    EXPECT_NEAR(block.g, 127, 8);
    EXPECT_GT(block.b, 245);
}

TEST_F(ColorReplacementTest, RefusesWhatDoesNotExist) {
    EXPECT_FALSE(SetElementColor(project_, "无此模块", 0, 1, "#000000"));
    EXPECT_FALSE(SetElementColor(project_, "桌面", 0, 9, "#000000"));
    EXPECT_FALSE(SetElementColor(project_, "桌面", 5, 0, "#000000"));
}

TEST_F(ColorReplacementTest, SaveColorsWritesColorsXmlOnly) {
    const std::string dimens = test::ReadText(Values("dimens.xml"));
    ASSERT_TRUE(SetElementColor(project_, "桌面", 0, 1, "#0a0b0c"));
    // A change in another values document stays in memory.
    ASSERT_TRUE(SetValue(launcher().context, "zero", "5px"));
    ASSERT_TRUE(SaveColors(project_));
    const std::string colors = test::ReadText(Values("colors.xml"));
    EXPECT_NE(colors.find("<color name=\"label_color\">#FF0A0B0C</color>"), std::string::npos)
        << colors;
    EXPECT_NE(colors.find("<color name=\"block_color\">#80FF0000</color>"), std::string::npos);
    EXPECT_EQ(test::ReadText(Values("dimens.xml")), dimens);
    // The file was replaced whole: nothing else is left in the folder.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Values(""))) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"colors.xml", "dimens.xml"}));
}

TEST_F(ColorReplacementTest, SaveColorsKeepsAByteOrderMark) {
    const std::string bom = "\xEF\xBB\xBF";
    test::WriteText(Values("colors.xml"), bom + test::ReadText(Values("colors.xml")));
    ThemeProject reopened;
    ASSERT_TRUE(reopened.Open(fixture_.project_file()));
    ASSERT_TRUE(SetElementColor(reopened, "桌面", 0, 2, "#00ff00"));
    ASSERT_TRUE(SaveColors(reopened));
    const std::string colors = test::ReadText(Values("colors.xml"));
    EXPECT_EQ(colors.substr(0, 3), bom);
    EXPECT_NE(colors.find("#8000FF00"), std::string::npos);
}

TEST_F(ColorReplacementTest, SaveColorsReportsAFileItCannotWrite) {
    // A folder where colors.xml was: the new file cannot take its place.
    fs::remove(Values("colors.xml"));
    fs::create_directories(Values("colors.xml") + "/inside");
    EXPECT_FALSE(SaveColors(project_));
    EXPECT_TRUE(log_.HasSequence({"ERROR\tsave " + Values("colors.xml") + " failed."}));
    EXPECT_TRUE(fs::is_directory(Values("colors.xml") + "/inside"));
}

}  // namespace
}  // namespace sw
