// Plain integer rectangles and sizes of the drawing layer.
#pragma once

namespace sw::gfx {

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

// A rectangle in pixels: left, top, width and height. A width or height of
// zero or less makes it empty.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
    bool operator==(const Rect&) const = default;
};

}  // namespace sw::gfx
