#include "gfx/canvas.h"

#include <cairo.h>

#include <algorithm>
#include <utility>

#include "gfx/scaled_source.h"
#include "gfx/text_layout.h"

namespace sw::gfx {

namespace {

// Rectangles beyond this extent are nonsense for any screen and would
// overflow Cairo's fixed-point coordinates.
constexpr long long kMaxCoordinate = 1 << 22;

bool Reasonable(const Rect& r) {
    auto fits = [](long long v) { return v > -kMaxCoordinate && v < kMaxCoordinate; };
    return fits(r.x) && fits(r.y) && fits(static_cast<long long>(r.x) + r.width) &&
           fits(static_cast<long long>(r.y) + r.height);
}

// The part of `r` that lies on a width x height canvas.
Rect Visible(const Rect& r, int width, int height) {
    int left = std::max(r.x, 0);
    int top = std::max(r.y, 0);
    int right = std::min(r.x + r.width, width);
    int bottom = std::min(r.y + r.height, height);
    return {left, top, right - left, bottom - top};
}

}  // namespace

Canvas::Canvas(int width, int height) : image_(Image::Create(width, height, false)) {
    if (image_.empty()) {
        return;
    }
    cairo_t* cr = cairo_create(image_.surface());
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
        cairo_destroy(cr);
        image_ = Image();
        return;
    }
    cr_ = cr;
}

Canvas::Canvas(Canvas&& other) noexcept
    : image_(std::move(other.image_)), cr_(std::exchange(other.cr_, nullptr)) {}

Canvas& Canvas::operator=(Canvas&& other) noexcept {
    if (this != &other) {
        if (cr_ != nullptr) {
            cairo_destroy(cr_);
        }
        image_ = std::move(other.image_);
        cr_ = std::exchange(other.cr_, nullptr);
    }
    return *this;
}

Canvas::~Canvas() {
    if (cr_ != nullptr) {
        cairo_destroy(cr_);
    }
}

bool Canvas::DrawImage(const Image& image, const Rect& source, const Rect& dest, BlendMode mode) {
    if (!ok() || image.empty() || source.empty() || source.x < 0 || source.y < 0 ||
        source.x > image.width() - source.width || source.y > image.height() - source.height) {
        return false;
    }
    if (dest.empty()) {
        return true;
    }
    if (!Reasonable(dest)) {
        return false;
    }
    Rect visible = Visible(dest, width(), height());
    if (visible.empty()) {
        return true;
    }
    cairo_surface_flush(image.surface());
    ScaledSource pattern(image, source, dest);
    if (!pattern.ok()) {
        return false;
    }
    cairo_save(cr_);
    cairo_set_operator(cr_, mode == BlendMode::kCopy ? CAIRO_OPERATOR_SOURCE : CAIRO_OPERATOR_OVER);
    cairo_set_source(cr_, pattern.get());
    cairo_rectangle(cr_, visible.x, visible.y, visible.width, visible.height);
    cairo_fill(cr_);
    cairo_restore(cr_);
    return RecoverFromError();
}

void Canvas::FillRect(const Rect& rect, Color color, uint8_t opacity) {
    if (!ok() || rect.empty() || opacity == 0 || !Reasonable(rect)) {
        return;
    }
    Rect visible = Visible(rect, width(), height());
    if (visible.empty()) {
        return;
    }
    cairo_save(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
    cairo_set_source_rgba(cr_, color.r / 255.0, color.g / 255.0, color.b / 255.0, opacity / 255.0);
    cairo_rectangle(cr_, visible.x, visible.y, visible.width, visible.height);
    cairo_fill(cr_);
    cairo_restore(cr_);
}

bool Canvas::DrawText(int x, int y, std::string_view text, int size, Color color) {
    if (!ok() || !Reasonable({x, y, 0, 0})) {
        return false;
    }
    TextLayout layout(size, text);
    if (layout.empty()) {
        return true;
    }
    cairo_save(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
    cairo_set_source_rgb(cr_, color.r / 255.0, color.g / 255.0, color.b / 255.0);
    layout.Show(cr_, x, y);
    cairo_restore(cr_);
    return RecoverFromError();
}

void Canvas::StrokeRect(const Rect& rect, Color color) {
    if (!ok() || rect.empty() || !Reasonable(rect)) {
        return;
    }
    cairo_save(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
    cairo_set_source_rgb(cr_, color.r / 255.0, color.g / 255.0, color.b / 255.0);
    cairo_set_line_width(cr_, 1.0);
    cairo_rectangle(cr_, rect.x + 0.5, rect.y + 0.5, rect.width - 1.0, rect.height - 1.0);
    cairo_stroke(cr_);
    cairo_restore(cr_);
    RecoverFromError();
}

bool Canvas::RecoverFromError() {
    if (cairo_status(cr_) == CAIRO_STATUS_SUCCESS) {
        return true;
    }
    cairo_destroy(cr_);
    cr_ = cairo_create(image_.surface());
    if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS) {
        cairo_destroy(cr_);
        cr_ = nullptr;
    }
    return false;
}

const Image& Canvas::image() {
    if (cr_ != nullptr) {
        cairo_surface_flush(image_.surface());
    }
    return image_;
}

}  // namespace sw::gfx
