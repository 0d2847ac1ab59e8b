// Drawing helpers shared by every image: colours of the product, rounded
// shapes, labels and a surface that writes itself as PNG or GIF frame.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sw::ui_images {

struct Rgba {
    double r = 0, g = 0, b = 0, a = 1;
};

// "#rrggbb" with an optional opacity.
Rgba Hex(const char* text, double alpha = 1.0);
Rgba Mix(const Rgba& from, const Rgba& to, double t);

// The palette of the product.
namespace colour {
inline const Rgba kChrome = Hex("#2d333a");  // tool bar, captions, dialogs
inline const Rgba kPanel = Hex("#363d45");   // package list and side panels
inline const Rgba kCanvas = Hex("#eef0f2");  // preview and resource areas
inline const Rgba kAccent = Hex("#41b5f2");  // the one accent colour
inline const Rgba kAccentLight = Hex("#6cc7f6");
inline const Rgba kAccentDark = Hex("#2798d6");
inline const Rgba kTile = Hex("#343b43");   // raised tiles on the chrome
inline const Rgba kHover = Hex("#3d4753");  // hovered tiles
inline const Rgba kIcon = Hex("#c5ced8");   // glyphs at rest on dark ground
inline const Rgba kMuted = Hex("#8d98a5");  // secondary text on dark ground
inline const Rgba kInk = Hex("#363d45");    // text on light ground
inline const Rgba kWhite = Hex("#ffffff");
inline const Rgba kWarn = Hex("#f5a524");
inline const Rgba kDanger = Hex("#e5484d");
}  // namespace colour

class Surface {
  public:
    Surface(int width, int height);
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    cairo_t* cr() const { return cr_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }

    bool WritePng(const std::string& path) const;
    // Straight-alpha pixels, flattened onto `matte` where partly transparent,
    // as GIF frames need them.
    std::vector<std::uint32_t> GifPixels(const Rgba& matte) const;

  private:
    int width_, height_;
    std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> surface_;
    std::unique_ptr<cairo_t, void (*)(cairo_t*)> cr_;
};

void SetColour(cairo_t* cr, const Rgba& c);
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);
void FillRounded(cairo_t* cr, double x, double y, double w, double h, double radius, const Rgba& c);
void VerticalGradient(cairo_t* cr, double x, double y, double w, double h, const Rgba& top,
                      const Rgba& bottom);

enum class Align { kLeft, kCentre };

struct TextStyle {
    double sizePx = 13;
    bool bold = false;
    Rgba colour = colour::kWhite;
    std::string family = "WenQuanYi Micro Hei";
    double letterSpacing = 0;  // in pixels
};

// One line of text in the box, vertically centred; returns its width.
double DrawLabel(cairo_t* cr, const std::string& text, double x, double y, double w, double h,
                 const TextStyle& style, Align align = Align::kCentre);

}  // namespace sw::ui_images
