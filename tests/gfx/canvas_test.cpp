// Drawing onto the screen canvas: constant-opacity colour blocks, per-pixel
// alpha, opaque copies, scaled and partial sources.
#include <gtest/gtest.h>

#include "gfx/canvas.h"
#include "gfx/fixture_images.h"
#include "gfx/premultiply.h"

namespace sw::gfx {
namespace {

using test::Distance;

constexpr Pixel kWhite{255, 255, 255, 255};
constexpr Pixel kBlack{0, 0, 0, 255};

// Canvas pixels read with alpha 255 (the canvas has no alpha of its own).
Pixel At(Canvas& canvas, int x, int y) {
    Pixel p = canvas.image().PixelAt(x, y);
    p.a = 255;
    return p;
}

Canvas WhiteCanvas(int width, int height) {
    Canvas canvas(width, height);
    canvas.FillRect({0, 0, width, height}, {255, 255, 255}, 255);
    return canvas;
}

// Pictures small and large (screens and wallpapers get pixel memory of
// their own) start with every byte 0, hold every row to its end, keep their
// pixels when moved, and draw whole.
TEST(Canvas, NewPicturesOfEverySizeStartClearAndHoldEveryPixel) {
    struct Case {
        int width;
        int height;
        bool alpha;
    };
    const Case cases[] = {
        {3, 2, true},         // far below a large page
        {724, 724, true},     // just over 2 MiB of pixels
        {1023, 512, false},   // just under it
        {1080, 1920, false},  // a screen
        {1441, 2561, true},   // odd sizes, a partial last page
    };
    for (const Case& c : cases) {
        Image image = Image::Create(c.width, c.height, c.alpha);
        ASSERT_FALSE(image.empty()) << c.width << "x" << c.height;
        bool clear = true;
        for (int y = 0; y < c.height; ++y) {
            const uint8_t* row = image.row(y);
            for (int x = 0; x < c.width * 4; ++x) {
                clear = clear && row[x] == 0;
            }
        }
        EXPECT_TRUE(clear) << c.width << "x" << c.height;
        for (int y = 0; y < c.height; ++y) {
            image.SetPixel(0, y, {1, 2, 3, 255});
            image.SetPixel(c.width - 1, y, {static_cast<uint8_t>(y), 5, 6, 255});
        }
        image.MarkDirty();
        const Image moved = std::move(image);
        EXPECT_EQ(moved.PixelAt(c.width - 1, c.height - 1),
                  (Pixel{static_cast<uint8_t>(c.height - 1), 5, 6, 255}));
        Canvas canvas(c.width, c.height);
        ASSERT_TRUE(canvas.DrawImage(moved, {0, 0, c.width, c.height}, {0, 0, c.width, c.height},
                                     BlendMode::kAlpha));
        EXPECT_EQ(At(canvas, c.width - 1, c.height - 1),
                  (Pixel{static_cast<uint8_t>(c.height - 1), 5, 6, 255}));
        EXPECT_EQ(At(canvas, 0, 0), (Pixel{1, 2, 3, 255}));
    }
}

TEST(Canvas, StartsBlackAndIs24Bit) {
    Canvas canvas(7, 5);
    ASSERT_TRUE(canvas.ok());
    EXPECT_EQ(canvas.width(), 7);
    EXPECT_EQ(canvas.height(), 5);
    EXPECT_EQ(canvas.image().bits_per_pixel(), 24);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(At(canvas, x, y), kBlack);
        }
    }
    EXPECT_FALSE(Canvas(0, 5).ok());
    EXPECT_FALSE(Canvas(9000, 9000).ok());
}

TEST(Canvas, ColourBlockAtHalfOpacityMixesInsideOnly) {
    Canvas canvas = WhiteCanvas(40, 30);
    canvas.FillRect({10, 5, 20, 10}, {255, 0, 0}, 0x80);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            bool inside = x >= 10 && x < 30 && y >= 5 && y < 15;
            Pixel got = At(canvas, x, y);
            if (inside) {
                // Red at 128/255 over white: red stays full, green and blue
                // keep (255 - 128) / 255 of white.
                EXPECT_LE(Distance(got, {127, 127, 255, 255}), 1) << x << "," << y;
            } else {
                EXPECT_EQ(got, kWhite) << x << "," << y;
            }
        }
    }
}

