// Writing JPEG and PNG files. Each writer writes a temporary file in the
// destination folder and renames it over the destination, so a failed write
// never leaves a broken file. Failure is reported by the result; callers log.
#pragma once

#include <string>

#include "gfx/image.h"

namespace sw::gfx {

// Previews and thumbnails are JPEG at quality 90 with 4:2:0 chroma
// subsampling: artefacts stay invisible at preview scale while files stay
// small and encoding fast.
inline constexpr int kJpegQuality = 90;

// Encodes the colour of the image (alpha ignored) straight from its rows.
bool SaveJpeg(const Image& image, const std::string& path, int quality = kJpegQuality);

// A 32-bit RGBA PNG (straight alpha) for images with alpha, a 24-bit RGB PNG
// for the others.
bool SavePng(const Image& image, const std::string& path);

}  // namespace sw::gfx
