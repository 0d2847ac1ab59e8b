#include "engine/nine_patch.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/engine_fixture.h"
#include "engine/kept_pictures.h"

namespace sw {
namespace {

using PatchRun = NinePatchImage::Run;
using test::Bgra;
using test::Rgb;

const gfx::Pixel kBlack = Bgra(0, 0, 0, 255);
const gfx::Pixel kClear = Bgra(0, 0, 0, 0);
const gfx::Pixel kRed = Rgb(255, 0, 0);
const gfx::Pixel kGreen = Rgb(0, 255, 0);
const gfx::Pixel kBlue = Rgb(0, 0, 255);
const gfx::Pixel kWhite = Rgb(255, 255, 255);

// Writes a nine-patch file from its marks: top[i] and left[i] tell whether
// interior column or row i is marked black; paint gives the interior.
std::string WriteNinePatch(const std::string& path, const std::string& top, const std::string& left,
                           const std::function<gfx::Pixel(int x, int y)>& paint,
                           gfx::Pixel mark = kBlack) {
    const int width = static_cast<int>(top.size()) + 2;
    const int height = static_cast<int>(left.size()) + 2;
    test::WritePng(path, width, height, [&](int x, int y) {
        const bool borderX = x == 0 || x == width - 1;
        const bool borderY = y == 0 || y == height - 1;
        if (y == 0 && !borderX) {
            return top[x - 1] == '#' ? mark : kClear;
        }
        if (x == 0 && !borderY) {
            return left[y - 1] == '#' ? mark : kClear;
        }
        if (borderX || borderY) {
            return kClear;
        }
        return paint(x - 1, y - 1);
    });
    return path;
}

// The canvas as a row of letters per pixel: r, g, b, w(hite), k (black), ?.
std::string Row(gfx::Canvas& canvas, int y, int x0, int x1) {
    std::string letters;
    for (int x = x0; x < x1; ++x) {
        const gfx::Pixel p = canvas.image().PixelAt(x, y);
        const auto is = [&](gfx::Pixel c) { return p.r == c.r && p.g == c.g && p.b == c.b; };
        letters += is(kRed)     ? 'r'
                   : is(kGreen) ? 'g'
                   : is(kBlue)  ? 'b'
                   : is(kWhite) ? 'w'
                   : is(kBlack) ? 'k'
                                : '?';
    }
    return letters;
}

class NinePatchTest : public ::testing::Test {
  protected:
    NinePatchTest() : canvas_(40, 30) { canvas_.FillRect({0, 0, 40, 30}, {255, 255, 255}, 255); }
    test::TempFolder folder_;
    gfx::Canvas canvas_;
};

TEST_F(NinePatchTest, SinglePixelFillsAnyRectangle) {
    const std::string path =
        WriteNinePatch(folder_ / "one.9.png", "#", "#", [](int, int) { return kRed; });
    NinePatchImage image;
    ASSERT_TRUE(image.Load(path));
    EXPECT_TRUE(image.valid());
    EXPECT_TRUE(image.IsNinePatch());
    EXPECT_EQ(image.row_runs(), (std::vector<PatchRun>{{1, 2, true}}));
    EXPECT_EQ(image.column_runs(), (std::vector<PatchRun>{{1, 2, true}}));
    EXPECT_EQ(image.width(), 3);
    ASSERT_TRUE(image.Draw(canvas_, 2, 3, 25, 17));
    for (int y = 3; y < 20; ++y) {
        EXPECT_EQ(Row(canvas_, y, 1, 28), "w" + std::string(25, 'r') + "w") << y;
    }
    EXPECT_EQ(Row(canvas_, 2, 0, 40), std::string(40, 'w'));
    EXPECT_EQ(Row(canvas_, 20, 0, 40), std::string(40, 'w'));
}

TEST_F(NinePatchTest, WidthRemainderGoesToTheLastStretchableColumn) {
    // Columns: stretchable 1 (red), fixed 4 (green), stretchable 2 (blue).
    const std::string path = WriteNinePatch(folder_ / "w.9.png", "#....##", "#", [](int x, int) {
        return x == 0 ? kRed : x < 5 ? kGreen : kBlue;
    });
    NinePatchImage image;
    ASSERT_TRUE(image.Load(path));
    EXPECT_EQ(image.column_runs(),
              (std::vector<PatchRun>{{1, 2, true}, {2, 6, false}, {6, 8, true}}));
    // 14 wide: 1 x 10 / 3 = 3, 4, 2 x 10 / 3 = 6, and the lost pixel makes 7.
    ASSERT_TRUE(image.Draw(canvas_, 10, 5, 14, 4));
    for (int y = 5; y < 9; ++y) {
        EXPECT_EQ(Row(canvas_, y, 9, 25), "wrrrggggbbbbbbbw") << y;
    }
    EXPECT_EQ(Row(canvas_, 4, 9, 25), std::string(16, 'w'));
    EXPECT_EQ(Row(canvas_, 9, 9, 25), std::string(16, 'w'));
}

TEST_F(NinePatchTest, HeightRemainderGoesToTheLastStretchableRow) {
    // Rows: stretchable 1 (red), fixed 2 (green), stretchable 1 (blue).
    const std::string path = WriteNinePatch(folder_ / "h.9.png", "#", "#..#", [](int, int y) {
        return y == 0 ? kRed : y < 3 ? kGreen : kBlue;
    });
    NinePatchImage image;
    ASSERT_TRUE(image.Load(path));
    // 9 high: 1 x 7 / 2 = 3, 2, 3, and the lost pixel makes the last 4.
    ASSERT_TRUE(image.Draw(canvas_, 1, 1, 2, 9));
    std::string column;
    for (int y = 0; y < 11; ++y) {
        column += Row(canvas_, y, 1, 2);
    }
    EXPECT_EQ(column, "wrrrggbbbbw");
}

TEST_F(NinePatchTest, CellsOfNoSizeAreSkippedAndTheRestPlacedByTheRunningSum) {
    const std::string path = WriteNinePatch(folder_ / "w.9.png", "#....##", "#", [](int x, int) {
        return x == 0 ? kRed : x < 5 ? kGreen : kBlue;
    });
    NinePatchImage image;
    ASSERT_TRUE(image.Load(path));
    // 2 wide: -2 x 1 / 3 = 0 (skipped), 4 fixed, -2 x 2 / 3 = -1, then -1
    // more: the fixed cell is drawn whole, the last is skipped.
    ASSERT_TRUE(image.Draw(canvas_, 10, 5, 2, 3));
    EXPECT_EQ(Row(canvas_, 6, 8, 16), "wwggggww");
}

struct InvalidCase {
    const char* name;
    const char* top;
    const char* left;
    gfx::Pixel mark;
    bool alpha;
};

TEST_F(NinePatchTest, FilesWithoutValidMarksAreDrawnWhole) {
    const InvalidCase cases[] = {
        {"half-transparent-mark", "#", "#", Bgra(0, 0, 0, 128), true},
        {"red-mark", "#", "#", Rgb(255, 0, 0), true},
        {"no-alpha", "#", "#", kBlack, false},
    };
    for (const InvalidCase& c : cases) {
        const std::string path = folder_ / (std::string(c.name) + ".9.png");
        const int size = 5;
        test::WritePng(
            path, size, size,
            [&](int x, int y) {
                if ((x == 0) != (y == 0)) {
                    return c.mark;
                }
                return x == 0 ? kBlue : kGreen;
            },
            c.alpha);
        NinePatchImage image;
        ASSERT_TRUE(image.Load(path)) << c.name;
        EXPECT_FALSE(image.valid()) << c.name;
        EXPECT_FALSE(image.IsNinePatch()) << c.name;
        EXPECT_FALSE(IsNinePatch(path)) << c.name;
        EXPECT_TRUE(image.row_runs().empty()) << c.name;
        // Drawn 1:1, the border shows: the top-left corner pixel is blue.
        canvas_.FillRect({0, 0, 40, 30}, {255, 255, 255}, 255);
        ASSERT_TRUE(image.Draw(canvas_, 3, 3, size, size)) << c.name;
        EXPECT_EQ(Row(canvas_, 3, 3, 4), "b") << c.name;
        EXPECT_EQ(Row(canvas_, 5, 5, 8), "ggg") << c.name;
    }
}

TEST_F(NinePatchTest, StretchingOneWayOnlyIsNoNinePatch) {
    const std::string path =
        WriteNinePatch(folder_ / "v.9.png", "...", "#", [](int, int) { return kRed; });
    NinePatchImage image;
    ASSERT_TRUE(image.Load(path));
    EXPECT_TRUE(image.valid());
    EXPECT_FALSE(image.IsNinePatch());
    EXPECT_EQ(image.column_runs(), (std::vector<PatchRun>{{1, 4, false}}));
    // Vertically stretched; no stretchable column, so the width stays 3.
    ASSERT_TRUE(image.Draw(canvas_, 0, 0, 5, 6));
    EXPECT_EQ(Row(canvas_, 5, 0, 5), "rrrww");
}

TEST_F(NinePatchTest, UnreadableFilesFailToLoad) {
    test::WriteText(folder_ / "text.9.png", "no image");
    for (const std::string& path : {folder_ / "missing.9.png", folder_ / "text.9.png"}) {
        NinePatchImage image;
        EXPECT_FALSE(image.Load(path)) << path;
        EXPECT_FALSE(image.Draw(canvas_, 0, 0, 10, 10));
        EXPECT_FALSE(IsNinePatch(path));
    }
    EXPECT_EQ(Row(canvas_, 0, 0, 10), std::string(10, 'w'));
}

// In the editor a nine-patch is one of the kept pictures: drawn again from
// the picture kept while its file is unchanged, and read again, marks and
// colours, once another program changed it.
TEST_F(NinePatchTest, AKeptNinePatchIsReadAgainOnceItsFileChanged) {
    KeepPictures(1 << 20);
    const std::string path =
        WriteNinePatch(folder_ / "kept.9.png", "#", "#", [](int, int) { return kRed; });
    NinePatchImage first;
    ASSERT_TRUE(first.Load(path));
    NinePatchImage again;
    ASSERT_TRUE(again.Load(path));
    EXPECT_EQ(&again.image(), &first.image()) << "the unchanged file was decoded again";

    // Another size and other marks: fixed green, stretchable blue.
    WriteNinePatch(path, ".#", "#", [](int x, int) { return x == 0 ? kGreen : kBlue; });
    NinePatchImage changed;
    ASSERT_TRUE(changed.Load(path));
    EXPECT_EQ(changed.width(), 4);
    EXPECT_EQ(changed.column_runs(), (std::vector<PatchRun>{{1, 2, false}, {2, 3, true}}));
    ASSERT_TRUE(changed.Draw(canvas_, 0, 0, 5, 1));
    EXPECT_EQ(Row(canvas_, 0, 0, 6), "gbbbbw");
    KeepPictures(0);
}

}  // namespace
}  // namespace sw