TEST(Canvas, ColourBlockOpacityExtremesAndEdges) {
    Canvas canvas = WhiteCanvas(10, 10);
    canvas.FillRect({0, 0, 5, 5}, {0, 0, 255}, 0);
    EXPECT_EQ(At(canvas, 2, 2), kWhite);
    canvas.FillRect({0, 0, 5, 5}, {0, 0, 255}, 255);
    EXPECT_EQ(At(canvas, 2, 2), (Pixel{255, 0, 0, 255}));
    // Partly off the canvas, and wholly off it.
    canvas.FillRect({8, -3, 10, 5}, {0, 255, 0}, 255);
    EXPECT_EQ(At(canvas, 9, 0), (Pixel{0, 255, 0, 255}));
    EXPECT_EQ(At(canvas, 9, 2), kWhite);
    canvas.FillRect({-50, -50, 10, 10}, {0, 0, 0}, 255);
    canvas.FillRect({6, 6, 0, 4}, {0, 0, 0}, 255);
    EXPECT_EQ(At(canvas, 6, 6), kWhite);
}

TEST(Canvas, PerPixelAlphaBlendsPremultipliedPixels) {
    // One row of straight pixels with growing alpha, premultiplied as images
    // are before they are drawn.
    Image icon = Image::Create(5, 1, true);
    const uint8_t alphas[5] = {0, 64, 128, 200, 255};
    for (int x = 0; x < 5; ++x) {
        icon.SetPixel(x, 0, {0, 0, 255, alphas[x]});
    }
    icon.MarkDirty();
    PremultiplyAlpha(icon);

    Canvas canvas = WhiteCanvas(9, 3);
    ASSERT_TRUE(canvas.DrawImage(icon, {0, 0, 5, 1}, {2, 1, 5, 1}, BlendMode::kAlpha));
    for (int x = 0; x < 5; ++x) {
        int a = alphas[x];
        int red = a * 255 / 255 + 255 * (255 - a) / 255;
        int other = 255 * (255 - a) / 255;
        EXPECT_LE(Distance(At(canvas, 2 + x, 1),
                           {static_cast<uint8_t>(other), static_cast<uint8_t>(other),
                            static_cast<uint8_t>(red), 255}),
                  1)
            << "alpha " << a;
    }
    EXPECT_EQ(At(canvas, 1, 1), kWhite);
    EXPECT_EQ(At(canvas, 7, 1), kWhite);
    EXPECT_EQ(At(canvas, 3, 0), kWhite);
    EXPECT_EQ(At(canvas, 3, 2), kWhite);
}

TEST(Canvas, CopyReplacesAndOpaqueImagesIgnoreAlphaBytes) {
    Image clear = Image::Create(2, 2, true);  // every byte 0: transparent
    Canvas canvas = WhiteCanvas(6, 6);
    ASSERT_TRUE(canvas.DrawImage(clear, {0, 0, 2, 2}, {1, 1, 2, 2}, BlendMode::kAlpha));
    EXPECT_EQ(At(canvas, 1, 1), kWhite);
    ASSERT_TRUE(canvas.DrawImage(clear, {0, 0, 2, 2}, {1, 1, 2, 2}, BlendMode::kCopy));
    EXPECT_EQ(At(canvas, 1, 1), kBlack);
    EXPECT_EQ(At(canvas, 2, 2), kBlack);
    EXPECT_EQ(At(canvas, 3, 3), kWhite);

    // A 24-bit picture whose fourth bytes are 0 is still drawn opaque.
    Image photo = Image::Create(2, 2, false);
    test::Fill(photo, {10, 20, 30, 0});
    for (BlendMode mode : {BlendMode::kAlpha, BlendMode::kCopy}) {
        Canvas target = WhiteCanvas(4, 4);
        ASSERT_TRUE(target.DrawImage(photo, {0, 0, 2, 2}, {2, 2, 2, 2}, mode));
        EXPECT_EQ(At(target, 3, 3), (Pixel{10, 20, 30, 255}));
        EXPECT_EQ(At(target, 1, 1), kWhite);
    }
}

TEST(Canvas, OneToOneBlitIsExact) {
    Image image = Image::Create(16, 9, false);
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 16; ++x) {
            image.SetPixel(x, y,
                           {static_cast<uint8_t>(x * 16), static_cast<uint8_t>(y * 28),
                            static_cast<uint8_t>(x ^ y), 255});
        }
    }
    image.MarkDirty();
    Canvas canvas(20, 12);
    // A part of the image (x 3..12, y 2..8) at (5, 4).
    ASSERT_TRUE(canvas.DrawImage(image, {3, 2, 10, 7}, {5, 4, 10, 7}, BlendMode::kCopy));
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 20; ++x) {
            bool inside = x >= 5 && x < 15 && y >= 4 && y < 11;
            Pixel want = inside ? image.PixelAt(x - 2, y - 2) : kBlack;
            want.a = 255;
            ASSERT_EQ(At(canvas, x, y), want) << x << "," << y;
        }
    }
}

// Four flat quadrants of 4 x 4 pixels: red, green / blue, white.
Image Quadrants() {
    Image image = Image::Create(8, 8, false);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            Pixel p = y < 4 ? (x < 4 ? Pixel{0, 0, 255, 255} : Pixel{0, 255, 0, 255})
                            : (x < 4 ? Pixel{255, 0, 0, 255} : kWhite);
            image.SetPixel(x, y, p);
        }
    }
    image.MarkDirty();
    return image;
}

