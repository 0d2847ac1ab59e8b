// A screen canvas: a 24-bit picture (no alpha of its own), black at start,
// that images, colour blocks and text are drawn onto. Not shared between
// threads; separate canvases may be used on separate threads at once.
#pragma once

#include <cstdint>
#include <string_view>

#include "gfx/geometry.h"
#include "gfx/image.h"

typedef struct _cairo cairo_t;

namespace sw::gfx {

enum class BlendMode {
    kAlpha,  // source over destination by the image's per-pixel alpha
             // (the bytes are taken as premultiplied)
    kCopy,   // the source replaces the destination, alpha ignored
};

struct Color {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
};

class Canvas {
  public:
    Canvas() = default;
    // A width x height canvas, every pixel black. Fails (ok() false) for an
    // empty size or one beyond kMaxImagePixels.
    Canvas(int width, int height);
    Canvas(Canvas&& other) noexcept;
    Canvas& operator=(Canvas&& other) noexcept;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas();

    bool ok() const { return cr_ != nullptr; }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }

    // Draws the part `source` of the image scaled into `dest`. Equal sizes at
    // whole-pixel offsets are copied 1:1; other sizes are filtered (smooth
    // when shrinking, bilinear when enlarging), the source's edge pixels
    // extending to the edges of `dest`. False when the image is empty or
    // `source` is empty or not inside the image; an empty `dest` draws nothing
    // and is true. Parts of `dest` outside the canvas are cut off.
    bool DrawImage(const Image& image, const Rect& source, const Rect& dest, BlendMode mode);

    // Blends the colour over `rect` with constant opacity / 255.
    void FillRect(const Rect& rect, Color color, uint8_t opacity);

    // One line of UTF-8 text in the theme face at an em height of `size`
    // pixels, its logical box's top-left corner at (x, y), transparent
    // background. The area covered lies within (x, y) and MeasureText(size,
    // text). Invalid UTF-8 is drawn with replacement characters. Empty text
    // or size <= 0 draws nothing. A size over kMaxTextSize is drawn at that
    // size. False when the text could not be drawn; the canvas stays usable.
    bool DrawText(int x, int y, std::string_view text, int size, Color color);

    // Draws the outline of rect, one pixel wide, in the colour: the mark of
    // something that could not be drawn.
    void StrokeRect(const Rect& rect, Color color);

    // The picture drawn so far (24-bit, pending drawing flushed).
    const Image& image();

  private:
    // After a failed drawing call the context is in an error state that
    // every later call would share: it is made anew on the same picture.
    bool RecoverFromError();

    Image image_;
    cairo_t* cr_ = nullptr;
};

}  // namespace sw::gfx
