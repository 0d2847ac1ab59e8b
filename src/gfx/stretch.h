// Whole-image smooth scaling: thumbnails and the density resampler.
#pragma once

#include <string>

#include "gfx/image.h"

namespace sw::gfx {

// The whole image scaled to exactly width x height (aspect ratio not kept)
// with a smoothing filter (area averaging when shrinking). The result keeps
// the source's kind: 24-bit stays 24-bit; a 32-bit source is premultiplied
// first when it is straight and the result is premultiplied. Empty on an empty
// source or a bad size.
Image SmoothStretch(const Image& source, int width, int height);

// Reads an image file (PNG or JPEG), scales it smoothly to exactly width x
// height and writes it as PNG to `destination` (32-bit when the source has
// alpha, else 24-bit). False when the source cannot be read, the size is
// empty or the file cannot be written.
bool ResampleImageFile(const std::string& source, const std::string& destination, int width,
                       int height);

}  // namespace sw::gfx
