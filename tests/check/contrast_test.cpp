// Text contrast: the luminance and ratio of the accessibility guidelines, and
// the mean over the layers a text sits on.
#include "check/contrast.h"

#include <gtest/gtest.h>

#include "engine/engine_fixture.h"
#include "gfx/image_decode.h"

namespace sw::check {
namespace {

TEST(ContrastTest, RatiosOfKnownColourPairs) {
    struct Case {
        int a[3];
        int b[3];
        double ratio;
    };
    const Case cases[] = {
        {{0, 0, 0}, {255, 255, 255}, 21.0},       {{255, 255, 255}, {255, 255, 255}, 1.0},
        {{255, 255, 255}, {118, 118, 118}, 4.54},  // the lightest grey readable on white
        {{255, 0, 0}, {255, 255, 255}, 4.0},      {{0, 0, 255}, {0, 0, 0}, 2.44},
    };
    for (const Case& c : cases) {
        const double la = RelativeLuminance(c.a[0], c.a[1], c.a[2]);
        const double lb = RelativeLuminance(c.b[0], c.b[1], c.b[2]);
        EXPECT_NEAR(ContrastRatio(la, lb), c.ratio, 0.01);
        EXPECT_DOUBLE_EQ(ContrastRatio(la, lb), ContrastRatio(lb, la));
    }
}

TEST(ContrastTest, TextAlphaMixesWithTheBackground) {
    const double white = RelativeLuminance(255, 255, 255);
    EXPECT_DOUBLE_EQ(TextLuminanceOver(0xFFFFFFFFu, 0.0), white);
    // A text that is fully transparent shows only the background.
    EXPECT_DOUBLE_EQ(TextLuminanceOver(0x00FFFFFFu, 0.2), 0.2);
    EXPECT_NEAR(TextLuminanceOver(0x80FFFFFFu, 0.0), 128.0 / 255.0, 1e-9);
}

TEST(ContrastTest, MeanLuminanceOverLayers) {
    test::TempFolder folder;
    // A wallpaper black on its left half and white on its right half, drawn
    // at twice its size, and a white panel with a transparent right half.
    test::WritePng(folder / "wall.png", 10, 10, [](int x, int) {
        return x < 5 ? test::Rgb(0, 0, 0) : test::Rgb(255, 255, 255);
    });
    test::WritePng(folder / "panel.png", 4, 4, [](int x, int) {
        return x < 2 ? test::Bgra(255, 255, 255, 255) : test::Bgra(0, 0, 0, 0);
    });
    gfx::Image wall;
    gfx::Image panel;
    ASSERT_TRUE(gfx::DecodeImage(folder / "wall.png", &wall));
    ASSERT_TRUE(gfx::DecodeImage(folder / "panel.png", &panel));
    const Layer wallLayer{&wall, Rect{0, 0, 20, 20}, false};
    const Layer panelLayer{&panel, Rect{0, 0, 8, 8}, false};

    struct Case {
        std::vector<Layer> layers;
        Rect area;
        bool found;
        double luminance;
    };
    const Case cases[] = {
        {{wallLayer}, Rect{0, 0, 10, 20}, true, 0.0},
        {{wallLayer}, Rect{10, 0, 20, 20}, true, 1.0},
        {{wallLayer}, Rect{5, 0, 15, 10}, true, 0.5},
        // Clipped to the wallpaper: only its right edge lies inside.
        {{wallLayer}, Rect{18, 0, 40, 20}, true, 1.0},
        {{wallLayer}, Rect{25, 25, 30, 30}, false, 0.0},
        // The panel's opaque half covers the black, its clear half shows it.
        {{wallLayer, panelLayer}, Rect{0, 0, 4, 4}, true, 1.0},
        {{wallLayer, panelLayer}, Rect{4, 0, 8, 4}, true, 0.0},
    };
    for (const Case& c : cases) {
        double luminance = -1;
        EXPECT_EQ(MeanLuminance(c.layers, c.area, luminance), c.found)
            << c.area.left << "," << c.area.top;
        if (c.found) {
            EXPECT_NEAR(luminance, c.luminance, 1e-9) << c.area.left << "," << c.area.top;
        }
    }
}

}  // namespace
}  // namespace sw::check
