#include "engine/screen_drawing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "engine/engine_fixture.h"
#include "engine/module_loader.h"
#include "gfx/image_decode.h"
#include "gfx/text.h"

namespace sw {
namespace {

namespace fs = std::filesystem;
using test::Bgra;
using test::Rgb;
using test::WriteSolidPng;

bool Near(gfx::Pixel p, int r, int g, int b, int tolerance) {
    return std::abs(p.r - r) <= tolerance && std::abs(p.g - g) <= tolerance &&
           std::abs(p.b - b) <= tolerance;
}

std::string Describe(gfx::Pixel p) {
    return "rgb(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) +
           ")";
}

class ScreenDrawingTest : public ::testing::Test {
  protected:
    ScreenDrawingTest() : log_(folder_.path()), fixture_(folder_ / "launcher") {
        fixture_.WriteDefault();
    }

    bool Load() {
        module_ = std::make_unique<ThemeModule>();
        module_->context.screen_width = 1080;
        module_->context.screen_height = 1920;
        module_->context.density = 320;
        return LoadModule(*module_, fixture_.path());
    }

    void WriteScreens(const std::string& screens) {
        fixture_.WriteTemplate("<category list=\"a\" />\n" + screens);
    }

    std::string Preview(int n) const {
        return fixture_ / ("preview/xxhdpi/preview" + std::to_string(n) + "_suit.jpg");
    }

    gfx::Image ReadPreview(int n) const {
        gfx::Image image;
        EXPECT_TRUE(gfx::DecodeImage(Preview(n), &image)) << Preview(n);
        return image;
    }

    // A canvas of the screen's size, white all over.
    static gfx::Canvas WhiteCanvas(int width = 200, int height = 100) {
        gfx::Canvas canvas(width, height);
        canvas.FillRect({0, 0, width, height}, {255, 255, 255}, 255);
        return canvas;
    }

