// Decoding PNG and JPEG files of every kind, and refusing what is not a sound
// image of an acceptable size.
#include <gtest/gtest.h>
#include <png.h>
#include <turbojpeg.h>
#include <zlib.h>

#include <functional>
#include <string>
#include <vector>

#include "gfx/decoded_pictures.h"
#include "gfx/fixture_images.h"
#include "gfx/image_decode.h"

namespace sw::gfx {
namespace {

using test::Distance;
using test::EncodeJpeg;
using test::EncodePng;
using test::PngPlan;
using test::TempFolder;
using test::WriteBytes;

struct PngCase {
    const char* name;
    std::function<PngPlan()> make;
    int bits_per_pixel;
    // Expected straight pixels, row-major.
    std::vector<Pixel> pixels;
};

PngPlan Plan2x2(int color_type, int bit_depth, std::vector<uint8_t> row0,
                std::vector<uint8_t> row1) {
    PngPlan plan{2, 2, color_type, bit_depth};
    plan.rows = {std::move(row0), std::move(row1)};
    return plan;
}

// 16-bit samples that scale back exactly to the 8-bit value v.
std::vector<uint8_t> Wide(std::initializer_list<uint8_t> values) {
    std::vector<uint8_t> out;
    for (uint8_t v : values) {
        out.push_back(v);
        out.push_back(v);
    }
    return out;
}

std::vector<Pixel> InterlacedPixels() {
    std::vector<Pixel> pixels;
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 9; ++x) {
            pixels.push_back({static_cast<uint8_t>(x + y), static_cast<uint8_t>(y * 30),
                              static_cast<uint8_t>(x * 20), static_cast<uint8_t>(255 - x * 10)});
        }
    }
    return pixels;
}

const std::vector<PngCase>& PngCases() {
    static const std::vector<PngCase> cases = {
        {"rgba8",
         [] {
             return Plan2x2(PNG_COLOR_TYPE_RGB_ALPHA, 8, {255, 0, 0, 255, 0, 255, 0, 128},
                            {0, 0, 255, 0, 10, 20, 30, 200});
         },
         32,
         {{0, 0, 255, 255}, {0, 255, 0, 128}, {255, 0, 0, 0}, {30, 20, 10, 200}}},
        {"rgb8",
         [] {
             return Plan2x2(PNG_COLOR_TYPE_RGB, 8, {255, 0, 0, 0, 255, 0}, {0, 0, 255, 10, 20, 30});
         },
         24,
         {{0, 0, 255, 255}, {0, 255, 0, 255}, {255, 0, 0, 255}, {30, 20, 10, 255}}},
        {"palette8",
         [] {
             PngPlan plan = Plan2x2(PNG_COLOR_TYPE_PALETTE, 8, {0, 1}, {2, 3});
             plan.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 128, 128, 128};
             return plan;
         },
         24,
         {{0, 0, 255, 255}, {0, 255, 0, 255}, {255, 0, 0, 255}, {128, 128, 128, 255}}},
        {"palette2_trns",
         [] {
             // Two bits per index: 0 1 in the first row, 2 3 in the second.
             PngPlan plan = Plan2x2(PNG_COLOR_TYPE_PALETTE, 2, {0x10}, {0xB0});
             plan.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 128, 128, 128};
             plan.trns = {255, 128, 0};
             return plan;
         },
         32,
         {{0, 0, 255, 255}, {0, 255, 0, 128}, {255, 0, 0, 0}, {128, 128, 128, 255}}},
        {"grey8",
         [] {
             return Plan2x2(PNG_COLOR_TYPE_GRAY, 8, {0, 100}, {200, 255});
         },
         24,
         {{0, 0, 0, 255}, {100, 100, 100, 255}, {200, 200, 200, 255}, {255, 255, 255, 255}}},
        {"grey1",
         [] { return Plan2x2(PNG_COLOR_TYPE_GRAY, 1, {0x80}, {0x40}); },
         24,
         {{255, 255, 255, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}, {255, 255, 255, 255}}},
        {"grey_alpha8",
         [] {
             return Plan2x2(PNG_COLOR_TYPE_GRAY_ALPHA, 8, {50, 255, 50, 0}, {200, 100, 0, 255});
         },
         32,
         {{50, 50, 50, 255}, {50, 50, 50, 0}, {200, 200, 200, 100}, {0, 0, 0, 255}}},
        {"rgba16",
         [] {
             return Plan2x2(PNG_COLOR_TYPE_RGB_ALPHA, 16, Wide({255, 0, 0, 255, 0, 255, 0, 128}),
                            Wide({0, 0, 255, 0, 10, 20, 30, 200}));
         },
         32,
         {{0, 0, 255, 255}, {0, 255, 0, 128}, {255, 0, 0, 0}, {30, 20, 10, 200}}},
        {"rgb16",
         [] {
             return Plan2x2(PNG_COLOR_TYPE_RGB, 16, Wide({255, 0, 0, 0, 255, 0}),
                            Wide({0, 0, 255, 10, 20, 30}));
         },
         24,
         {{0, 0, 255, 255}, {0, 255, 0, 255}, {255, 0, 0, 255}, {30, 20, 10, 255}}},
        {"rgb8_trns_key",
         [] {
             PngPlan plan =
                 Plan2x2(PNG_COLOR_TYPE_RGB, 8, {255, 0, 0, 0, 255, 0}, {0, 0, 255, 10, 20, 30});
             plan.trns = {0, 0, 255};
             return plan;
         },
         32,
         {{0, 0, 255, 255}, {0, 255, 0, 255}, {255, 0, 0, 0}, {30, 20, 10, 255}}},
        {"rgba8_interlaced",
         [] {
             PngPlan plan{9, 7, PNG_COLOR_TYPE_RGB_ALPHA, 8, true};
             std::vector<Pixel> pixels = InterlacedPixels();
             for (int y = 0; y < 7; ++y) {
                 std::vector<uint8_t> row;
                 for (int x = 0; x < 9; ++x) {
                     const Pixel& p = pixels[static_cast<size_t>(y * 9 + x)];
                     row.insert(row.end(), {p.r, p.g, p.b, p.a});
                 }
                 plan.rows.push_back(row);
             }
             return plan;
         },
         32, InterlacedPixels()},
    };
    return cases;
}

