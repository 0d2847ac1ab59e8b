#include "gen_util.h"

#include <pango/pangocairo.h>
#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace sw::template_gen {

namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "template_gen: %s\n", what.c_str());
    std::exit(1);
}

// One horizontal and one vertical running-sum pass of a box blur over
// premultiplied ARGB32 pixels.
void BoxPass(std::vector<std::uint8_t>& pixels, int width, int height, int stride, int radius,
             bool horizontal) {
    int length = horizontal ? width : height;
    int lines = horizontal ? height : width;
    std::vector<std::uint32_t> sums(4);
    std::vector<std::uint8_t> line(static_cast<std::size_t>(length) * 4);
    int window = 2 * radius + 1;
    for (int l = 0; l < lines; ++l) {
        auto at = [&](int i) -> std::uint8_t* {
            return horizontal ? &pixels[static_cast<std::size_t>(l) * stride + i * 4]
                              : &pixels[static_cast<std::size_t>(i) * stride + l * 4];
        };
        for (int i = 0; i < length; ++i) {
            std::copy(at(i), at(i) + 4, &line[static_cast<std::size_t>(i) * 4]);
        }
        std::fill(sums.begin(), sums.end(), 0u);
        auto pixel = [&](int i) -> const std::uint8_t* {
            i = std::clamp(i, 0, length - 1);
            return &line[static_cast<std::size_t>(i) * 4];
        };
        for (int i = -radius; i <= radius; ++i) {
            for (int c = 0; c < 4; ++c) {
                sums[c] += pixel(i)[c];
            }
        }
        for (int i = 0; i < length; ++i) {
            std::uint8_t* out = at(i);
            for (int c = 0; c < 4; ++c) {
                out[c] = static_cast<std::uint8_t>(sums[c] / window);
                sums[c] += pixel(i + radius + 1)[c];
                sums[c] -= pixel(i - radius)[c];
            }
        }
    }
}

PangoLayout* MakeLayout(cairo_t* cr, const std::string& text, const std::string& face,
                        double pixels, const std::string& weight) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string(face.c_str());
    pango_font_description_set_absolute_size(font, pixels * PANGO_SCALE);
    if (weight == "bold") {
        pango_font_description_set_weight(font, PANGO_WEIGHT_BOLD);
    } else if (weight == "light") {
        pango_font_description_set_weight(font, PANGO_WEIGHT_LIGHT);
    } else if (weight == "thin") {
        pango_font_description_set_weight(font, PANGO_WEIGHT_ULTRALIGHT);
    }
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    pango_layout_set_text(layout, text.c_str(), -1);
    return layout;
}

}  // namespace

Rgba Hex(std::uint32_t rgb, double alpha) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

Rgba Mix(const Rgba& from, const Rgba& to, double t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
            from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}

Rgba WithAlpha(const Rgba& color, double alpha) {
    return {color.r, color.g, color.b, alpha};
}

Surface::Surface(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {
    if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
        Fail(Format("cannot make a %d x %d surface", width, height));
    }
}

Surface::~Surface() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

void Surface::WritePng(const std::string& path) const {
    cairo_surface_flush(surface_);
    if (cairo_surface_write_to_png(surface_, path.c_str()) != CAIRO_STATUS_SUCCESS) {
        Fail("cannot write " + path);
    }
}