    test::TempFolder folder_;
    test::LogCapture log_;
    test::ModuleFolder fixture_;
    std::unique_ptr<ThemeModule> module_;
};

TEST_F(ScreenDrawingTest, WritesOnePreviewPerScreen) {
    ASSERT_TRUE(Load());
    ASSERT_TRUE(RedrawScreens(*module_, -1));
    EXPECT_EQ(PreviewPath(module_->screens[1]), Preview(2));
    for (int n : {1, 2}) {
        const gfx::Image preview = ReadPreview(n);
        EXPECT_EQ(preview.width(), 1080);
        EXPECT_EQ(preview.height(), 1920);
    }
    const gfx::Image first = ReadPreview(1);
    // The colour block #80FF0000 over the white wallpaper: half-mixed inside,
    // untouched around it.
    EXPECT_TRUE(Near(first.PixelAt(200, 450), 255, 127, 127, 3))
        << Describe(first.PixelAt(200, 450));
    for (auto [x, y] : {std::pair{90, 450}, {310, 450}, {200, 390}, {200, 510}}) {
        EXPECT_TRUE(Near(first.PixelAt(x, y), 255, 255, 255, 3)) << x << "," << y;
    }
    // The opaque blue icon of the second screen, on white.
    const gfx::Image second = ReadPreview(2);
    EXPECT_TRUE(Near(second.PixelAt(348, 648), 0, 0, 255, 3)) << Describe(second.PixelAt(348, 648));
    EXPECT_TRUE(Near(second.PixelAt(290, 648), 255, 255, 255, 3));
}

TEST_F(ScreenDrawingTest, ColourBlockBlendsWithItsAlpha) {
    ASSERT_TRUE(Load());
    gfx::Canvas canvas = WhiteCanvas(400, 600);
    const ThemeElement& block = module_->screens[0].elements[2];
    ASSERT_TRUE(DrawElement(block, canvas));
    EXPECT_TRUE(Near(canvas.image().PixelAt(100, 400), 255, 127, 127, 1));
    EXPECT_TRUE(Near(canvas.image().PixelAt(299, 499), 255, 127, 127, 1));
    EXPECT_TRUE(Near(canvas.image().PixelAt(99, 400), 255, 255, 255, 0));
    EXPECT_TRUE(Near(canvas.image().PixelAt(300, 499), 255, 255, 255, 0));
    EXPECT_TRUE(Near(canvas.image().PixelAt(299, 500), 255, 255, 255, 0));
}

TEST_F(ScreenDrawingTest, ClipDrawsTheFittingPartOneToOne) {
    // 40 x 40: red left half, blue right half; green bottom half.
    test::WritePng(fixture_.Image("big.png"), 40, 40, [](int x, int y) {
        return y >= 20 ? Rgb(0, 255, 0) : x < 20 ? Rgb(255, 0, 0) : Rgb(0, 0, 255);
    });
    fixture_.WriteTemplateValues({{"x", "10px"}, {"w", "30px"}, {"h", "10px"}});
    WriteScreens(
        "<screen>\n"
        "  <icon left=\"x\" top=\"x\" width=\"w\" height=\"h\" res=\"big\" clip=\"yes\" />\n"
        "  <icon left=\"x\" top=\"x\" width=\"w\" height=\"h\" res=\"big\" />\n"
        "</screen>\n");
    ASSERT_TRUE(Load());
    gfx::Canvas clipped = WhiteCanvas();
    ASSERT_TRUE(DrawElement(module_->screens[0].elements[0], clipped));
    // Columns 10..29 red, 30..39 blue, rows 10..19 only; no green at all.
    EXPECT_TRUE(Near(clipped.image().PixelAt(10, 10), 255, 0, 0, 0));
    EXPECT_TRUE(Near(clipped.image().PixelAt(29, 19), 255, 0, 0, 0));
    EXPECT_TRUE(Near(clipped.image().PixelAt(30, 19), 0, 0, 255, 0));
    EXPECT_TRUE(Near(clipped.image().PixelAt(39, 10), 0, 0, 255, 0));
    EXPECT_TRUE(Near(clipped.image().PixelAt(40, 15), 255, 255, 255, 0));
    EXPECT_TRUE(Near(clipped.image().PixelAt(20, 20), 255, 255, 255, 0));

    // Without clip the whole image is squeezed in: green shows at the bottom.
    gfx::Canvas scaled = WhiteCanvas();
    ASSERT_TRUE(DrawElement(module_->screens[0].elements[1], scaled));
    EXPECT_TRUE(Near(scaled.image().PixelAt(20, 19), 0, 255, 0, 8))
        << Describe(scaled.image().PixelAt(20, 19));
    EXPECT_TRUE(Near(scaled.image().PixelAt(20, 20), 255, 255, 255, 0));
}

TEST_F(ScreenDrawingTest, TextIsDrawnInsideItsRectangle) {
    fixture_.WriteTemplateValues({{"x", "20px"}, {"size", "30px"}});
    WriteScreens(
        "<screen>\n"
        "  <text left=\"x\" top=\"x\" text=\"中文 Text\" size=\"size\" color=\"label_color\" />\n"
        "</screen>\n");
    ASSERT_TRUE(Load());
    const ThemeElement& text = module_->screens[0].elements[0];
    gfx::Canvas canvas = WhiteCanvas(300, 100);
    ASSERT_TRUE(DrawElement(text, canvas));
    int inked = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 300; ++x) {
            const bool white = Near(canvas.image().PixelAt(x, y), 255, 255, 255, 0);
            const bool inside = x >= text.rect.left && x < text.rect.right && y >= text.rect.top &&
                                y < text.rect.bottom;
            if (!inside) {
                ASSERT_TRUE(white) << x << "," << y;
            } else if (!white) {
                ++inked;
            }
        }
    }
    EXPECT_GT(inked, 50);
}