class PngKinds : public testing::TestWithParam<size_t> {};

TEST_P(PngKinds, DecodesToExpectedPixelsAndDepth) {
    const PngCase& c = PngCases()[GetParam()];
    PngPlan plan = c.make();
    TempFolder folder;
    std::string path = folder.File(std::string(c.name) + ".png");
    ASSERT_TRUE(WriteBytes(path, EncodePng(plan)));

    ImageInfo info;
    ASSERT_TRUE(ReadImageInfo(path, &info));
    EXPECT_EQ(info.format, ImageFormat::kPng);
    EXPECT_EQ(info.width, plan.width);
    EXPECT_EQ(info.height, plan.height);
    EXPECT_EQ(info.bits_per_pixel, c.bits_per_pixel);
    EXPECT_EQ(info.has_alpha, c.bits_per_pixel == 32);

    Image image;
    ASSERT_TRUE(DecodeImage(path, &image));
    EXPECT_EQ(image.width(), plan.width);
    EXPECT_EQ(image.height(), plan.height);
    EXPECT_EQ(image.bits_per_pixel(), c.bits_per_pixel);
    EXPECT_EQ(image.alpha_state(),
              c.bits_per_pixel == 32 ? AlphaState::kStraight : AlphaState::kOpaque);
    for (int y = 0; y < plan.height; ++y) {
        for (int x = 0; x < plan.width; ++x) {
            Pixel want = c.pixels[static_cast<size_t>(y * plan.width + x)];
            Pixel got = image.StraightPixelAt(x, y);
            EXPECT_EQ(got, want) << c.name << " at " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Decode, PngKinds, testing::Range<size_t>(0, PngCases().size()),
                         [](const testing::TestParamInfo<size_t>& info) {
                             return std::string(PngCases()[info.param].name);
                         });

std::vector<Pixel> TwoColourBlocks(int width, int height, Pixel left, Pixel right) {
    std::vector<Pixel> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(x < width / 2 ? left : right);
        }
    }
    return pixels;
}