void Surface::WriteOpaquePng(const std::string& path) const {
    cairo_surface_t* opaque = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
    cairo_t* cr = cairo_create(opaque);
    cairo_set_source_surface(cr, surface_, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(opaque);
    cairo_status_t status = cairo_surface_write_to_png(opaque, path.c_str());
    cairo_surface_destroy(opaque);
    if (status != CAIRO_STATUS_SUCCESS) {
        Fail("cannot write " + path);
    }
}

void SetColor(cairo_t* cr, const Rgba& color) {
    cairo_set_source_rgba(cr, color.r, color.g, color.b, color.a);
}

Pattern Linear(double x0, double y0, double x1, double y1, std::initializer_list<Stop> stops) {
    Pattern pattern(cairo_pattern_create_linear(x0, y0, x1, y1));
    for (const Stop& stop : stops) {
        cairo_pattern_add_color_stop_rgba(pattern.get(), stop.at, stop.color.r, stop.color.g,
                                          stop.color.b, stop.color.a);
    }
    return pattern;
}

Pattern Radial(double cx, double cy, double r, std::initializer_list<Stop> stops) {
    Pattern pattern(cairo_pattern_create_radial(cx, cy, 0, cx, cy, r));
    for (const Stop& stop : stops) {
        cairo_pattern_add_color_stop_rgba(pattern.get(), stop.at, stop.color.r, stop.color.g,
                                          stop.color.b, stop.color.a);
    }
    return pattern;
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void Glow(cairo_t* cr, double cx, double cy, double r, const Rgba& color) {
    Pattern glow = Radial(cx, cy, r,
                          {{0, color},
                           {0.35, WithAlpha(color, color.a * 0.55)},
                           {0.7, WithAlpha(color, color.a * 0.18)},
                           {1, WithAlpha(color, 0)}});
    cairo_save(cr);
    cairo_set_source(cr, glow.get());
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_restore(cr);
}

void Blur(Surface& surface, int radius) {
    if (radius <= 0) {
        return;
    }
    cairo_surface_flush(surface.surface());
    unsigned char* data = cairo_image_surface_get_data(surface.surface());
    int stride = cairo_image_surface_get_stride(surface.surface());
    int width = surface.width();
    int height = surface.height();
    std::vector<std::uint8_t> pixels(data, data + static_cast<std::size_t>(stride) * height);
    for (int pass = 0; pass < 3; ++pass) {
        BoxPass(pixels, width, height, stride, radius, true);
        BoxPass(pixels, width, height, stride, radius, false);
    }
    std::copy(pixels.begin(), pixels.end(), data);
    cairo_surface_mark_dirty(surface.surface());
}

void Composite(const Surface& target, const Surface& other, double x, double y, double alpha) {
    cairo_t* cr = target.cr();
    cairo_save(cr);
    cairo_set_source_surface(cr, other.surface(), x, y);
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
}

void DrawText(cairo_t* cr, const std::string& text, const std::string& face, double pixels,
              double x, double y, const Rgba& color, bool centred, const std::string& weight) {
    PangoLayout* layout = MakeLayout(cr, text, face, pixels, weight);
    int width = 0;
    int height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    cairo_save(cr);
    SetColor(cr, color);
    cairo_move_to(cr, centred ? x - width / 2.0 : x, y);
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
    g_object_unref(layout);
}

void MeasureText(const std::string& text, const std::string& face, double pixels, double& width,
                 double& height, const std::string& weight) {
    Surface scratch(1, 1);
    PangoLayout* layout = MakeLayout(scratch.cr(), text, face, pixels, weight);
    int w = 0;
    int h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    g_object_unref(layout);
    width = w;
    height = h;
}

void InkExtents(const std::string& text, const std::string& face, double pixels,
                const std::string& weight, double& x, double& y, double& width, double& height) {
    Surface scratch(1, 1);
    PangoLayout* layout = MakeLayout(scratch.cr(), text, face, pixels, weight);
    PangoRectangle ink;
    pango_layout_get_pixel_extents(layout, &ink, nullptr);
    g_object_unref(layout);
    x = ink.x;
    y = ink.y;
    width = ink.width;
    height = ink.height;
}

double Random::Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    std::uint64_t value = state_ * 0x2545F4914F6CDD1Dull;
    return static_cast<double>(value >> 11) / static_cast<double>(1ull << 53);
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0) {
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    }
    va_end(args);
    return text;
}

void MakeFolders(const std::string& path) {
    std::size_t at = 0;
    while (at != std::string::npos) {
        at = path.find('/', at + 1);
        std::string part = path.substr(0, at);
        if (part.empty()) {
            continue;
        }
        if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
            Fail("cannot make the folder " + part);
        }
    }
}

void WriteFile(const std::string& path, const std::string& contents) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        Fail("cannot write " + path);
    }
    bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    if (std::fclose(file) != 0 || !written) {
        Fail("cannot write " + path);
    }
}

}  // namespace sw::template_gen
