#include "engine/image_replacement.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/icon_exclusion_list.h"
#include "engine/page_fixture.h"
#include "engine/redraw_commands.h"
#include "gfx/image_decode.h"

namespace sw {
namespace {

namespace fs = std::filesystem;
using test::PageProject;

TEST(NoDpiTwinTest, Paths) {
    const std::string root = "/p/theme/launcher/";
    const struct {
        std::string path;
        std::string twin;  // "": none
    } cases[] = {
        {root + "content/res/drawable-nodpi/clock_bg_no.png",
         root + "content/res/drawable-xxhdpi/clock_bg.png"},
        {root + "content/res/drawable-nodpi/frame_no.9.png",
         root + "content/res/drawable-xxhdpi/frame.9.png"},
        // The extension starts at the last dot unless the name is a nine-patch.
        {root + "content/res/drawable-nodpi/a.b_no.png",
         root + "content/res/drawable-xxhdpi/a.b.png"},
        {root + "content/res/drawable-nodpi/a_no.jpg", root + "content/res/drawable-xxhdpi/a.jpg"},
        {root + "content/res/drawable-nodpi/clock_bg.png", ""},
        {root + "content/res/drawable-nodpi/no.png", ""},
        {root + "content/res/drawable-nodpi/clock_no", ""},
        {root + "content/res/drawable-xxhdpi/clock_bg_no.png", ""},
        {root + "content/res/drawable-nodpi/b_no.png.bak",
         ""},  // "/b_no.png" does not end in "_no"
    };
    for (const auto& c : cases) {
        std::string twin = "untouched";
        EXPECT_EQ(NoDpiTwin(c.path, twin), !c.twin.empty()) << c.path;
        EXPECT_EQ(twin, c.twin.empty() ? "untouched" : c.twin) << c.path;
    }
}

class ImageReplacementTest : public test::OpenPageProjectTest {
  protected:
    std::string Xxhdpi(const std::string& name) const {
        return fixture_.launcher() + "/content/res/drawable-xxhdpi/" + name;
    }
    std::string Nodpi(const std::string& name) const {
        return fixture_.launcher() + "/content/res/drawable-nodpi/" + name;
    }
    // A red PNG outside the project, as the designer would choose it.
    std::string RedPng() const {
        const std::string path = fixture_.root() + "/chosen/red.png";
        test::WriteSolidPng(path, 12, 6, test::Rgb(255, 0, 0));
        return path;
    }
};

TEST_F(ImageReplacementTest, IconWithANoDpiNameAlsoReplacesItsTwin) {
    const std::string source = RedPng();
    ASSERT_FALSE(fs::exists(Xxhdpi("clock_bg.png")));
    ASSERT_TRUE(ReplaceImage(project_, "桌面", 1, 3, 7, source));  // the index is not used
    EXPECT_EQ(test::ReadText(Nodpi("clock_bg_no.png")), test::ReadText(source));
    EXPECT_EQ(test::ReadText(Xxhdpi("clock_bg.png")), test::ReadText(source));
}

TEST_F(ImageReplacementTest, OtherTagsReplaceTheImageAtTheIndex) {
    const std::string source = RedPng();
    const std::string before = test::ReadText(Xxhdpi("dot_a.png"));
    ASSERT_TRUE(ReplaceImage(project_, "桌面", 1, 4, 2, source));
    EXPECT_EQ(test::ReadText(Xxhdpi("dot_c.png")), test::ReadText(source));
    EXPECT_EQ(test::ReadText(Xxhdpi("dot_a.png")), before);
    EXPECT_EQ(test::ReadText(Xxhdpi("dot_d.png")), before);
}

TEST_F(ImageReplacementTest, RedrawsTheScreensTheElementDecides) {
    const std::string source = RedPng();
    const struct {
        int screen;
        int element;
        std::vector<bool> redrawn;
    } cases[] = {
        // Element 0 is shown on every screen.
        {1, 0, {true, true, true, true}},
        // Screen 1 is drawn together with screen 0.
        {1, 3, {true, true, false, false}},
        {0, 4, {true, true, false, false}},
        {3, 1, {false, false, false, true}},
    };
    for (const auto& c : cases) {
        PageProject::DeletePreviews(fixture_.launcher());
        ASSERT_TRUE(ReplaceImage(project_, "桌面", c.screen, c.element, 0, source));
        EXPECT_EQ(LauncherPreviews(), c.redrawn) << c.screen << "/" << c.element;
    }
}

TEST_F(ImageReplacementTest, ThumbnailsFollowTheNewImage) {
    ASSERT_TRUE(DrawThumbNail(project_, "桌面", 54, 96));
    const std::string black = fixture_.root() + "/chosen/black.jpg";
    test::WriteSolidJpeg(black, 54, 96, test::Rgb(0, 0, 0));
    ASSERT_TRUE(ReplaceImage(project_, "桌面", 0, 0, 0, black));
    for (int n = 1; n <= 4; ++n) {
        gfx::Image thumbnail;
        ASSERT_TRUE(gfx::DecodeImage(PageProject::Thumbnail(fixture_.launcher(), n), &thumbnail));
        EXPECT_LT(thumbnail.PixelAt(50, 5).r, 16) << n;
    }
}

TEST_F(ImageReplacementTest, RefusesWhatDoesNotExist) {
    const std::string source = RedPng();
    const std::string wallpaper = test::ReadText(Xxhdpi("wallpaper.jpg"));
    const struct {
        const char* module;
        int screen;
        int element;
        int image;
        std::string source;
    } cases[] = {
        {"无此模块", 0, 0, 0, source},
        {"桌面", 4, 0, 0, source},
        {"桌面", 0, 5, 0, source},
        {"桌面", 1, 4, 4, source},
        {"桌面", 1, 4, -1, source},
        {"桌面", 0, 0, 0, fixture_.root() + "/chosen/none.png"},
        // A folder is no image, and would be copied as a tree.
        {"桌面", 0, 0, 0, fixture_.root() + "/chosen"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(ReplaceImage(project_, c.module, c.screen, c.element, c.image, c.source))
            << c.module << " " << c.screen << "/" << c.element << " " << c.source;
    }
    EXPECT_TRUE(fs::is_regular_file(Xxhdpi("wallpaper.jpg")));
    EXPECT_EQ(test::ReadText(Xxhdpi("wallpaper.jpg")), wallpaper);
    EXPECT_TRUE(log_.HasSequence({"ERROR\tsave theme image " + fixture_.root() +
                                  "/chosen/none.png refused: not a readable image"}));
}

// An image that cannot be read is refused before anything is copied: the
// module's own images stay as they were and the project still opens.
TEST_F(ImageReplacementTest, AnUnreadableImageLeavesTheOldFiles) {
    const std::string good = RedPng();
    const std::string png = test::ReadText(good);
    const std::string truncated = fixture_.root() + "/chosen/truncated.png";
    const std::string text = fixture_.root() + "/chosen/notes.png";
    const std::string empty = fixture_.root() + "/chosen/empty.jpg";
    test::WriteText(truncated, png.substr(0, png.size() / 2));
    test::WriteText(text, "not an image at all");
    test::WriteText(empty, "");
    const struct {
        int screen;
        int element;
        std::vector<std::string> files;  // what the element would overwrite
    } targets[] = {
        {0, 0, {Xxhdpi("wallpaper.jpg")}},
        {1, 3, {Nodpi("clock_bg_no.png")}},  // an icon with its no-dpi twin
        {1, 4, {Xxhdpi("dot_a.png")}},
    };
    for (const std::string& source : {truncated, text, empty}) {
        for (const auto& target : targets) {
            std::vector<std::string> before;
            for (const std::string& file : target.files) {
                before.push_back(test::ReadText(file));
            }
            EXPECT_FALSE(ReplaceImage(project_, "桌面", target.screen, target.element, 0, source))
                << source;
            for (std::size_t i = 0; i < target.files.size(); ++i) {
                EXPECT_EQ(test::ReadText(target.files[i]), before[i]) << source;
            }
        }
        EXPECT_TRUE(log_.HasSequence(
            {"ERROR\tsave theme image " + source + " refused: not a readable image"}));
    }
    EXPECT_FALSE(fs::exists(Xxhdpi("clock_bg.png")));
    ThemeProject reopened;
    EXPECT_TRUE(reopened.Open(fixture_.project_file()));
}

class SaveDeleteImageTest : public test::OpenPageProjectTest {
  protected:
    void SetUp() override {
        test::OpenPageProjectTest::SetUp();
        IconExclusionList::Reset();
    }
    void TearDown() override { IconExclusionList::Reset(); }
};

TEST_F(SaveDeleteImageTest, AddingTwiceAndRemovingBoth) {
    const std::string builtIn = IconExclusionList::BuiltIn();
    ASSERT_EQ(IconExclusionList::Text(), builtIn);
    ASSERT_TRUE(SaveDeleteImage(project_, "桌面", 1, 1, "0"));
    ASSERT_TRUE(SaveDeleteImage(project_, "桌面", 3, 2, "0"));
    EXPECT_EQ(IconExclusionList::Text(), builtIn + ",app_icon.png,app_icon.png");
    ASSERT_TRUE(SaveDeleteImage(project_, "桌面", 1, 1, "1"));
    EXPECT_EQ(IconExclusionList::Text(), builtIn);
}

TEST_F(SaveDeleteImageTest, FlagsAndTags) {
    const std::string builtIn = IconExclusionList::BuiltIn();
    const struct {
        int screen;
        int element;
        const char* flag;
        bool result;
        std::string text;
    } cases[] = {
        // Other flags, and tags other than icon, change nothing.
        {1, 1, "2", true, builtIn},
        {1, 4, "0", true, builtIn},
        {0, 1, "0", true, builtIn},
        // The flag is read as C atoi does: no digits is 0.
        {0, 4, "x", true, builtIn + ",misc.png"},
        {0, 4, "1st", true, builtIn},
        {0, 99, "0", false, builtIn},
        {9, 0, "0", false, builtIn},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SaveDeleteImage(project_, "桌面", c.screen, c.element, c.flag), c.result)
            << c.screen << "/" << c.element << " " << c.flag;
        EXPECT_EQ(IconExclusionList::Text(), c.text) << c.screen << "/" << c.element;
    }
    EXPECT_FALSE(SaveDeleteImage(project_, "无此模块", 1, 1, "0"));
    // No file is touched.
    EXPECT_TRUE(fs::exists(fixture_.launcher() + "/content/res/drawable-xxhdpi/misc.png"));
}

TEST(IconExclusionListTest, RemovesWholeEntriesOnly) {
    IconExclusionList::Reset();
    const std::string builtIn = IconExclusionList::BuiltIn();
    ASSERT_TRUE(IconExclusionList::Add("a.png"));
    ASSERT_TRUE(IconExclusionList::Add("a.png_old.png"));
    ASSERT_TRUE(IconExclusionList::Add("a.png"));
    IconExclusionList::Remove("a.png");
    EXPECT_EQ(IconExclusionList::Text(), builtIn + ",a.png_old.png");
    // A comma would split the name in two when packing reads the list.
    EXPECT_FALSE(IconExclusionList::Add("b,c.png"));
    EXPECT_EQ(IconExclusionList::Text(), builtIn + ",a.png_old.png");
    // Built-in entries go like any other.
    IconExclusionList::Remove(builtIn.substr(1, builtIn.find(',', 1) - 1));
    EXPECT_EQ(IconExclusionList::Text(), builtIn.substr(builtIn.find(',', 1)) + ",a.png_old.png");
    IconExclusionList::Reset();
    EXPECT_EQ(IconExclusionList::Text(), builtIn);
}

}  // namespace
}  // namespace sw