TEST(Canvas, ScaledDrawFillsExactlyTheDestination) {
    struct {
        Rect dest;
    } cases[] = {{{10, 20, 100, 60}}, {{3, 4, 5, 6}}, {{0, 0, 37, 91}}};
    Image image = Quadrants();
    for (const auto& c : cases) {
        Canvas canvas(120, 100);
        ASSERT_TRUE(canvas.DrawImage(image, {0, 0, 8, 8}, c.dest, BlendMode::kCopy));
        const Rect& d = c.dest;
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 120; ++x) {
                bool inside = x >= d.x && x < d.x + d.width && y >= d.y && y < d.y + d.height;
                if (!inside) {
                    ASSERT_EQ(At(canvas, x, y), kBlack) << x << "," << y;
                }
            }
        }
        // Corners keep the quadrant colours (edge pixels extend, nothing
        // fades into the black around the destination).
        EXPECT_LE(Distance(At(canvas, d.x, d.y), {0, 0, 255, 255}), 2);
        EXPECT_LE(Distance(At(canvas, d.x + d.width - 1, d.y), {0, 255, 0, 255}), 2);
        EXPECT_LE(Distance(At(canvas, d.x, d.y + d.height - 1), {255, 0, 0, 255}), 2);
        EXPECT_LE(Distance(At(canvas, d.x + d.width - 1, d.y + d.height - 1), kWhite), 2);
    }
}

TEST(Canvas, ShrinkingAveragesAndPartsDoNotBleed) {
    // A one-pixel checkerboard shrunk four times is an even grey.
    Image board = Image::Create(64, 64, false);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            board.SetPixel(x, y, (x + y) % 2 ? kWhite : kBlack);
        }
    }
    board.MarkDirty();
    Canvas canvas(16, 16);
    ASSERT_TRUE(canvas.DrawImage(board, {0, 0, 64, 64}, {0, 0, 16, 16}, BlendMode::kCopy));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_LE(Distance(At(canvas, x, y), {128, 128, 128, 255}), 3) << x << "," << y;
        }
    }

    // Only the green quadrant, enlarged: no red, blue or white from around it.
    Canvas part(50, 50);
    ASSERT_TRUE(part.DrawImage(Quadrants(), {4, 0, 4, 4}, {0, 0, 50, 50}, BlendMode::kCopy));
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 50; ++x) {
            ASSERT_EQ(At(part, x, y), (Pixel{0, 255, 0, 255})) << x << "," << y;
        }
    }
}

TEST(Canvas, RejectsBadSourcesAndIgnoresEmptyOrDistantDestinations) {
    Image image = Quadrants();
    Canvas canvas(10, 10);
    EXPECT_FALSE(canvas.DrawImage(image, {0, 0, 9, 8}, {0, 0, 5, 5}, BlendMode::kCopy));
    EXPECT_FALSE(canvas.DrawImage(image, {-1, 0, 4, 4}, {0, 0, 5, 5}, BlendMode::kCopy));
    EXPECT_FALSE(canvas.DrawImage(image, {5, 5, 4, 4}, {0, 0, 5, 5}, BlendMode::kCopy));
    EXPECT_FALSE(canvas.DrawImage(image, {0, 0, 0, 4}, {0, 0, 5, 5}, BlendMode::kCopy));
    EXPECT_FALSE(canvas.DrawImage(Image(), {0, 0, 1, 1}, {0, 0, 5, 5}, BlendMode::kCopy));
    EXPECT_TRUE(canvas.DrawImage(image, {0, 0, 8, 8}, {0, 0, 0, 5}, BlendMode::kCopy));
    EXPECT_TRUE(canvas.DrawImage(image, {0, 0, 8, 8}, {0, 0, 5, -5}, BlendMode::kCopy));
    EXPECT_TRUE(canvas.DrawImage(image, {0, 0, 8, 8}, {500, 500, 5, 5}, BlendMode::kCopy));
    EXPECT_FALSE(canvas.DrawImage(image, {0, 0, 8, 8}, {0, 0, 1 << 30, 5}, BlendMode::kCopy));
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            ASSERT_EQ(At(canvas, x, y), kBlack);
        }
    }
    // Partly outside: the visible part is drawn.
    ASSERT_TRUE(canvas.DrawImage(image, {0, 0, 8, 8}, {-4, -4, 8, 8}, BlendMode::kCopy));
    EXPECT_EQ(At(canvas, 0, 0), kWhite);
    EXPECT_EQ(At(canvas, 4, 4), kBlack);
}

}  // namespace
}  // namespace sw::gfx
