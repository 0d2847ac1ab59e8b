#include "gfx/scaled_source.h"

namespace sw::gfx {

ScaledSource::ScaledSource(const Image& image, const Rect& source, const Rect& dest) {
    bool whole = source == Rect{0, 0, image.width(), image.height()};
    cairo_matrix_t matrix;
    if (source.width == dest.width && source.height == dest.height) {
        // 1:1: a plain offset, which Cairo turns into a straight copy or blend.
        pattern_ = cairo_pattern_create_for_surface(image.surface());
        cairo_matrix_init_translate(&matrix, source.x - dest.x, source.y - dest.y);
        cairo_pattern_set_matrix(pattern_, &matrix);
        cairo_pattern_set_filter(pattern_, CAIRO_FILTER_NEAREST);
    } else {
        // The part alone, so that filtering never reaches pixels outside it
        // and its edge pixels extend to the edges of the destination.
        cairo_surface_t* surface = image.surface();
        if (!whole) {
            part_ = cairo_surface_create_for_rectangle(image.surface(), source.x, source.y,
                                                       source.width, source.height);
            if (cairo_surface_status(part_) != CAIRO_STATUS_SUCCESS) {
                return;
            }
            surface = part_;
        }
        pattern_ = cairo_pattern_create_for_surface(surface);
        cairo_matrix_init_scale(&matrix, static_cast<double>(source.width) / dest.width,
                                static_cast<double>(source.height) / dest.height);
        cairo_matrix_translate(&matrix, -dest.x, -dest.y);
        cairo_pattern_set_matrix(pattern_, &matrix);
        // GOOD averages over the covered area when shrinking and is bilinear
        // when enlarging.
        cairo_pattern_set_filter(pattern_, CAIRO_FILTER_GOOD);
        cairo_pattern_set_extend(pattern_, CAIRO_EXTEND_PAD);
    }
    if (cairo_pattern_status(pattern_) != CAIRO_STATUS_SUCCESS) {
        cairo_pattern_destroy(pattern_);
        pattern_ = nullptr;
    }
}

ScaledSource::~ScaledSource() {
    if (pattern_ != nullptr) {
        cairo_pattern_destroy(pattern_);
    }
    if (part_ != nullptr) {
        cairo_surface_destroy(part_);
    }
}

}  // namespace sw::gfx
