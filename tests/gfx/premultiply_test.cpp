// The premultiply rule: colour * alpha / 255 rounded down, alpha kept, and
// the variant that leaves the outermost rows and columns alone.
#include <gtest/gtest.h>

#include <string>

#include "gfx/fixture_images.h"
#include "gfx/image_decode.h"
#include "gfx/premultiply.h"

namespace sw::gfx {
namespace {

// Every colour value against every alpha, one pixel each: x = colour,
// y = alpha; blue carries the colour, green its complement, red a constant.
Image AllColoursByAllAlphas() {
    Image image = Image::Create(256, 256, true);
    for (int a = 0; a < 256; ++a) {
        for (int c = 0; c < 256; ++c) {
            image.SetPixel(c, a,
                           {static_cast<uint8_t>(c), static_cast<uint8_t>(255 - c), 200,
                            static_cast<uint8_t>(a)});
        }
    }
    return image;
}

TEST(PremultiplyAlpha, EveryColourAndAlphaRoundsDown) {
    Image image = AllColoursByAllAlphas();
    PremultiplyAlpha(image);
    EXPECT_EQ(image.alpha_state(), AlphaState::kPremultiplied);
    for (int a = 0; a < 256; ++a) {
        for (int c = 0; c < 256; ++c) {
            Pixel want{static_cast<uint8_t>(c * a / 255), static_cast<uint8_t>((255 - c) * a / 255),
                       static_cast<uint8_t>(200 * a / 255), static_cast<uint8_t>(a)};
            ASSERT_EQ(image.PixelAt(c, a), want) << "colour " << c << " alpha " << a;
        }
    }
    // Examples worked by hand: 255 * 128 / 255 = 128, 100 * 128 / 255 = 50.2.
    EXPECT_EQ(PremultiplyPixel({255, 100, 1, 128}), (Pixel{128, 50, 0, 128}));
}

TEST(PremultiplyAlpha, KeepBorderLeavesOutermostRowsAndColumns) {
    Image image = AllColoursByAllAlphas();
    Image reference = AllColoursByAllAlphas();
    PremultiplyAlphaKeepBorder(image);
    EXPECT_EQ(image.alpha_state(), AlphaState::kPremultipliedExceptBorder);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            bool border = x == 0 || y == 0 || x == 255 || y == 255;
            Pixel original = reference.PixelAt(x, y);
            Pixel want = border ? original : PremultiplyPixel(original);
            ASSERT_EQ(image.PixelAt(x, y), want) << x << "," << y;
            // Reading back straight restores the border exactly.
            if (border) {
                ASSERT_EQ(image.StraightPixelAt(x, y), original);
            }
        }
    }
}

TEST(PremultiplyAlpha, LeavesOpaqueAndAlreadyPremultipliedImagesAlone) {
    Image opaque = Image::Create(2, 1, false);
    test::Fill(opaque, {10, 20, 30, 40});
    PremultiplyAlpha(opaque);
    PremultiplyAlphaKeepBorder(opaque);
    EXPECT_EQ(opaque.PixelAt(1, 0), (Pixel{10, 20, 30, 40}));
    EXPECT_EQ(opaque.alpha_state(), AlphaState::kOpaque);

    Image image = Image::Create(1, 1, true);
    test::Fill(image, {200, 200, 200, 128});
    PremultiplyAlpha(image);
    PremultiplyAlpha(image);  // a second call must not multiply again
    EXPECT_EQ(image.PixelAt(0, 0), (Pixel{100, 100, 100, 128}));

    Image empty;
    PremultiplyAlpha(empty);
    EXPECT_TRUE(empty.empty());
}

TEST(PremultiplyAlpha, DecodingWithARuleEqualsPremultiplyingAfterwards) {
    test::TempFolder folder;
    std::vector<Pixel> pixels;
    for (int i = 0; i < 5 * 4; ++i) {
        pixels.push_back({static_cast<uint8_t>(i * 13), static_cast<uint8_t>(255 - i * 7),
                          static_cast<uint8_t>(i * 31), static_cast<uint8_t>(i * 12 + 3)});
    }
    std::string path = folder.File("icon.png");
    ASSERT_TRUE(test::WriteBytes(path, test::EncodeRgbaPng(5, 4, pixels)));

    Image all;
    Image border;
    Image straight;
    ASSERT_TRUE(DecodeImage(path, &all, Premultiply::kAll));
    ASSERT_TRUE(DecodeImage(path, &border, Premultiply::kKeepBorder));
    ASSERT_TRUE(DecodeImage(path, &straight));
    Image straight_border;
    ASSERT_TRUE(DecodeImage(path, &straight_border));
    PremultiplyAlpha(straight);
    PremultiplyAlphaKeepBorder(straight_border);
    EXPECT_EQ(all.alpha_state(), AlphaState::kPremultiplied);
    EXPECT_EQ(border.alpha_state(), AlphaState::kPremultipliedExceptBorder);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(all.PixelAt(x, y), straight.PixelAt(x, y)) << x << "," << y;
            EXPECT_EQ(border.PixelAt(x, y), straight_border.PixelAt(x, y)) << x << "," << y;
        }
    }
    // The middle pixel (2, 1) really was premultiplied, the corner was not.
    Pixel middle = pixels[1 * 5 + 2];
    EXPECT_EQ(border.PixelAt(2, 1), PremultiplyPixel(middle));
    Pixel corner = pixels[0];
    EXPECT_EQ(border.PixelAt(0, 0), corner);
}

}  // namespace
}  // namespace sw::gfx