TEST(DecodeJpeg, ColourAndGreyGive24BitPictures) {
    TempFolder folder;
    const Pixel red{0, 0, 255, 255};
    const Pixel blue{255, 0, 0, 255};
    std::string colour = folder.File("colour.jpg");
    ASSERT_TRUE(WriteBytes(colour, EncodeJpeg(32, 16, TwoColourBlocks(32, 16, red, blue))));
    std::string grey = folder.File("grey.jpg");
    const Pixel mid{90, 90, 90, 255};
    ASSERT_TRUE(WriteBytes(grey, EncodeJpeg(8, 8, std::vector<Pixel>(64, mid), true)));

    ImageInfo info;
    ASSERT_TRUE(ReadImageInfo(colour, &info));
    EXPECT_EQ(info.format, ImageFormat::kJpeg);
    EXPECT_EQ(info.width, 32);
    EXPECT_EQ(info.height, 16);
    EXPECT_EQ(info.bits_per_pixel, 24);
    EXPECT_FALSE(info.has_alpha);

    Image image;
    ASSERT_TRUE(DecodeImage(colour, &image));
    EXPECT_EQ(image.bits_per_pixel(), 24);
    EXPECT_EQ(image.size(), (Size{32, 16}));
    EXPECT_LE(Distance(image.StraightPixelAt(4, 8), red), 8);
    EXPECT_LE(Distance(image.StraightPixelAt(27, 8), blue), 8);

    ASSERT_TRUE(DecodeImage(grey, &image));
    EXPECT_EQ(image.bits_per_pixel(), 24);
    EXPECT_LE(Distance(image.StraightPixelAt(3, 3), mid), 3);
}

TEST(DecodeJpeg, StrayBytesBeforeTheEndMarkerStillGiveTheWholePicture) {
    TempFolder folder;
    const Pixel red{0, 0, 255, 255};
    const Pixel blue{255, 0, 0, 255};
    std::vector<uint8_t> jpeg = EncodeJpeg(32, 16, TwoColourBlocks(32, 16, red, blue));
    ASSERT_GE(jpeg.size(), 2u);
    ASSERT_EQ(jpeg[jpeg.size() - 2], 0xFF);
    ASSERT_EQ(jpeg[jpeg.size() - 1], 0xD9);
    // As some cameras write them: a few bytes between the data and the end.
    jpeg.insert(jpeg.end() - 2, {0x00, 0x11, 0x22});
    const std::string path = folder.File("camera.jpg");
    ASSERT_TRUE(WriteBytes(path, jpeg));

    Image image;
    ASSERT_TRUE(DecodeImage(path, &image));
    EXPECT_EQ(image.size(), (Size{32, 16}));
    EXPECT_LE(Distance(image.StraightPixelAt(4, 8), red), 8);
    EXPECT_LE(Distance(image.StraightPixelAt(27, 8), blue), 8);
}

