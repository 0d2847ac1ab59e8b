// Resampling for the screen densities: exact sizes, no aliasing when
// shrinking, and no colour of transparent pixels bleeding into edges.
#include <gtest/gtest.h>

#include <cstdlib>

#include "gfx/resample.h"

namespace sw::gfx {
namespace {

Image Filled(int width, int height, bool alpha, Pixel (*paint)(int x, int y)) {
    Image image = Image::Create(width, height, alpha);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.SetPixel(x, y, paint(x, y));
        }
    }
    image.set_alpha_state(alpha ? AlphaState::kStraight : AlphaState::kOpaque);
    image.MarkDirty();
    return image;
}

TEST(ResampleTest, GivesExactlyTheAskedSize) {
    const Image source = Filled(200, 150, true, [](int x, int y) {
        return Pixel{static_cast<uint8_t>(x), static_cast<uint8_t>(y), 40, 255};
    });
    const std::pair<int, int> sizes[] = {{260, 195}, {200, 150}, {132, 99},
                                         {100, 75},  {1, 1},     {1440, 2}};
    for (const auto& [width, height] : sizes) {
        const Image result = ResampleLanczos(source, width, height);
        ASSERT_FALSE(result.empty()) << width << "x" << height;
        EXPECT_EQ(result.width(), width);
        EXPECT_EQ(result.height(), height);
        EXPECT_EQ(result.alpha_state(), AlphaState::kPremultiplied);
    }
    EXPECT_TRUE(ResampleLanczos(source, 0, 10).empty());
    EXPECT_TRUE(ResampleLanczos(Image(), 10, 10).empty());
}

TEST(ResampleTest, AFlatColourStaysFlatUpAndDown) {
    const Image source = Filled(54, 96, false, [](int, int) { return Pixel{30, 120, 200, 0}; });
    for (const auto& [width, height] : {std::pair{1440, 2560}, std::pair{20, 30}}) {
        const Image result = ResampleLanczos(source, width, height);
        ASSERT_FALSE(result.empty());
        EXPECT_FALSE(result.has_alpha());
        for (int y = 0; y < height; y += 7) {
            for (int x = 0; x < width; x += 5) {
                const Pixel p = result.PixelAt(x, y);
                ASSERT_EQ(p.b, 30) << x << "," << y;
                ASSERT_EQ(p.g, 120);
                ASSERT_EQ(p.r, 200);
            }
        }
    }
}

// Ramps across and down, resampled up: every row, whichever part of the
// picture it lies in, holds the ramp's value at its place (a row left out or
// filtered twice shows as a step).
TEST(ResampleTest, EveryRowOfALargePictureFollowsTheRamps) {
    constexpr int kWidth = 300;
    constexpr int kHeight = 700;
    const Image source = Filled(kWidth, kHeight, false, [](int x, int y) {
        return Pixel{0, static_cast<uint8_t>(x * 255 / (kWidth - 1)),
                     static_cast<uint8_t>(y * 255 / (kHeight - 1)), 255};
    });
    const int width = 450;
    const int height = 1000;
    const Image result = ResampleLanczos(source, width, height);
    ASSERT_FALSE(result.empty());
    // Where an output pixel's centre falls on the source, as a ramp value.
    const auto ramp = [](int o, int in, int out) {
        const double at = (o + 0.5) * in / out - 0.5;
        return at * 255.0 / (in - 1);
    };
    // The ramps are steps of whole numbers: a pixel lies within two of them.
    for (int y = 8; y < height - 8; ++y) {
        for (int x = 8; x < width - 8; x += 3) {
            const Pixel p = result.PixelAt(x, y);
            ASSERT_NEAR(p.r, ramp(y, kHeight, height), 2.0) << x << "," << y;
            ASSERT_NEAR(p.g, ramp(x, kWidth, width), 2.0) << x << "," << y;
        }
    }
}

// One-pixel stripes shrunk by three average to grey everywhere; a sampler
// that picks pixels would show black and white bands instead.
TEST(ResampleTest, FineStripesShrinkToGreyWithoutAliasing) {
    const Image stripes = Filled(300, 30, false, [](int x, int) {
        const uint8_t v = x % 2 == 0 ? 0 : 255;
        return Pixel{v, v, v, 0};
    });
    const Image result = ResampleLanczos(stripes, 100, 10);
    ASSERT_FALSE(result.empty());
    // The outermost columns see only part of the filter and lean to the
    // edge pixel's side.
    for (int x = 1; x < 99; ++x) {
        EXPECT_NEAR(result.PixelAt(x, 5).g, 127, 12) << "column " << x;
    }
}

// The colour of fully transparent pixels never shows at the edge of what
// is drawn.
TEST(ResampleTest, TransparentColourDoesNotBleedIntoEdges) {
    const Image source = Filled(40, 40, true, [](int x, int) {
        return x < 20 ? Pixel{0, 0, 255, 0} : Pixel{255, 0, 0, 255};
    });
    const Image result = ResampleLanczos(source, 13, 13);
    ASSERT_FALSE(result.empty());
    for (int x = 0; x < 13; ++x) {
        const Pixel p = result.StraightPixelAt(x, 6);
        if (p.a > 8) {
            EXPECT_LE(p.r, 8) << "column " << x << " alpha " << int(p.a);
        }
    }
}

}  // namespace
}  // namespace sw::gfx
