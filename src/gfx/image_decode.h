// Reading PNG and JPEG files. The format is told by the file's first bytes,
// never by its name. Every function reports failure by its result and logs
// nothing; callers log.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "gfx/image.h"

namespace sw::gfx {

enum class ImageFormat { kUnknown, kPng, kJpeg };

// What a file's header says.
struct ImageInfo {
    ImageFormat format = ImageFormat::kUnknown;
    int width = 0;
    int height = 0;
    int bits_per_pixel = 0;  // 32 when the image has alpha, else 24
    bool has_alpha = false;  // PNG with an alpha channel or a tRNS chunk
};

// How decoding treats alpha of a 32-bit image (24-bit images ignore it).
enum class Premultiply {
    kNone,        // straight alpha, as stored in the file
    kAll,         // PremultiplyAlpha rule on every pixel
    kKeepBorder,  // the same, leaving the outermost rows and columns straight
};

// Reads only the header (PNG: chunks up to the image data; JPEG: markers up to
// the frame header). False for anything that is not a PNG or JPEG, a header
// that is cut short, or a size of zero or above kMaxImagePixels.
bool ReadImageInfo(const std::string& path, ImageInfo* info);

// Decodes a whole file. PNG: palette, grey, 16-bit and tRNS are all converted;
// 32-bit with alpha where the file has alpha, 24-bit otherwise. JPEG: 24-bit
// (grey, YCbCr and CMYK are converted). A truncated or corrupt file, a file
// that is no image, or one above kMaxImagePixels gives false and leaves *image
// empty.
bool DecodeImage(const std::string& path, Image* image, Premultiply rule = Premultiply::kNone);
bool DecodeImageMemory(const uint8_t* data, size_t size, Image* image,
                       Premultiply rule = Premultiply::kNone);

// DecodeImage for a picture that is to be shown at width x height or less: a
// JPEG is decoded at the smallest of the decoder's reduced scales (1/8, 2/8
// ... 7/8) that still gives at least width x height pixels, which costs a
// fraction of a whole decode and is itself a smooth reduction. A JPEG that no
// reduced scale covers, and every PNG, is decoded whole. False also for a
// width or height of 0 or less.
bool DecodeImageAtLeast(const std::string& path, int width, int height, Image* image,
                        Premultiply rule = Premultiply::kNone);

}  // namespace sw::gfx
