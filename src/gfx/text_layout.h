// The process-wide Pango context behind MeasureText and Canvas::DrawText.
// Internal to the drawing layer.
#pragma once

#include <cairo.h>

#include <mutex>
#include <string_view>

#include "gfx/geometry.h"

typedef struct _PangoLayout PangoLayout;

namespace sw::gfx {

// A single-line layout of `text` in the theme face at em height `size`, made
// while the font lock is held. `box` is the area the text covers, in layout
// coordinates (its x and y are 0 or negative), so drawing the layout at
// (x - box.x, y - box.y) puts the box's corner at (x, y).
class TextLayout {
  public:
    TextLayout(int size, std::string_view text);
    TextLayout(const TextLayout&) = delete;
    TextLayout& operator=(const TextLayout&) = delete;
    ~TextLayout();

    bool empty() const { return layout_ == nullptr; }
    const Rect& box() const { return box_; }
    // Draws the text with the box's corner at (x, y) in the current source.
    void Show(cairo_t* cr, int x, int y) const;

  private:
    std::unique_lock<std::mutex> lock_;
    PangoLayout* layout_ = nullptr;
    Rect box_;
};

}  // namespace sw::gfx