TEST_F(ScreenDrawingTest, NinePatchElementsStretchByTheirMarks) {
    // 3 x 3 marks around one red pixel: fills the whole rectangle.
    test::WritePng(fixture_.Image("frame.9.png"), 3, 3, [](int x, int y) {
        if (x == 1 && y == 1) {
            return Rgb(255, 0, 0);
        }
        return (x == 1 && y == 0) || (x == 0 && y == 1) ? Bgra(0, 0, 0, 255) : Bgra(0, 0, 0, 0);
    });
    fixture_.WriteTemplateValues({{"x", "10px"}, {"w", "50px"}});
    WriteScreens(
        "<screen><icon left=\"x\" top=\"x\" width=\"w\" height=\"w\" res=\"frame\" /></screen>");
    ASSERT_TRUE(Load());
    gfx::Canvas canvas = WhiteCanvas();
    ASSERT_TRUE(DrawElement(module_->screens[0].elements[0], canvas));
    EXPECT_TRUE(Near(canvas.image().PixelAt(10, 10), 255, 0, 0, 0));
    EXPECT_TRUE(Near(canvas.image().PixelAt(59, 59), 255, 0, 0, 0));
    EXPECT_TRUE(Near(canvas.image().PixelAt(60, 59), 255, 255, 255, 0));
}

TEST_F(ScreenDrawingTest, MaskDrawsFirstImageThenIconAndForeground) {
    WriteSolidPng(fixture_.Image("m_bg.png"), 10, 10, Rgb(255, 0, 0));
    // The icon is opaque green on its left half; the foreground half-covers
    // the top with blue.
    test::WritePng(fixture_.Image("m_icon.png"), 10, 10,
                   [](int x, int) { return x < 5 ? Rgb(0, 255, 0) : Bgra(0, 0, 0, 0); });
    test::WritePng(fixture_.Image("m_fg.png"), 10, 10,
                   [](int, int y) { return y < 5 ? Rgb(0, 0, 255) : Bgra(0, 0, 0, 0); });
    WriteSolidPng(fixture_.Image("m_mask.png"), 10, 10, Rgb(1, 1, 1));
    fixture_.WriteTemplateValues({{"x", "0px"}, {"w", "20px"}});
    WriteScreens(
        "<screen><mask left=\"x\" top=\"x\" width=\"w\" height=\"w\" "
        "res=\"m_bg|m_icon|m_fg|m_mask\" /></screen>");
    ASSERT_TRUE(Load());
    const ThemeElement& mask = module_->screens[0].elements[0];
    gfx::Canvas canvas = WhiteCanvas();
    ASSERT_TRUE(DrawElement(mask, canvas));
    EXPECT_TRUE(Near(canvas.image().PixelAt(2, 2), 0, 0, 255, 0));    // foreground
    EXPECT_TRUE(Near(canvas.image().PixelAt(2, 17), 0, 255, 0, 0));   // icon
    EXPECT_TRUE(Near(canvas.image().PixelAt(17, 17), 255, 0, 0, 0));  // first image
    EXPECT_TRUE(Near(canvas.image().PixelAt(25, 5), 255, 255, 255, 0));

    fs::remove(fixture_.Image("m_mask.png"));
    log_.Clear();
    EXPECT_FALSE(DrawElement(mask, canvas));
    EXPECT_EQ(log_.Lines(), (std::vector<std::string>{"ERROR\tfail to load 第三方mask/icon/fg: " +
                                                      fixture_.Image("m_mask.png") + ", " +
                                                      fixture_.Image("m_icon.png")}));

    fs::remove(fixture_.Image("m_bg.png"));
    log_.Clear();
    EXPECT_FALSE(DrawElement(mask, canvas));
    EXPECT_EQ(log_.Lines(),
              (std::vector<std::string>{"ERROR\tfail to draw " + fixture_.Image("m_bg.png")}));
}

