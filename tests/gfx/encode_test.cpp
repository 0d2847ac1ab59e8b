// Writing JPEG and PNG files: sizes and colours survive the round trip, and
// a failed write leaves nothing behind.
#include <gtest/gtest.h>

#include <fstream>

#include "gfx/canvas.h"
#include "gfx/fixture_images.h"
#include "gfx/image_decode.h"
#include "gfx/image_encode.h"
#include "gfx/premultiply.h"

namespace sw::gfx {
namespace {

using test::Distance;
using test::TempFolder;

TEST(SaveJpeg, CanvasRoundTripKeepsSizeAndColours) {
    TempFolder folder;
    Canvas canvas(1080, 1920);
    canvas.FillRect({0, 0, 540, 1920}, {200, 40, 90}, 255);
    canvas.FillRect({540, 0, 540, 960}, {20, 180, 250}, 255);
    std::string path = folder.File("preview1_suit.jpg");
    ASSERT_TRUE(SaveJpeg(canvas.image(), path));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"preview1_suit.jpg"});

    ImageInfo info;
    ASSERT_TRUE(ReadImageInfo(path, &info));
    EXPECT_EQ(info.format, ImageFormat::kJpeg);
    Image image;
    ASSERT_TRUE(DecodeImage(path, &image));
    EXPECT_EQ(image.size(), (Size{1080, 1920}));
    EXPECT_EQ(image.bits_per_pixel(), 24);
    EXPECT_LE(Distance(image.StraightPixelAt(100, 100), {90, 40, 200, 255}), 4);
    EXPECT_LE(Distance(image.StraightPixelAt(900, 500), {250, 180, 20, 255}), 4);
    EXPECT_LE(Distance(image.StraightPixelAt(900, 1500), {0, 0, 0, 255}), 4);

    // Writing again replaces the file.
    canvas.FillRect({0, 0, 1080, 1920}, {255, 255, 255}, 255);
    ASSERT_TRUE(SaveJpeg(canvas.image(), path));
    ASSERT_TRUE(DecodeImage(path, &image));
    EXPECT_LE(Distance(image.StraightPixelAt(900, 1500), {255, 255, 255, 255}), 2);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"preview1_suit.jpg"});
}

TEST(SaveJpeg, FailedWriteLeavesNothing) {
    TempFolder folder;
    Canvas canvas(8, 8);
    EXPECT_FALSE(SaveJpeg(canvas.image(), folder.File("missing/preview.jpg")));
    EXPECT_FALSE(SaveJpeg(Image(), folder.File("empty.jpg")));
    EXPECT_FALSE(SaveJpeg(canvas.image(), folder.File("bad_quality.jpg"), 0));
    EXPECT_TRUE(folder.Entries().empty());
}

TEST(SavePng, StraightAndOpaqueImagesRoundTripExactly) {
    TempFolder folder;
    Image rgba = Image::Create(3, 2, true);
    Image rgb = Image::Create(3, 2, false);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            Pixel p{static_cast<uint8_t>(x * 80), static_cast<uint8_t>(y * 200),
                    static_cast<uint8_t>(x + y * 3), static_cast<uint8_t>(40 + x * 50 + y)};
            rgba.SetPixel(x, y, p);
            rgb.SetPixel(x, y, p);
        }
    }
    rgba.MarkDirty();
    rgb.MarkDirty();
    ASSERT_TRUE(SavePng(rgba, folder.File("a.png")));
    ASSERT_TRUE(SavePng(rgb, folder.File("b.png")));

    Image a;
    Image b;
    ASSERT_TRUE(DecodeImage(folder.File("a.png"), &a));
    ASSERT_TRUE(DecodeImage(folder.File("b.png"), &b));
    EXPECT_EQ(a.bits_per_pixel(), 32);
    EXPECT_EQ(b.bits_per_pixel(), 24);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(a.PixelAt(x, y), rgba.PixelAt(x, y));
            Pixel want = rgb.PixelAt(x, y);
            want.a = 255;
            EXPECT_EQ(b.StraightPixelAt(x, y), want);
        }
    }
}

TEST(SavePng, PremultipliedImagesAreWrittenStraight) {
    TempFolder folder;
    Image image = Image::Create(2, 1, true);
    image.SetPixel(0, 0, {200, 100, 50, 128});
    image.SetPixel(1, 0, {10, 20, 30, 0});
    image.MarkDirty();
    PremultiplyAlpha(image);
    ASSERT_TRUE(SavePng(image, folder.File("p.png")));
    Image back;
    ASSERT_TRUE(DecodeImage(folder.File("p.png"), &back));
    EXPECT_EQ(back.alpha_state(), AlphaState::kStraight);
    EXPECT_LE(Distance(back.PixelAt(0, 0), {200, 100, 50, 128}), 2);
    EXPECT_EQ(back.PixelAt(1, 0), (Pixel{0, 0, 0, 0}));
    EXPECT_FALSE(SavePng(image, folder.File("no/such/folder.png")));
}

}  // namespace
}  // namespace sw::gfx
