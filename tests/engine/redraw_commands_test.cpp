#include "engine/redraw_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/page_fixture.h"
#include "engine/thumbnails.h"
#include "gfx/image_decode.h"

namespace sw {
namespace {

namespace fs = std::filesystem;
using test::PageProject;

class RedrawCommandsTest : public test::OpenPageProjectTest {
  protected:
    std::vector<bool> LockPreview() const {
        return PageProject::PreviewsPresent(fixture_.lockscreen(), 1);
    }
    void DeleteAllPreviews() const {
        PageProject::DeletePreviews(fixture_.launcher());
        PageProject::DeletePreviews(fixture_.lockscreen());
    }
    static gfx::ImageInfo Info(const std::string& path) {
        gfx::ImageInfo info;
        EXPECT_TRUE(gfx::ReadImageInfo(path, &info)) << path;
        return info;
    }
};

const std::vector<bool> kNone = {false, false, false, false};
const std::vector<bool> kFirstTwo = {true, true, false, false};
const std::vector<bool> kAll = {true, true, true, true};

TEST_F(RedrawCommandsTest, ThumbnailsHaveExactlyTheAskedSize) {
    const struct {
        int width;
        int height;
    } sizes[] = {{54, 96}, {100, 100}, {1, 3}, {300, 120}};
    for (const auto& size : sizes) {
        ASSERT_TRUE(DrawThumbNail(project_, "桌面", size.width, size.height));
        EXPECT_EQ(project_.thumbnail_width(), size.width);
        EXPECT_EQ(project_.thumbnail_height(), size.height);
        for (int n = 1; n <= 4; ++n) {
            const gfx::ImageInfo info = Info(PageProject::Thumbnail(fixture_.launcher(), n));
            EXPECT_EQ(info.format, gfx::ImageFormat::kJpeg);
            EXPECT_EQ(info.width, size.width);
            EXPECT_EQ(info.height, size.height);
        }
    }
    // Only the module asked for.
    EXPECT_FALSE(fs::exists(PageProject::Thumbnail(fixture_.lockscreen(), 1)));
}

TEST_F(RedrawCommandsTest, ThumbnailSizeRules) {
    ASSERT_TRUE(DrawThumbNail(project_, "桌面", 54, 96));
    // A size of 0 is a success that changes nothing.
    EXPECT_TRUE(DrawThumbNail(project_, "桌面", 80, 0));
    EXPECT_TRUE(DrawThumbNail(project_, "桌面", -1, 80));
    EXPECT_EQ(project_.thumbnail_width(), 54);
    EXPECT_EQ(project_.thumbnail_height(), 96);
    // An unknown module fails, but the page's size is kept.
    EXPECT_FALSE(DrawThumbNail(project_, "无此模块", 30, 40));
    EXPECT_EQ(project_.thumbnail_width(), 30);
    // Nothing before a project is loaded.
    ThemeProject empty;
    EXPECT_FALSE(DrawThumbNail(empty, "桌面", 54, 96));
    EXPECT_TRUE(RenderThumbnails(launcher(), 0, 10));
}

TEST_F(RedrawCommandsTest, MissingPreviewIsDrawnBeforeItIsScaled) {
    fs::remove(PageProject::Preview(fixture_.launcher(), 2));
    fs::remove(PageProject::Thumbnail(fixture_.launcher(), 2));
    ASSERT_TRUE(DrawThumbNail(project_, "桌面", 54, 96));
    EXPECT_EQ(LauncherPreviews(), kAll);
    EXPECT_EQ(Info(PageProject::Thumbnail(fixture_.launcher(), 2)).width, 54);
}

TEST_F(RedrawCommandsTest, UnreadablePreviewFailsTheModule) {
    test::WriteText(PageProject::Preview(fixture_.launcher(), 1), "not a picture");
    EXPECT_FALSE(DrawThumbNail(project_, "桌面", 54, 96));
    EXPECT_TRUE(
        log_.HasSequence({"ERROR\tfail to load " + PageProject::Preview(fixture_.launcher(), 1)}));
}

TEST_F(RedrawCommandsTest, ThumbnailShowsThePreview) {
    ASSERT_TRUE(DrawThumbNail(project_, "桌面", 54, 96));
    gfx::Image thumbnail;
    ASSERT_TRUE(gfx::DecodeImage(PageProject::Thumbnail(fixture_.launcher(), 1), &thumbnail));
    // The white wallpaper in the corner, the half-red colour block at
    // (50..150, 200..250) of the screen, which is (5..15, 20..25) here.
    const gfx::Pixel corner = thumbnail.PixelAt(2, 90);
    EXPECT_GT(corner.r, 240);
    EXPECT_GT(corner.b, 240);
    const gfx::Pixel block = thumbnail.PixelAt(10, 22);
    EXPECT_GT(block.r, 240);
    EXPECT_NEAR(block.g, 127, 12);
    EXPECT_NEAR(block.b, 127, 12);
}

TEST_F(RedrawCommandsTest, RedrawShowsAnotherImageOnEveryScreen) {
    DeleteAllPreviews();
    ASSERT_TRUE(Redraw(project_, "桌面", 1, 4, 3));
    EXPECT_EQ(launcher().FindElement(1, 4)->image_index, 3);
    EXPECT_EQ(LauncherPreviews(), kAll);
    EXPECT_EQ(LockPreview(), std::vector<bool>{false});
}

TEST_F(RedrawCommandsTest, RedrawRefusesWhatDoesNotExist) {
    const struct {
        const char* module;
        int screen;
        int element;
        int image;
    } cases[] = {{"无此模块", 1, 4, 0}, {"桌面", 4, 0, 0}, {"桌面", 1, 5, 0},
                 {"桌面", -1, 0, 0},    {"桌面", 1, 4, 4}, {"桌面", 1, 4, -1}};
    DeleteAllPreviews();
    for (const auto& c : cases) {
        EXPECT_FALSE(Redraw(project_, c.module, c.screen, c.element, c.image))
            << c.module << " " << c.screen << "/" << c.element << " image " << c.image;
    }
    EXPECT_EQ(launcher().FindElement(1, 4)->image_index, 1);
    EXPECT_EQ(LauncherPreviews(), kNone);
    // A text has no images: any index is taken and the screens are drawn.
    EXPECT_TRUE(Redraw(project_, "桌面", 0, 1, 3));
    EXPECT_EQ(LauncherPreviews(), kAll);
}

TEST_F(RedrawCommandsTest, RedrawAllDrawsTheFirstTwoScreensOfEveryModule) {
    launcher().FindElement(0, 0)->image_index = 5;  // no such image
    DeleteAllPreviews();
    ASSERT_TRUE(RedrawAll(project_));
    EXPECT_EQ(launcher().FindElement(0, 0)->image_index, 0);
    EXPECT_EQ(LauncherPreviews(), kFirstTwo);
    EXPECT_EQ(LockPreview(), std::vector<bool>{true});

    DeleteAllPreviews();
    ASSERT_TRUE(RedrawAll1(project_));
    EXPECT_EQ(LauncherPreviews(), kAll);
    EXPECT_EQ(LockPreview(), std::vector<bool>{true});
}

TEST_F(RedrawCommandsTest, RedrawAllPassesOverAModuleThatCannotBeDrawn) {
    DeleteAllPreviews();
    ASSERT_TRUE(DrawThumbNail(project_, "锁屏", 27, 48));
    DeleteAllPreviews();
    // The launcher's previews cannot be written: a file stands where their
    // folder goes.
    fs::remove_all(fixture_.launcher() + "/preview/xxhdpi");
    test::WriteText(fixture_.launcher() + "/preview/xxhdpi", "in the way");
    EXPECT_TRUE(RedrawAll(project_));
    EXPECT_TRUE(log_.HasSequence({"ERROR\tdraw screen 0 failed"}));
    EXPECT_EQ(LauncherPreviews(), kNone);
    EXPECT_EQ(LockPreview(), std::vector<bool>{true});
    // The launcher's thumbnails were not attempted, the lock screen's were.
    EXPECT_FALSE(fs::exists(PageProject::Thumbnail(fixture_.launcher(), 1)));
    EXPECT_EQ(Info(PageProject::Thumbnail(fixture_.lockscreen(), 1)).width, 27);
}

TEST_F(RedrawCommandsTest, SetElementGeometryMovesAnElementOfTheFirstScreen) {
    DeleteAllPreviews();
    ASSERT_TRUE(SetElementGeometry(project_, "桌面", 4, 10, 20, 30, 40, 7, false));
    const ThemeElement& moved = *launcher().FindElement(0, 4);
    EXPECT_EQ(moved.rect, (Rect{10, 20, 40, 60}));
    EXPECT_EQ(moved.image_width, 30);
    EXPECT_EQ(moved.image_height, 40);
    EXPECT_EQ(moved.size, 7);
    EXPECT_EQ(LauncherPreviews(), kNone);

    ASSERT_TRUE(SetElementGeometry(project_, "桌面", 4, 10, 20, 30, 40, 7, true));
    EXPECT_EQ(LauncherPreviews(), kFirstTwo);
}

TEST_F(RedrawCommandsTest, SetElementGeometryOfAMissingElementStillRedraws) {
    DeleteAllPreviews();
    EXPECT_FALSE(SetElementGeometry(project_, "桌面", 99, 0, 0, 1, 1, 0, true));
    EXPECT_EQ(LauncherPreviews(), kFirstTwo);
    EXPECT_FALSE(SetElementGeometry(project_, "无此模块", 0, 0, 0, 1, 1, 0, true));
}

}  // namespace
}  // namespace sw