TEST_F(ScreenDrawingTest, RedrawsTheScreensItIsAskedFor) {
    std::string screens;
    for (int i = 0; i < 4; ++i) {
        screens +=
            "<screen><colorblock left=\"zero\" top=\"zero\" width=\"block_w\" height=\"block_h\" "
            "color=\"block_color\" /></screen>\n";
    }
    WriteScreens(screens);
    ASSERT_TRUE(Load());
    struct Case {
        int index;
        std::vector<int> drawn;  // preview numbers
    } const cases[] = {
        {3, {4}}, {1, {1, 2}}, {0, {1, 2}}, {2, {3}}, {-1, {1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        fs::remove_all(fixture_ / "preview");
        ASSERT_TRUE(RedrawScreens(*module_, c.index)) << c.index;
        for (int n = 1; n <= 4; ++n) {
            const bool expected = std::find(c.drawn.begin(), c.drawn.end(), n) != c.drawn.end();
            EXPECT_EQ(fs::exists(Preview(n)), expected) << "index " << c.index << ", preview " << n;
        }
    }
    log_.Clear();
    EXPECT_FALSE(RedrawScreens(*module_, 4));
    EXPECT_TRUE(log_.HasSequence({"ERROR\tdraw screen 4 failed"}));
}

// One redraw reads a picture shown on several screens once; the next redraw
// reads it again, so a file changed on disk shows at once.
TEST_F(ScreenDrawingTest, SharedPicturesAreReadAgainByEveryRedraw) {
    WriteScreens(
        "<screen>\n"
        "  <icon left=\"zero\" top=\"zero\" width=\"screen_w\" height=\"screen_h\" "
        "res=\"wallpaper\" />\n"
        "  <icon left=\"icon_left\" top=\"icon_top\" width=\"icon_size\" height=\"icon_size\"\n"
        "        res=\"wallpaper\" />\n"
        "</screen>\n"
        "<screen><icon left=\"zero\" top=\"zero\" width=\"screen_w\" height=\"screen_h\"\n"
        "        res=\"wallpaper\" /></screen>\n"
        "<screen><icon left=\"zero\" top=\"zero\" width=\"screen_w\" height=\"screen_h\"\n"
        "        res=\"wallpaper\" /></screen>\n");
    ASSERT_TRUE(Load());
    const struct {
        gfx::Pixel color;
        int index;
        std::vector<int> drawn;
    } cases[] = {
        {Rgb(0, 0, 0), -1, {1, 2, 3}},
        {Rgb(0, 255, 0), 1, {1, 2}},
        {Rgb(0, 0, 255), 2, {3}},
        {Rgb(255, 0, 0), -1, {1, 2, 3}},
    };
    for (const auto& c : cases) {
        WriteSolidPng(fixture_.Image("wallpaper.png"), 108, 192, c.color, false);
        ASSERT_TRUE(RedrawScreens(*module_, c.index));
        for (int n : c.drawn) {
            const gfx::Image preview = ReadPreview(n);
            for (auto [x, y] : {std::pair{10, 10}, {340, 640}, {1070, 1900}}) {
                EXPECT_TRUE(Near(preview.PixelAt(x, y), c.color.r, c.color.g, c.color.b, 3))
                    << "index " << c.index << ", preview " << n << " at " << x << "," << y << ": "
                    << Describe(preview.PixelAt(x, y));
            }
        }
    }
    // A picture that can no longer be read is outlined at its first use.
    fs::remove(fixture_.Image("wallpaper.png"));
    log_.Clear();
    EXPECT_TRUE(RedrawScreens(*module_, -1));
    EXPECT_TRUE(
        log_.HasSequence({"ERROR\tfail to load " + fixture_.Image("wallpaper.png"),
                          "WARN \telement 0 of screen 0 cannot be drawn: drawn as an outline"}));
}

TEST_F(ScreenDrawingTest, ScreenZeroAloneWhenItIsTheOnlyOne) {
    WriteScreens(
        "<screen><colorblock left=\"zero\" top=\"zero\" width=\"block_w\" height=\"block_h\" "
        "color=\"block_color\" /></screen>\n");
    ASSERT_TRUE(Load());
    EXPECT_TRUE(RedrawScreens(*module_, 0));
    EXPECT_TRUE(fs::exists(Preview(1)));
    EXPECT_FALSE(RedrawScreens(*module_, 1));
}

// An element that cannot be drawn (a broken picture, a text far larger than
// any screen) is outlined with a WARN line; its screen and the later screens
// are drawn all the same.
TEST_F(ScreenDrawingTest, AnElementThatCannotBeDrawnIsOutlinedAndNeverFailsItsScreen) {
    ASSERT_TRUE(Load());
    ASSERT_TRUE(RedrawScreens(*module_, -1));
    fs::remove(Preview(2));
    test::WriteText(fixture_.Image("wallpaper.png"), "broken");
    log_.Clear();
    EXPECT_TRUE(RedrawScreens(*module_, -1));
    EXPECT_EQ(log_.Lines(), (std::vector<std::string>{
                                "ERROR\tfail to load " + fixture_.Image("wallpaper.png"),
                                "WARN \telement 0 of screen 0 cannot be drawn: drawn as an outline",
                                "ERROR\tfail to load " + fixture_.Image("wallpaper.png"),
                                "WARN \telement 0 of screen 1 cannot be drawn: drawn as an outline",
                            }));
    EXPECT_TRUE(fs::exists(Preview(2)));
}

TEST(TextSizeTest, ASizeBeyondAnyScreenIsDrawnClampedAndLeavesTheCanvasUsable) {
    gfx::Canvas canvas(200, 200);
    EXPECT_TRUE(canvas.DrawText(0, 0, "文字", 99999, gfx::Color{255, 255, 255}));
    EXPECT_EQ(gfx::MeasureText(99999, "文字"), gfx::MeasureText(gfx::kMaxTextSize, "文字"));
    canvas.FillRect(gfx::Rect{0, 0, 10, 10}, gfx::Color{0, 255, 0}, 255);
    const gfx::Image& image = canvas.image();
    EXPECT_TRUE(Near(image.PixelAt(5, 5), 0, 255, 0, 0)) << Describe(image.PixelAt(5, 5));
}

TEST_F(ScreenDrawingTest, UnreadableLaterImagesFailWhenDrawn) {
    // Only the first image of a list is read at load; the second is read
    // when the page picks it.
    const std::string png = test::ReadText(fixture_.Image("app_icon.png"));
    test::WriteText(fixture_.Image("cut.png"), png.substr(0, png.size() - 20));
    fixture_.WriteTemplateValues({{"s", "96px"}});
    WriteScreens(
        "<screen><icon left=\"zero\" top=\"zero\" width=\"s\" height=\"s\" "
        "res=\"app_icon|cut\" /></screen>");
    ASSERT_TRUE(Load());
    ThemeElement& icon = module_->screens[0].elements[0];
    gfx::Canvas canvas = WhiteCanvas();
    EXPECT_TRUE(DrawElement(icon, canvas));
    icon.image_index = 1;
    log_.Clear();
    EXPECT_FALSE(DrawElement(icon, canvas));
    EXPECT_EQ(log_.Lines(),
              (std::vector<std::string>{"ERROR\tfail to load " + fixture_.Image("cut.png")}));
    // An index beyond the list names no image.
    icon.image_index = 2;
    EXPECT_FALSE(DrawElement(icon, canvas));
    icon.image_index = -1;
    EXPECT_FALSE(DrawElement(icon, canvas));
}

TEST_F(ScreenDrawingTest, UnwritablePreviewIsReported) {
    ASSERT_TRUE(Load());
    test::WriteText(fixture_ / "preview/xxhdpi/preview1_suit.jpg/blocker", "");
    log_.Clear();
    EXPECT_FALSE(DrawScreen(module_->screens[0]));
    EXPECT_EQ(log_.Lines(), (std::vector<std::string>{"ERROR\tcan not save image for screen 0"}));
}

}  // namespace
}  // namespace sw
