// Shrinking a picture by averaging the area under each result pixel.
#include "gfx/area_average.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "gfx/fixture_images.h"

namespace sw::gfx {
namespace {

// Bytes that follow no pattern a wrong span could hide in.
Image Noise(int width, int height, bool alpha) {
    Image image = Image::Create(width, height, alpha);
    std::uint32_t state = 12345;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = image.row(y);
        for (int b = 0; b < width * 4; ++b) {
            state = state * 1664525U + 1013904223U;
            row[b] = static_cast<std::uint8_t>(state >> 24);
        }
    }
    if (alpha) {
        // Premultiplied: no colour above its alpha.
        for (int y = 0; y < height; ++y) {
            std::uint8_t* row = image.row(y);
            for (int x = 0; x < width; ++x) {
                for (int c = 0; c < 3; ++c) {
                    row[x * 4 + c] = std::min(row[x * 4 + c], row[x * 4 + 3]);
                }
            }
        }
        image.set_alpha_state(AlphaState::kPremultiplied);
    }
    image.MarkDirty();
    return image;
}

// The share of source pixel i that result pixel k covers, of `count`
// result pixels over `length` source pixels.
double Covered(int i, int k, int length, int count) {
    const double step = static_cast<double>(length) / count;
    return std::max(0.0, std::min<double>(i + 1, (k + 1) * step) - std::max<double>(i, k * step));
}

// Byte c of result pixel (x, y) worked out the long way: every source
// pixel near it weighed by the area of it the result pixel covers.
double AreaMean(const Image& source, Size size, int x, int y, int c) {
    const auto near = [](int k, int length, int count, int& first, int& last) {
        first = std::max(0, k * length / count - 1);
        last = std::min(length - 1, (k + 1) * length / count + 1);
    };
    int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    near(x, source.width(), size.width, x0, x1);
    near(y, source.height(), size.height, y0, y1);
    double sum = 0;
    double area = 0;
    for (int sy = y0; sy <= y1; ++sy) {
        for (int sx = x0; sx <= x1; ++sx) {
            const double share = Covered(sy, y, source.height(), size.height) *
                                 Covered(sx, x, source.width(), size.width);
            sum += share * source.row(sy)[sx * 4 + c];
            area += share;
        }
    }
    return sum / area;
}

TEST(ShrinkByAreaAverage, EveryPixelIsTheMeanOfTheAreaItCovers) {
    const struct {
        Size from;
        Size to;
        bool alpha;
    } cases[] = {
        {{15, 10}, {3, 2}, false},  // whole blocks of 5
        {{7, 5}, {3, 2}, false},    // parts of pixels at every edge
        {{13, 11}, {4, 7}, true},   // premultiplied alpha averaged as it is
        {{9, 6}, {9, 4}, false},    // one side kept
        {{10, 10}, {1, 1}, false},  // all into one
        {{270, 480}, {216, 384}, false},
    };
    for (const auto& c : cases) {
        const Image source = Noise(c.from.width, c.from.height, c.alpha);
        const Image result = ShrinkByAreaAverage(source, c.to.width, c.to.height);
        ASSERT_EQ(result.size(), c.to) << c.from.width << "x" << c.from.height;
        EXPECT_EQ(result.alpha_state(), source.alpha_state());
        const int bytes = c.alpha ? 4 : 3;
        for (int y = 0; y < c.to.height; ++y) {
            for (int x = 0; x < c.to.width; ++x) {
                for (int b = 0; b < bytes; ++b) {
                    ASSERT_NEAR(result.row(y)[x * 4 + b], AreaMean(source, c.to, x, y, b), 1.0)
                        << c.from.width << "x" << c.from.height << " to " << c.to.width << "x"
                        << c.to.height << " at " << x << "," << y << " byte " << b;
                }
            }
        }
    }
}

TEST(ShrinkByAreaAverage, AFlatColourStaysExactlyThatColour) {
    const Pixel colour{17, 200, 255, 255};
    for (Size to : {Size{216, 384}, Size{311, 553}, Size{1, 1}, Size{1079, 1919}}) {
        Image source = Image::Create(1080, 1920, false);
        test::Fill(source, colour);
        const Image result = ShrinkByAreaAverage(source, to.width, to.height);
        ASSERT_EQ(result.size(), to);
        for (int y = 0; y < to.height; y += std::max(1, to.height / 17)) {
            for (int x = 0; x < to.width; x += std::max(1, to.width / 13)) {
                ASSERT_EQ(result.PixelAt(x, y), colour) << to.width << "x" << to.height;
            }
        }
    }
}

TEST(ShrinkByAreaAverage, RefusesWhatItCannotAverage) {
    Image straight = Image::Create(40, 40, true);
    test::Fill(straight, {0, 0, 200, 100});
    const Image opaque = Noise(40, 30, false);
    const struct {
        const char* what;
        const Image& source;
        Size to;
    } cases[] = {
        {"straight alpha", straight, {10, 10}},       {"wider than the source", opaque, {41, 10}},
        {"taller than the source", opaque, {10, 31}}, {"no width", opaque, {0, 10}},
        {"a negative height", opaque, {10, -1}},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(ShrinkByAreaAverage(c.source, c.to.width, c.to.height).empty()) << c.what;
    }
    EXPECT_TRUE(ShrinkByAreaAverage(Image(), 1, 1).empty());
}

}  // namespace
}  // namespace sw::gfx