TEST(DecodeJpeg, CmykFilesAreConvertedToColour) {
    // Stored the Adobe way (255 = no ink): bytes C 255, M 0, Y 255, K 255
    // give red 255, green 0, blue 255; a K byte of 128 halves every channel.
    std::vector<uint8_t> cmyk;
    for (int i = 0; i < 8 * 8; ++i) {
        cmyk.insert(cmyk.end(), {255, 0, 255, static_cast<uint8_t>(i < 32 ? 255 : 128)});
    }
    tjhandle tj = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    ASSERT_EQ(tjCompress2(tj, cmyk.data(), 8, 32, 8, TJPF_CMYK, &jpeg, &size, TJSAMP_444, 100, 0),
              0);
    std::vector<uint8_t> bytes(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(tj);

    Image image;
    ASSERT_TRUE(DecodeImageMemory(bytes.data(), bytes.size(), &image));
    EXPECT_EQ(image.bits_per_pixel(), 24);
    EXPECT_LE(Distance(image.StraightPixelAt(2, 1), {255, 0, 255, 255}), 3);
    EXPECT_LE(Distance(image.StraightPixelAt(2, 6), {128, 0, 128, 255}), 3);
}

TEST(DecodeJpeg, ReducedScalesCoverTheAskedSize) {
    TempFolder folder;
    const Pixel red{0, 0, 255, 255};
    const Pixel blue{255, 0, 0, 255};
    std::string jpeg = folder.File("blocks.jpg");
    ASSERT_TRUE(WriteBytes(jpeg, EncodeJpeg(64, 32, TwoColourBlocks(64, 32, red, blue))));
    std::string png = folder.File("blocks.png");
    ASSERT_TRUE(WriteBytes(png, test::EncodeRgbaPng(64, 32, TwoColourBlocks(64, 32, red, blue))));
    const struct {
        std::string path;
        int width;
        int height;
        Size decoded;
    } cases[] = {
        {jpeg, 16, 8, {16, 8}},                              // a quarter
        {jpeg, 17, 8, {24, 12}},                             // three eighths
        {jpeg, 1, 1, {8, 4}},                                // an eighth at least
        {jpeg, 60, 10, {64, 32}},                            // only the whole picture covers it
        {jpeg, 100, 100, {64, 32}}, {png, 16, 8, {64, 32}},  // PNG is decoded whole
    };
    for (const auto& c : cases) {
        Image image;
        ASSERT_TRUE(DecodeImageAtLeast(c.path, c.width, c.height, &image)) << c.width;
        EXPECT_EQ(image.size(), c.decoded) << c.path << " " << c.width << "x" << c.height;
        EXPECT_LE(Distance(image.StraightPixelAt(1, image.height() / 2), red), 8);
        EXPECT_LE(Distance(image.StraightPixelAt(image.width() - 2, image.height() / 2), blue), 8);
    }
    Image image;
    EXPECT_FALSE(DecodeImageAtLeast(jpeg, 0, 8, &image));
    EXPECT_TRUE(image.empty());
    EXPECT_FALSE(DecodeImageAtLeast(folder.File("missing.jpg"), 8, 8, &image));
}

TEST(DecodeByContent, FileNameDoesNotDecideTheFormat) {
    TempFolder folder;
    std::string png_named_jpg = folder.File("really_png.jpg");
    ASSERT_TRUE(WriteBytes(png_named_jpg, test::EncodeRgbaPng(1, 1, {{1, 2, 3, 4}})));
    std::string jpg_named_png = folder.File("really_jpeg.png");
    ASSERT_TRUE(
        WriteBytes(jpg_named_png, EncodeJpeg(8, 8, std::vector<Pixel>(64, {0, 0, 0, 255}))));

    Image image;
    ASSERT_TRUE(DecodeImage(png_named_jpg, &image));
    EXPECT_EQ(image.bits_per_pixel(), 32);
    EXPECT_EQ(image.PixelAt(0, 0), (Pixel{1, 2, 3, 4}));
    ASSERT_TRUE(DecodeImage(jpg_named_png, &image));
    EXPECT_EQ(image.bits_per_pixel(), 24);
}

// ---- Files that must be refused --------------------------------------------

void PutBigEndian(std::vector<uint8_t>& out, uint32_t v) {
    out.insert(out.end(), {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
                           static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)});
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBigEndian(out, static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

// A PNG whose header claims width x height, with a small but valid image data
// chunk for a 1 x 1 picture after it.
std::vector<uint8_t> ForgedPng(uint32_t width, uint32_t height) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    PutBigEndian(ihdr, width);
    PutBigEndian(ihdr, height);
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    PutChunk(out, "IHDR", ihdr);
    uint8_t raw[5] = {0, 1, 2, 3, 4};
    uLongf size = compressBound(sizeof raw);
    std::vector<uint8_t> idat(size);
    compress(idat.data(), &size, raw, sizeof raw);
    idat.resize(size);
    PutChunk(out, "IDAT", idat);
    PutChunk(out, "IEND", {});
    return out;
}

// A real small JPEG whose frame header is rewritten to claim width x height.
std::vector<uint8_t> ForgedJpeg(uint16_t width, uint16_t height) {
    std::vector<uint8_t> jpeg = EncodeJpeg(16, 16, std::vector<Pixel>(256, {9, 9, 9, 255}));
    for (size_t i = 2; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = static_cast<uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<uint8_t>(height);
            jpeg[i + 7] = static_cast<uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<uint8_t>(width);
            break;
        }
    }
    return jpeg;
}

