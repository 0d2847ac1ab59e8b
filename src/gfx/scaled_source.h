// A Cairo pattern that maps a source rectangle of an image onto a destination
// rectangle. Internal to the drawing layer.
#pragma once

#include <cairo.h>

#include "gfx/geometry.h"
#include "gfx/image.h"

namespace sw::gfx {

class ScaledSource {
  public:
    // `source` must be a non-empty part of the image, `dest` non-empty.
    ScaledSource(const Image& image, const Rect& source, const Rect& dest);
    ScaledSource(const ScaledSource&) = delete;
    ScaledSource& operator=(const ScaledSource&) = delete;
    ~ScaledSource();

    bool ok() const { return pattern_ != nullptr; }
    cairo_pattern_t* get() const { return pattern_; }

  private:
    cairo_surface_t* part_ = nullptr;
    cairo_pattern_t* pattern_ = nullptr;
};

}  // namespace sw::gfx
