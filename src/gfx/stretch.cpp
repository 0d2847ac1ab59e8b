#include "gfx/stretch.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>

#include "gfx/image_decode.h"
#include "gfx/image_encode.h"
#include "gfx/premultiply.h"
#include "gfx/scaled_source.h"

namespace sw::gfx {

namespace {

// Cairo's area filter averages over at most 16 source pixels per output pixel
// in each direction; larger reductions are done in steps of at most this.
constexpr int kMaxStepFactor = 8;

Image CopyOf(const Image& source) {
    cairo_surface_flush(source.surface());
    Image copy = Image::Create(source.width(), source.height(), source.has_alpha());
    if (copy.empty()) {
        return copy;
    }
    size_t bytes = static_cast<size_t>(source.width()) * 4;
    for (int y = 0; y < source.height(); ++y) {
        std::memcpy(copy.row(y), source.row(y), bytes);
    }
    copy.set_alpha_state(source.alpha_state());
    copy.MarkDirty();
    return copy;
}

// One scaling step of the whole image into a new image of width x height.
Image ScaleOnce(const Image& source, int width, int height) {
    Image result = Image::Create(width, height, source.has_alpha());
    if (result.empty()) {
        return result;
    }
    ScaledSource pattern(source, {0, 0, source.width(), source.height()}, {0, 0, width, height});
    if (!pattern.ok()) {
        return Image();
    }
    cairo_t* cr = cairo_create(result.surface());
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source(cr, pattern.get());
    cairo_paint(cr);
    bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    if (!ok) {
        return Image();
    }
    cairo_surface_flush(result.surface());
    result.set_alpha_state(source.alpha_state());
    return result;
}

}  // namespace

Image SmoothStretch(const Image& source, int width, int height) {
    if (source.empty() || width <= 0 || height <= 0 ||
        static_cast<long long>(width) * height > kMaxImagePixels) {
        return Image();
    }
    cairo_surface_flush(source.surface());
    Image premultiplied;
    const Image* current = &source;
    if (source.alpha_state() == AlphaState::kStraight) {
        premultiplied = CopyOf(source);
        PremultiplyAlpha(premultiplied);
        current = &premultiplied;
    }
    Image step;
    for (;;) {
        int next_width = std::max(width, (current->width() + kMaxStepFactor - 1) / kMaxStepFactor);
        int next_height =
            std::max(height, (current->height() + kMaxStepFactor - 1) / kMaxStepFactor);
        if (next_width == width && next_height == height) {
            return ScaleOnce(*current, width, height);
        }
        step = ScaleOnce(*current, next_width, next_height);
        if (step.empty()) {
            return Image();
        }
        premultiplied = std::move(step);
        current = &premultiplied;
    }
}

bool ResampleImageFile(const std::string& source, const std::string& destination, int width,
                       int height) {
    if (width <= 0 || height <= 0) {
        return false;
    }
    Image image;
    if (!DecodeImage(source, &image)) {
        return false;
    }
    if (image.width() == width && image.height() == height) {
        return SavePng(image, destination);
    }
    Image scaled = SmoothStretch(image, width, height);
    return !scaled.empty() && SavePng(scaled, destination);
}

}  // namespace sw::gfx