std::vector<Pixel> Noise(int count) {
    std::vector<Pixel> pixels;
    uint32_t state = 12345;
    for (int i = 0; i < count; ++i) {
        state = state * 1103515245 + 12345;
        pixels.push_back({static_cast<uint8_t>(state >> 8), static_cast<uint8_t>(state >> 16),
                          static_cast<uint8_t>(state >> 24), static_cast<uint8_t>(state >> 4)});
    }
    return pixels;
}

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, double fraction) {
    bytes.resize(static_cast<size_t>(static_cast<double>(bytes.size()) * fraction));
    return bytes;
}

std::vector<uint8_t> Keep(std::vector<uint8_t> bytes, size_t count) {
    bytes.resize(count);
    return bytes;
}

struct BadCase {
    const char* name;
    std::function<std::vector<uint8_t>()> bytes;
    bool header_readable;  // the header alone is sound
};

const std::vector<BadCase>& BadCases() {
    static const std::vector<BadCase> cases = {
        {"empty", [] { return std::vector<uint8_t>(); }, false},
        {"text",
         [] {
             std::string text = "<resources>not a picture</resources>\n";
             return std::vector<uint8_t>(text.begin(), text.end());
         },
         false},
        {"png_signature_only", [] { return Keep(test::EncodeRgbaPng(64, 64, Noise(4096)), 8); },
         false},
        {"png_cut_in_header", [] { return Keep(test::EncodeRgbaPng(64, 64, Noise(4096)), 20); },
         false},
        {"png_cut_in_half", [] { return Cut(test::EncodeRgbaPng(64, 64, Noise(4096)), 0.5); },
         true},
        {"png_cut_near_end", [] { return Cut(test::EncodeRgbaPng(64, 64, Noise(4096)), 0.95); },
         true},
        {"png_corrupt_data",
         [] {
             std::vector<uint8_t> png = test::EncodeRgbaPng(64, 64, Noise(4096));
             png[png.size() / 2] ^= 0x5A;
             return png;
         },
         true},
        {"png_forged_huge", [] { return ForgedPng(100000, 100000); }, false},
        {"png_forged_zero_width", [] { return ForgedPng(0, 10); }, false},
        {"png_forged_too_wide", [] { return ForgedPng(32768, 1); }, false},
        {"jpeg_cut_in_half", [] { return Cut(EncodeJpeg(64, 64, Noise(4096)), 0.5); }, true},
        {"jpeg_cut_near_end", [] { return Cut(EncodeJpeg(64, 64, Noise(4096)), 0.97); }, true},
        {"jpeg_markers_only", [] { return Keep(EncodeJpeg(64, 64, Noise(4096)), 100); }, false},
        {"jpeg_forged_huge", [] { return ForgedJpeg(60000, 60000); }, false},
        {"jpeg_forged_zero_height", [] { return ForgedJpeg(16, 0); }, false},
    };
    return cases;
}

class BadFiles : public testing::TestWithParam<size_t> {};

TEST_P(BadFiles, FailCleanlyWithAnEmptyImage) {
    const BadCase& c = BadCases()[GetParam()];
    TempFolder folder;
    std::string path = folder.File(std::string(c.name) + ".png");
    std::vector<uint8_t> bytes = c.bytes();
    ASSERT_TRUE(WriteBytes(path, bytes));

    ImageInfo info;
    EXPECT_EQ(ReadImageInfo(path, &info), c.header_readable);
    Image image = Image::Create(3, 3, true);
    EXPECT_FALSE(DecodeImage(path, &image));
    EXPECT_TRUE(image.empty());
    EXPECT_FALSE(DecodeImageMemory(bytes.data(), bytes.size(), &image));
    EXPECT_TRUE(image.empty());
}

