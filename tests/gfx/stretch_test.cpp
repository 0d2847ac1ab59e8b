// Smooth whole-image stretching for thumbnails and the density resampler.
#include <gtest/gtest.h>

#include "gfx/fixture_images.h"
#include "gfx/image_decode.h"
#include "gfx/premultiply.h"
#include "gfx/stretch.h"

namespace sw::gfx {
namespace {

using test::Distance;
using test::TempFolder;

Image Checkerboard(int width, int height) {
    Image image = Image::Create(width, height, false);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t v = (x + y) % 2 ? 255 : 0;
            image.SetPixel(x, y, {v, v, v, 255});
        }
    }
    image.MarkDirty();
    return image;
}

TEST(SmoothStretch, GivesExactlyTheAskedSize) {
    Image source = Checkerboard(1080, 1920);
    const Size sizes[] = {{270, 480}, {100, 100}, {3, 7}, {1, 1}, {1200, 2000}, {1080, 1920}};
    for (const Size& s : sizes) {
        Image result = SmoothStretch(source, s.width, s.height);
        ASSERT_FALSE(result.empty()) << s.width << "x" << s.height;
        EXPECT_EQ(result.size(), s);
        EXPECT_EQ(result.bits_per_pixel(), 24);
    }
    EXPECT_TRUE(SmoothStretch(source, 0, 10).empty());
    EXPECT_TRUE(SmoothStretch(source, 10, -1).empty());
    EXPECT_TRUE(SmoothStretch(Image(), 10, 10).empty());
}

TEST(SmoothStretch, AveragesInsteadOfPicking) {
    // Shrinking a one-pixel checkerboard by 4 and by 54 gives an even grey:
    // a filter that picks pixels would give black or white.
    Image source = Checkerboard(1080, 1920);
    for (Size s : {Size{270, 480}, Size{20, 35}}) {
        Image result = SmoothStretch(source, s.width, s.height);
        for (int y = 0; y < s.height; y += 3) {
            for (int x = 0; x < s.width; x += 3) {
                ASSERT_LE(Distance(result.StraightPixelAt(x, y), {128, 128, 128, 255}), 4)
                    << s.width << "x" << s.height << " at " << x << "," << y;
            }
        }
    }
}

TEST(SmoothStretch, AlphaImagesComeOutPremultiplied) {
    Image source = Image::Create(40, 40, true);
    test::Fill(source, {0, 0, 200, 100});  // straight
    Image result = SmoothStretch(source, 10, 10);
    ASSERT_EQ(result.size(), (Size{10, 10}));
    EXPECT_EQ(result.alpha_state(), AlphaState::kPremultiplied);
    EXPECT_LE(Distance(result.PixelAt(5, 5), PremultiplyPixel({0, 0, 200, 100})), 1);
    // The source is untouched.
    EXPECT_EQ(source.PixelAt(0, 0), (Pixel{0, 0, 200, 100}));
}

TEST(ResampleImageFile, WritesPngOfExactSize) {
    TempFolder folder;
    std::vector<Pixel> pixels(200 * 150, {30, 60, 90, 128});
    std::string icon = folder.File("incoming_answer.png");
    ASSERT_TRUE(test::WriteBytes(icon, test::EncodeRgbaPng(200, 150, pixels)));
    std::string wallpaper = folder.File("wallpaper.jpg");
    ASSERT_TRUE(test::WriteBytes(
        wallpaper, test::EncodeJpeg(108, 192, std::vector<Pixel>(108 * 192, {50, 100, 150, 255}))));

    struct {
        std::string source;
        int width, height, bits;
    } cases[] = {{icon, 260, 195, 32},
                 {icon, 132, 99, 32},
                 {icon, 200, 150, 32},
                 {wallpaper, 54, 96, 24},
                 {wallpaper, 144, 256, 24}};
    for (const auto& c : cases) {
        std::string out = folder.File("out.png");
        ASSERT_TRUE(ResampleImageFile(c.source, out, c.width, c.height));
        ImageInfo info;
        ASSERT_TRUE(ReadImageInfo(out, &info));
        EXPECT_EQ(info.format, ImageFormat::kPng);
        EXPECT_EQ(info.width, c.width);
        EXPECT_EQ(info.height, c.height);
        EXPECT_EQ(info.bits_per_pixel, c.bits);
        Image image;
        ASSERT_TRUE(DecodeImage(out, &image));
        Pixel want = c.bits == 32 ? Pixel{30, 60, 90, 128} : Pixel{50, 100, 150, 255};
        EXPECT_LE(Distance(image.StraightPixelAt(c.width / 2, c.height / 2), want), 3);
    }
}

TEST(ResampleImageFile, FailsWithoutWritingOnBadInput) {
    TempFolder folder;
    std::string text = folder.File("notes.png");
    ASSERT_TRUE(test::WriteBytes(text, {'h', 'i'}));
    EXPECT_FALSE(ResampleImageFile(text, folder.File("a.png"), 10, 10));
    EXPECT_FALSE(ResampleImageFile(folder.File("missing.png"), folder.File("b.png"), 10, 10));
    std::string icon = folder.File("icon.png");
    ASSERT_TRUE(test::WriteBytes(icon, test::EncodeRgbaPng(1, 1, {{1, 2, 3, 4}})));
    EXPECT_FALSE(ResampleImageFile(icon, folder.File("c.png"), 0, 0));
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"icon.png", "notes.png"}));
}

}  // namespace
}  // namespace sw::gfx
