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
// The same JPEG file into bytes.
bool EncodeJpeg(const Image& image, std::string* bytes, int quality = kJpegQuality);

// How hard the PNG writer compresses.
enum class PngCompression {
    kSmall,  // zlib's default level, every row filter tried
    // Paeth-filtered rows run-length coded: files within a few per cent of
    // kSmall for photographic pictures, written three to four times faster.
    // For the many density images of a pack.
    kFast,
};

// A 32-bit RGBA PNG (straight alpha) for images with alpha, a 24-bit RGB PNG
// for the others.
bool SavePng(const Image& image, const std::string& path,
             PngCompression compression = PngCompression::kSmall);
// The same PNG file into bytes.
bool EncodePng(const Image& image, std::string* bytes,
               PngCompression compression = PngCompression::kSmall);

}  // namespace sw::gfx
