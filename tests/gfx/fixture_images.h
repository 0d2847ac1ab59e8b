// Image files made by the tests themselves: PNG of every colour type written
// with libpng, JPEG with TurboJPEG, and a temporary folder to hold them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/image.h"

namespace sw::gfx::test {

// A fresh folder below the system's temporary folder, removed with its
// contents when the object goes.
class TempFolder {
  public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    // Names of the folder's entries, sorted.
    std::vector<std::string> Entries() const;

  private:
    std::string path_;
};

struct PngPlan {
    int width = 0;
    int height = 0;
    int color_type = 0;  // PNG_COLOR_TYPE_*
    int bit_depth = 8;
    bool interlaced = false;
    // Rows exactly as stored in the file: width * channels * bit_depth / 8
    // bytes each (rounded up), 16-bit samples big-endian.
    std::vector<std::vector<uint8_t>> rows;
    std::vector<uint8_t> palette;  // r, g, b triples
    std::vector<uint8_t> trns;     // palette alphas, or the grey / RGB key
};

// The encoded file, or empty on failure.
std::vector<uint8_t> EncodePng(const PngPlan& plan);

// An 8-bit RGBA PNG of the given straight pixels (row-major).
std::vector<uint8_t> EncodeRgbaPng(int width, int height, const std::vector<Pixel>& pixels);

// A JPEG at quality 95 of the given pixels (alpha ignored), 4:4:4, or grey.
std::vector<uint8_t> EncodeJpeg(int width, int height, const std::vector<Pixel>& pixels,
                                bool grey = false);

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);

// Fills an image with a colour (bytes as given, alpha state untouched).
void Fill(Image& image, Pixel p);

// The largest difference of any channel (alpha included).
int Distance(Pixel a, Pixel b);

}  // namespace sw::gfx::test
