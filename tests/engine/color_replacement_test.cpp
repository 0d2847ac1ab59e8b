#include "engine/color_replacement.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/engine_fixture.h"
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

TEST_F(ColorReplacementTest, KeepsTheElementsAlphaUnlessTheTextNamesOne) {
    const struct {
        int element;
        const char* text;
        PackedColor color;
        const char* value;
    } cases[] = {
        // The block is #80FF0000: six digits (the colour dialog) keep alpha 0x80.
        {2, "0000ff", 0x80FF0000u, "#800000FF"},
        // Eight digits (the colour field) set it, with or without the "#".
        {2, "#D900FF00", 0xD900FF00u, "#D900FF00"},
        {2, "40abcdef", 0x40EFCDABu, "#40ABCDEF"},
        // Three digits are right-aligned, not the CSS short form.
        {2, "#abc", 0x40BC0A00u, "#40000ABC"},
        {1, "#12345678", 0x12785634u, "#12345678"},
        // Digits past the eighth are not read.
        {1, "#FF0A0B0C99", 0xFF0C0B0Au, "#FF0A0B0C"},
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

// Two texts of different categories share one colour value, so they are in
// no group together: whichever is edited last decides what colors.xml holds,
// whatever their order on the screen.
TEST(SaveColorsTest, TheLastColourEditStands) {
    test::TempFolder folder;
    test::LogCapture log(folder.path());
    test::WriteText(folder / "P/theme.wtpj",
                    "{\"name\": \"theme\", \"dpi\": \"xxhdpi\", \"density\": 320}");
    test::ModuleFolder module(folder / "P/theme/launcher");
    module.WriteDefault();
    module.WriteTemplate(
        "<category list=\"时钟|文字\" /><screen>"
        "<icon left=\"zero\" top=\"zero\" width=\"screen_w\" height=\"screen_h\" "
        "res=\"wallpaper\" category=\"时钟\" />"
        "<text left=\"label_left\" top=\"label_top\" text=\"12:00\" size=\"label_size\" "
        "color=\"shared_color\" category=\"时钟\" />"
        "<text left=\"block_left\" top=\"block_top\" text=\"Monday\" size=\"label_size\" "
        "color=\"shared_color\" category=\"文字\" /></screen>");
    module.WriteColors({{"shared_color", "#FF000000"}, {"kept_color", "#abc"}});
    ThemeProject project;
    ASSERT_TRUE(project.Open(folder / "P/theme.wtpj"));
    const struct {
        int element;
        const char* color;
        const char* saved;
    } edits[] = {
        {1, "ff0000", "#FFFF0000"}, {2, "00ff00", "#FF00FF00"}, {1, "0000ff", "#FF0000FF"}};
    for (const auto& edit : edits) {
        ASSERT_TRUE(SetElementColor(project, "桌面", 0, edit.element, edit.color));
        ASSERT_TRUE(SaveColors(project));
        const std::string colors = test::ReadText(module / "content/res/values/colors.xml");
        EXPECT_NE(colors.find(std::string("<color name=\"shared_color\">") + edit.saved),
                  std::string::npos)
            << edit.element << " " << colors;
        // A value nobody edited keeps its own text.
        EXPECT_NE(colors.find("<color name=\"kept_color\">#abc</color>"), std::string::npos)
            << colors;
    }
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

// A colors.xml whose colours did not change is not written again, even
// where printing it anew would change its declaration: a colour edit is an
// undo step of only the files it changed.
TEST_F(ColorReplacementTest, SaveColorsLeavesUnchangedFilesAlone) {
    const std::string text = test::ReadText(Values("colors.xml"));
    const std::string odd =
        "<?xml version='1.0' encoding='utf-8' ?>\n" +
        text.substr(text.find("?>") == std::string::npos ? 0 : text.find("?>") + 2);
    test::WriteText(Values("colors.xml"), odd);
    ThemeProject reopened;
    ASSERT_TRUE(reopened.Open(fixture_.project_file()));
    ASSERT_TRUE(SaveColors(reopened));
    EXPECT_EQ(test::ReadText(Values("colors.xml")), odd);
    ASSERT_TRUE(SetElementColor(reopened, "桌面", 0, 1, "#0a0b0c"));
    ASSERT_TRUE(SaveColors(reopened));
    EXPECT_NE(test::ReadText(Values("colors.xml")).find("#FF0A0B0C"), std::string::npos);
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