INSTANTIATE_TEST_SUITE_P(Decode, BadFiles, testing::Range<size_t>(0, BadCases().size()),
                         [](const testing::TestParamInfo<size_t>& info) {
                             return std::string(BadCases()[info.param].name);
                         });

TEST(DecodeRefuses, MissingFilesFoldersAndNoData) {
    TempFolder folder;
    Image image;
    ImageInfo info;
    EXPECT_FALSE(DecodeImage(folder.File("missing.png"), &image));
    EXPECT_FALSE(ReadImageInfo(folder.File("missing.png"), &info));
    EXPECT_FALSE(DecodeImage(folder.path(), &image));
    EXPECT_FALSE(ReadImageInfo(folder.path(), &info));
    EXPECT_FALSE(DecodeImageMemory(nullptr, 0, &image));
}

TEST(DecodeRefuses, PixelBudgetIsSixtyFourMegapixels) {
    TempFolder folder;
    struct {
        uint32_t width, height;
        bool accepted;
    } sizes[] = {{8192, 8192, true},   {8193, 8192, false}, {16384, 4096, true},
                 {16384, 4097, false}, {32767, 2048, true}, {32767, 2049, false}};
    for (const auto& s : sizes) {
        std::string path = folder.File("budget.png");
        ASSERT_TRUE(WriteBytes(path, ForgedPng(s.width, s.height)));
        ImageInfo info;
        EXPECT_EQ(ReadImageInfo(path, &info), s.accepted) << s.width << "x" << s.height;
        if (!s.accepted) {
            // Refused from the header, before any pixel memory is taken.
            Image image;
            EXPECT_FALSE(DecodeImage(path, &image));
        }
    }
    EXPECT_TRUE(Image::Create(8193, 8192, false).empty());
    EXPECT_TRUE(Image::Create(0, 5, true).empty());
}

// A file decoded once through the shared pictures is known sound (with its
// size) without decoding it again, even when its picture was let go, until
// the file changes: a file damaged after the decode is found out.
TEST(DecodedPicturesTest, AFileKnownSoundIsDecodedAgainOnlyOnceItChanged) {
    TempFolder folder;
    const std::string path = folder.File("a.png");
    const std::vector<Pixel> pixels(12, Pixel{10, 20, 30, 255});
    const std::vector<uint8_t> sound = test::EncodeRgbaPng(4, 3, pixels);
    ASSERT_TRUE(WriteBytes(path, sound));
    DecodedPictures pictures;
    ASSERT_NE(pictures.Decode(path), nullptr);

    struct Step {
        const char* what;
        std::vector<uint8_t> bytes;  // empty: the file stays as it is
        bool sound;
        Size size;
        std::size_t decodes;  // in all, after the step
    };
    const Step steps[] = {
        {"decoded before", {}, true, {4, 3}, 1},
        {"asked again", {}, true, {4, 3}, 1},
        {"cut short",
         std::vector<uint8_t>(sound.begin(), sound.begin() + sound.size() / 2),
         false,
         {},
         2},
        {"still cut short", {}, false, {}, 3},
        {"sound again at another size",
         test::EncodeRgbaPng(5, 2, std::vector<Pixel>(10, Pixel{1, 2, 3, 255})),
         true,
         {5, 2},
         4},
        {"known again", {}, true, {5, 2}, 4},
    };
    for (const Step& step : steps) {
        if (!step.bytes.empty()) {
            ASSERT_TRUE(WriteBytes(path, step.bytes)) << step.what;
        }
        Size size;
        EXPECT_EQ(pictures.IsSound(path, size), step.sound) << step.what;
        if (step.sound) {
            EXPECT_EQ(size, step.size) << step.what;
        }
        EXPECT_EQ(pictures.DecodeCount(path), step.decodes) << step.what;
    }
}

}  // namespace
}  // namespace sw::gfx
