// An image in memory, ready to be drawn.
//
// Pixels are four bytes in the order blue, green, red, alpha (the native-endian
// 32-bit word A << 24 | R << 16 | G << 8 | B), rows `stride()` bytes apart.
// A 32-bit image carries alpha; a 24-bit image keeps the same four-byte layout
// but its fourth byte means nothing and it is always drawn opaque.
//
// Decoders deliver 32-bit images with straight (not premultiplied) alpha unless
// asked otherwise; PremultiplyAlpha (premultiply.h) turns them into the
// premultiplied form that blending expects. alpha_state() says which form the
// bytes are in.
#pragma once

#include <cstdint>

#include "gfx/geometry.h"

typedef struct _cairo_surface cairo_surface_t;

namespace sw::gfx {

struct Pixel {
    uint8_t b = 0;
    uint8_t g = 0;
    uint8_t r = 0;
    uint8_t a = 0;
    bool operator==(const Pixel&) const = default;
};

enum class AlphaState {
    kOpaque,                     // 24-bit: no alpha at all
    kStraight,                   // 32-bit, colour bytes not multiplied by alpha
    kPremultiplied,              // 32-bit, every pixel premultiplied
    kPremultipliedExceptBorder,  // 32-bit, premultiplied inside, outermost rows
                                 // and columns left straight
};

class Image {
  public:
    Image() = default;
    Image(Image&& other) noexcept;
    Image& operator=(Image&& other) noexcept;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    ~Image();

    // A new image of width x height, every byte 0. Fails (empty image) for a
    // size of zero, a negative size or one beyond kMaxImagePixels.
    static Image Create(int width, int height, bool with_alpha);

    bool empty() const { return surface_ == nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    Size size() const { return {width_, height_}; }
    int bits_per_pixel() const { return has_alpha() ? 32 : 24; }
    bool has_alpha() const { return alpha_state_ != AlphaState::kOpaque; }
    AlphaState alpha_state() const { return alpha_state_; }
    void set_alpha_state(AlphaState state);

    // Row access. After writing through row() call MarkDirty() before the
    // image is drawn again.
    int stride() const { return stride_; }
    uint8_t* row(int y);
    const uint8_t* row(int y) const;
    void MarkDirty();

    // The bytes as stored (premultiplied or straight, see alpha_state()).
    // Coordinates must lie inside the image.
    Pixel PixelAt(int x, int y) const;
    void SetPixel(int x, int y, Pixel p);
    // The pixel with straight alpha: stored bytes for straight images and
    // opaque ones (alpha reported 255), otherwise colour * 255 / alpha rounded.
    Pixel StraightPixelAt(int x, int y) const;

    // The drawing layer's own handle (Cairo image surface); not for callers
    // outside src/gfx.
    cairo_surface_t* surface() const { return surface_; }

  private:
    Image(cairo_surface_t* surface, AlphaState state);

    cairo_surface_t* surface_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    AlphaState alpha_state_ = AlphaState::kOpaque;
};

// Images above this many pixels are refused before any pixel memory is taken.
inline constexpr long long kMaxImagePixels = 64LL * 1024 * 1024;

}  // namespace sw::gfx
