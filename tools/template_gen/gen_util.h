// Small drawing and file helpers shared by the template generator: an owned
// Cairo image surface, colours, gradients, soft shapes, blur, text in a named
// face, a deterministic random source and plain file output.
#pragma once

#include <cairo.h>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace sw::template_gen {

struct Rgba {
    double r = 0, g = 0, b = 0, a = 1;
};

// 0xRRGGBB with an opacity.
Rgba Hex(std::uint32_t rgb, double alpha = 1.0);
Rgba Mix(const Rgba& from, const Rgba& to, double t);
Rgba WithAlpha(const Rgba& color, double alpha);

// An ARGB32 image surface with its drawing context.
class Surface {
  public:
    Surface(int width, int height);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // A 32-bit PNG with alpha; exits the generator when it cannot be written.
    void WritePng(const std::string& path) const;
    // A 24-bit PNG (no alpha channel), smaller for opaque pictures.
    void WriteOpaquePng(const std::string& path) const;

  private:
    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// An owned Cairo pattern.
class Pattern {
  public:
    explicit Pattern(cairo_pattern_t* pattern) : pattern_(pattern) {}
    ~Pattern() {
        if (pattern_ != nullptr) {
            cairo_pattern_destroy(pattern_);
        }
    }
    Pattern(Pattern&& other) noexcept : pattern_(other.pattern_) { other.pattern_ = nullptr; }
    Pattern(const Pattern&) = delete;
    Pattern& operator=(const Pattern&) = delete;
    Pattern& operator=(Pattern&&) = delete;
    cairo_pattern_t* get() const { return pattern_; }

  private:
    cairo_pattern_t* pattern_;
};

struct Stop {
    double at;
    Rgba color;
};

void SetColor(cairo_t* cr, const Rgba& color);
Pattern Linear(double x0, double y0, double x1, double y1, std::initializer_list<Stop> stops);
Pattern Radial(double cx, double cy, double r, std::initializer_list<Stop> stops);

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);

// A radial glow: colour at the centre fading to nothing at radius r.
void Glow(cairo_t* cr, double cx, double cy, double r, const Rgba& color);

// Three box-blur passes over the whole surface (close to a Gaussian).
void Blur(Surface& surface, int radius);

// Paints other over target at (x, y) with an opacity.
void Composite(const Surface& target, const Surface& other, double x, double y, double alpha = 1.0);

// Text in a named face at a pixel size. x is the left edge unless centred,
// then the centre; y is the top of the line box.
void DrawText(cairo_t* cr, const std::string& text, const std::string& face, double pixels,
              double x, double y, const Rgba& color, bool centred = false,
              const std::string& weight = "normal");
// Width and height of the line box in pixels.
void MeasureText(const std::string& text, const std::string& face, double pixels, double& width,
                 double& height, const std::string& weight = "normal");
// The ink rectangle of the text (glyph outlines only), for exact centring.
void InkExtents(const std::string& text, const std::string& face, double pixels,
                const std::string& weight, double& x, double& y, double& width, double& height);

// xorshift64*: the same numbers on every run and machine.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    double Next();  // [0, 1)
    double Between(double low, double high) { return low + (high - low) * Next(); }

  private:
    std::uint64_t state_;
};

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Creates the folder and its parents; exits the generator on failure.
void MakeFolders(const std::string& path);
// Writes a whole text file; exits the generator on failure.
void WriteFile(const std::string& path, const std::string& contents);

}  // namespace sw::template_gen
