// Text in the theme face: what is drawn lies inside what is measured, and the
// measured box grows with the text and its size.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/text.h"

namespace sw::gfx {
namespace {

struct TextCase {
    const char* name;
    const char* text;
    int size;
};

const TextCase kTexts[] = {
    {"latin", "Hello 12:45", 40},
    {"chinese", "星期三 十月", 32},
    {"mixed_small", "8月8日 周五", 12},
    {"descenders", "gjpqy_Qg", 50},
};

class TextDrawing : public testing::TestWithParam<TextCase> {};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.name;
}

TEST_P(TextDrawing, InkLiesInsideTheMeasuredBox) {
    const TextCase& c = GetParam();
    Size box = MeasureText(c.size, c.text);
    ASSERT_GT(box.width, 0);
    ASSERT_GT(box.height, 0);
    const int x = 30;
    const int y = 20;
    Canvas canvas(box.width + 60, box.height + 40);
    canvas.DrawText(x, y, c.text, c.size, {255, 255, 255});
    const Image& image = canvas.image();
    int inked = 0;
    for (int py = 0; py < canvas.height(); ++py) {
        for (int px = 0; px < canvas.width(); ++px) {
            Pixel p = image.PixelAt(px, py);
            if (p.r == 0 && p.g == 0 && p.b == 0) {
                continue;
            }
            ++inked;
            ASSERT_TRUE(px >= x && px < x + box.width && py >= y && py < y + box.height)
                << c.name << ": ink at " << px << "," << py << " outside " << box.width << "x"
                << box.height;
        }
    }
    EXPECT_GT(inked, box.width * box.height / 50) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Text, TextDrawing, testing::ValuesIn(kTexts),
                         [](const testing::TestParamInfo<TextCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(MeasureText, GrowsWithTextAndSize) {
    for (const char* text : {"12:45", "星期三"}) {
        Size small = MeasureText(20, text);
        Size large = MeasureText(40, text);
        EXPECT_GT(large.width, small.width) << text;
        EXPECT_GT(large.height, small.height) << text;
        // The em height is the size: a line is at least that tall and not
        // much more.
        EXPECT_GE(small.height, 20) << text;
        EXPECT_LE(small.height, 40) << text;
    }
    Size one = MeasureText(30, "中");
    Size three = MeasureText(30, "中中中");
    EXPECT_GT(three.width, 2 * one.width);
    EXPECT_EQ(three.height, one.height);
    // A CJK character is about one em wide.
    EXPECT_GE(one.width, 24);
    EXPECT_LE(one.width, 36);
}

TEST(MeasureText, EmptyTextOrNoSizeMeasuresNothingAndDrawsNothing) {
    EXPECT_EQ(MeasureText(30, ""), (Size{0, 0}));
    EXPECT_EQ(MeasureText(0, "abc"), (Size{0, 0}));
    EXPECT_EQ(MeasureText(-12, "abc"), (Size{0, 0}));
    Canvas canvas(20, 20);
    canvas.DrawText(0, 0, "", 30, {255, 255, 255});
    canvas.DrawText(0, 0, "abc", 0, {255, 255, 255});
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            ASSERT_EQ(canvas.image().PixelAt(x, y).r, 0);
        }
    }
}

TEST(MeasureText, InvalidUtf8IsMeasuredWithReplacements) {
    // GBK bytes of "中文" are not UTF-8.
    std::string gbk = "\xD6\xD0\xCE\xC4";
    Size size = MeasureText(30, gbk);
    EXPECT_GT(size.width, 0);
    EXPECT_GT(size.height, 0);
    // Text ends at its first NUL byte.
    EXPECT_EQ(MeasureText(30, std::string("ab\0cdef", 7)), MeasureText(30, "ab"));
}

TEST(MeasureText, GivesTheSameAnswerOnEveryThread) {
    const Size expected = MeasureText(28, "锁屏 12:00");
    std::vector<std::thread> threads;
    std::vector<Size> results(4);
    for (size_t i = 0; i < results.size(); ++i) {
        threads.emplace_back([&results, i] {
            Canvas canvas(300, 60);
            for (int n = 0; n < 20; ++n) {
                canvas.DrawText(0, 0, "锁屏 12:00", 28, {200, 100, 50});
                results[i] = MeasureText(28, "锁屏 12:00");
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    for (const Size& s : results) {
        EXPECT_EQ(s, expected);
    }
}

TEST(Fonts, InstalledFamiliesAreFound) {
    EXPECT_TRUE(IsFontFamilyInstalled("WenQuanYi Micro Hei"));
    EXPECT_FALSE(IsFontFamilyInstalled("No Such Face At All 0815"));
    EXPECT_FALSE(IsFontFamilyInstalled(""));
    EXPECT_FALSE(AddFontFile("/nonexistent/font.ttf"));
}

}  // namespace
}  // namespace sw::gfx
