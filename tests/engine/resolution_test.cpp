#include "engine/resolution.h"

#include <gtest/gtest.h>

#include "engine/engine_fixture.h"

namespace sw {
namespace {

struct DimensionCase {
    const char* text;
    int density;
    int pixels;
};

TEST(ParseDimensionTest, ConvertsUnitsAsTheTableSays) {
    const DimensionCase cases[] = {
        {"12dp", 320, 24},
        {"12SP", 320, 24},
        {"-3dp", 320, -5},  // -6.0 + 0.5 = -5.5, cut toward zero
        {"7px", 320, 7},
        {"7", 320, 7},
        {"abc", 320, 0},
        {"1dp", 480, 3},
        {"1dp", 240, 2},     // 1.5 + 0.5
        {"3dp", 240, 5},     // 4.5 + 0.5
        {"10dip", 320, 10},  // neither "dp" nor "px": no scaling
        {"4px2dp", 320, 8},  // cut at "dp" first: atoi("4px2") = 4
        {"  15dp", 320, 30},
        {"+2sp", 160, 2},
        {"dp", 320, 0},
        {"12dp", 0, 0},
        {"", 320, 0},
        // A density that is no multiple of 160 keeps single-precision steps:
        // 7 x 213 = 1491, / 160 = 9.31875, + 0.5 = 9.81875 -> 9.
        {"7dp", 213, 9},
        {"2147483647dp", 320, 2147483647},  // pinned, not undefined
        {"-2147483648dp", 320, -2147483647 - 1},
    };
    for (const DimensionCase& c : cases) {
        EXPECT_EQ(ParseDimension(c.text, c.density), c.pixels)
            << c.text << " at density " << c.density;
    }
}

TEST(ParseDimensionTest, SeesOnlyTheFirst63Characters) {
    // 59 blanks and "12dp" fill exactly 63 characters; one more blank pushes
    // the "p" out, and what is left, "12d", is read without scaling.
    EXPECT_EQ(ParseDimension(std::string(59, ' ') + "12dp", 320), 24);
    EXPECT_EQ(ParseDimension(std::string(60, ' ') + "12dp", 320), 12);
    EXPECT_EQ(ParseDimension(std::string(70, ' ') + "12dp", 320), 0);
}

TEST(ParseDimensionTest, MatchesSinglePrecisionForEveryDensity) {
    // The float steps, written out the long way, for a spread of inputs.
    for (int density : {120, 160, 213, 240, 320, 400, 480, 560, 640}) {
        for (int n = -300; n <= 300; n += 7) {
            volatile float f = static_cast<float>(n * density);
            f = f / 160.0f;
            f = f + 0.5f;
            EXPECT_EQ(ParseDimension(std::to_string(n) + "dp", density), static_cast<int>(f))
                << n << "dp at " << density;
        }
    }
}

TEST(LookupResolutionTest, KnowsThreeNamesExactly) {
    test::TempFolder folder;
    test::LogCapture log(folder.path());
    struct Case {
        const char* name;
        bool known;
        int width;
        int height;
    } const cases[] = {
        {"xxhdpi", true, 1080, 1920},
        {"xhdpi", true, 720, 1280},
        {"hdpi", true, 540, 960},
        {"XXHDPI", false, 0, 0},
        {"xxhdpi ", false, 0, 0},
        {"xxxhdpi", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const Case& c : cases) {
        log.Clear();
        int width = 0;
        int height = 0;
        EXPECT_EQ(LookupResolution(c.name, width, height), c.known) << c.name;
        if (c.known) {
            EXPECT_EQ(width, c.width);
            EXPECT_EQ(height, c.height);
            EXPECT_TRUE(log.HasSequence({"INFO \tresolution: " + std::to_string(c.width) + " x " +
                                         std::to_string(c.height)}));
        } else {
            EXPECT_TRUE(log.HasSequence({std::string("ERROR\tunknown resolution ") + c.name}))
                << c.name;
        }
    }
}

}  // namespace
}  // namespace sw
