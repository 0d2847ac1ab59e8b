#include "engine/redraw_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <mutex>

#include "engine/color_replacement.h"
#include "engine/image_replacement.h"
#include "engine/screen_drawing.h"

#include "engine/page_fixture.h"
#include "engine/thumbnails.h"
#include "gfx/canvas.h"
#include "gfx/image_decode.h"
#include "gfx/image_encode.h"

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

// Screens are drawn side by side, but the one the designer acted on is
// begun first, and every screen drawn gets its thumbnail.
TEST_F(RedrawCommandsTest, TheScreenActedOnIsDrawnFirst) {
    const std::string newWallpaper = fixture_.root() + "/new_wallpaper.jpg";
    const std::string newIcon = fixture_.root() + "/new_icon.png";
    {
        gfx::Canvas canvas(540, 960);
        canvas.FillRect(gfx::Rect{0, 0, 540, 960}, gfx::Color{0, 128, 255}, 255);
        ASSERT_TRUE(gfx::SaveJpeg(canvas.image(), newWallpaper));
        ASSERT_TRUE(gfx::SavePng(canvas.image(), newIcon));
    }
    const struct {
        const char* edit;
        std::function<bool()> run;
        std::vector<int> order;
    } cases[] = {
        {"another image on screen 3",
         [&] { return Redraw(project_, "桌面", 3, 1, 0); },
         {3, 0, 1, 2}},
        {"another image on screen 0",
         [&] { return Redraw(project_, "桌面", 0, 4, 0); },
         {0, 1, 2, 3}},
        {"the wallpaper replaced on screen 2",
         [&] { return ReplaceImage(project_, "桌面", 2, 0, 0, newWallpaper); },
         {2, 0, 1, 3}},
        {"an icon replaced on screen 3",
         [&] { return ReplaceImage(project_, "桌面", 3, 1, 0, newIcon); },
         {3}},
        {"a colour on screen 1",
         [&] { return SetElementColor(project_, "桌面", 1, 2, "00FF00"); },
         {1, 0, 2, 3}},
        {"a move on the first screen",
         [&] { return SetElementGeometry(project_, "桌面", 4, 1, 2, 30, 40, 0, true); },
         {0, 1}},
    };
    ASSERT_TRUE(DrawThumbNail(project_, "桌面", 54, 96));
    for (const auto& c : cases) {
        std::mutex mutex;
        std::vector<int> begun;
        SetScreenDrawingHook([&](const ThemePackage& screen) {
            std::lock_guard lock(mutex);
            begun.push_back(screen.index);
        });
        PageProject::DeletePreviews(fixture_.launcher());
        for (int n = 1; n <= 4; ++n) {
            fs::remove(PageProject::Thumbnail(fixture_.launcher(), n));
        }
        const bool done = c.run();
        SetScreenDrawingHook(nullptr);
        EXPECT_TRUE(done) << c.edit;
        EXPECT_EQ(begun, c.order) << c.edit;
        for (int n = 1; n <= 4; ++n) {
            EXPECT_TRUE(fs::exists(PageProject::Thumbnail(fixture_.launcher(), n)))
                << c.edit << ": thumbnail " << n;
        }
    }
}

}  // namespace
}  // namespace sw
