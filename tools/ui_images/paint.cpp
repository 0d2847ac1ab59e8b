#include "paint.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace sw::ui_images {

Rgba Hex(const char* text, double alpha) {
    unsigned long v = std::strtoul(text + 1, nullptr, 16);
    return {((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0, alpha};
}

Rgba Mix(const Rgba& from, const Rgba& to, double t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
            from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}

Surface::Surface(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height),
               &cairo_surface_destroy),
      cr_(cairo_create(surface_.get()), &cairo_destroy) {}

bool Surface::WritePng(const std::string& path) const {
    cairo_surface_flush(surface_.get());
    return cairo_surface_write_to_png(surface_.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

std::vector<std::uint32_t> Surface::GifPixels(const Rgba& matte) const {
    cairo_surface_flush(surface_.get());
    const unsigned char* data = cairo_image_surface_get_data(surface_.get());
    int stride = cairo_image_surface_get_stride(surface_.get());
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(width_) * height_);
    for (int y = 0; y < height_; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
        for (int x = 0; x < width_; ++x) {
            std::uint32_t p = row[x];  // premultiplied
            double a = (p >> 24) / 255.0;
            if (a < 0.35) {
                pixels.push_back(0);
                continue;
            }
            // Over the matte: premultiplied colour plus the matte for the rest.
            auto channel = [&](int shift, double m) {
                double c = ((p >> shift) & 0xFF) / 255.0 + m * (1 - a);
                return static_cast<std::uint32_t>(std::lround(std::clamp(c, 0.0, 1.0) * 255));
            };
            pixels.push_back(0xFF000000u | channel(16, matte.r) << 16 | channel(8, matte.g) << 8 |
                             channel(0, matte.b));
        }
    }
    return pixels;
}

void SetColour(cairo_t* cr, const Rgba& c) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius) {
    double r = std::min({radius, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void FillRounded(cairo_t* cr, double x, double y, double w, double h, double radius,
                 const Rgba& c) {
    RoundedRect(cr, x, y, w, h, radius);
    SetColour(cr, c);
    cairo_fill(cr);
}

void VerticalGradient(cairo_t* cr, double x, double y, double w, double h, const Rgba& top,
                      const Rgba& bottom) {
    cairo_pattern_t* pattern = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgba(pattern, 0, top.r, top.g, top.b, top.a);
    cairo_pattern_add_color_stop_rgba(pattern, 1, bottom.r, bottom.g, bottom.b, bottom.a);
    cairo_rectangle(cr, x, y, w, h);
    cairo_set_source(cr, pattern);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
}

double DrawLabel(cairo_t* cr, const std::string& text, double x, double y, double w, double h,
                 const TextStyle& style, Align align) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, style.family.c_str());
    pango_font_description_set_absolute_size(font, style.sizePx * PANGO_SCALE);
    pango_font_description_set_weight(font, style.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_layout_set_font_description(layout, font);
    if (style.letterSpacing != 0) {
        PangoAttrList* attrs = pango_attr_list_new();
        pango_attr_list_insert(attrs, pango_attr_letter_spacing_new(
                                          static_cast<int>(style.letterSpacing * PANGO_SCALE)));
        pango_layout_set_attributes(layout, attrs);
        pango_attr_list_unref(attrs);
    }
    pango_layout_set_text(layout, text.c_str(), -1);
    PangoRectangle ink, logical;
    pango_layout_get_pixel_extents(layout, &ink, &logical);
    double tx = align == Align::kCentre ? x + (w - logical.width) / 2.0 : x;
    // Centre the ink, not the line box, so that glyphs sit optically in the middle.
    double ty = y + (h - ink.height) / 2.0 - ink.y;
    cairo_move_to(cr, std::round(tx), std::round(ty));
    SetColour(cr, style.colour);
    pango_cairo_show_layout(cr, layout);
    pango_font_description_free(font);
    g_object_unref(layout);
    return logical.width;
}

}  // namespace sw::ui_images
