#include "art.h"

#include <cmath>
#include <initializer_list>
#include <vector>

namespace sw::template_gen {

namespace {

constexpr int kScreenWidth = 1080;
constexpr int kScreenHeight = 1920;

struct Wave {
    double amplitude;
    double length;
    double phase;
};

double HillTop(double x, double base, std::initializer_list<Wave> waves) {
    double y = base;
    for (const Wave& wave : waves) {
        y += wave.amplitude * std::sin(2 * M_PI * x / wave.length + wave.phase);
    }
    return y;
}

void HillPath(cairo_t* cr, double base, std::initializer_list<Wave> waves) {
    cairo_move_to(cr, 0, kScreenHeight);
    for (int x = 0; x <= kScreenWidth; x += 4) {
        cairo_line_to(cr, x, HillTop(x, base, waves));
    }
    cairo_line_to(cr, kScreenWidth, kScreenHeight);
    cairo_close_path(cr);
}

// One layer of hills with a vertical gradient and a lit rim on its crest.
void PaintHill(cairo_t* cr, double base, std::initializer_list<Wave> waves, const Rgba& top,
               const Rgba& bottom, const Rgba& rim, double rimWidth) {
    double high = base;
    for (const Wave& wave : waves) {
        high -= std::fabs(wave.amplitude);
    }
    Pattern fill = Linear(0, high, 0, kScreenHeight, {{0, top}, {1, bottom}});
    cairo_save(cr);
    HillPath(cr, base, waves);
    cairo_set_source(cr, fill.get());
    cairo_fill_preserve(cr);
    cairo_clip(cr);
    cairo_move_to(cr, 0, HillTop(0, base, waves));
    for (int x = 0; x <= kScreenWidth; x += 4) {
        cairo_line_to(cr, x, HillTop(x, base, waves));
    }
    SetColor(cr, rim);
    cairo_set_line_width(cr, rimWidth);
    cairo_stroke(cr);
    cairo_restore(cr);
}

// Blades of grass standing on a hill's crest.
void PaintGrass(cairo_t* cr, double base, std::initializer_list<Wave> waves, const Rgba& color,
                std::uint64_t seed) {
    Random random(seed);
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (double x = 2; x < kScreenWidth; x += random.Between(3, 8)) {
        double y = HillTop(x, base, waves) + 3;
        double height = random.Between(8, 26);
        double lean = random.Between(-7, 7);
        cairo_move_to(cr, x, y);
        cairo_curve_to(cr, x + lean * 0.2, y - height * 0.5, x + lean * 0.7, y - height * 0.8,
                       x + lean, y - height);
        SetColor(cr, WithAlpha(color, color.a * random.Between(0.55, 1.0)));
        cairo_set_line_width(cr, random.Between(1.6, 2.8));
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void PaintStars(cairo_t* cr, int count, double bottom, double brightness, std::uint64_t seed) {
    Random random(seed);
    for (int i = 0; i < count; ++i) {
        double x = random.Between(0, kScreenWidth);
        double y = random.Between(0, bottom);
        double fade = 1.0 - y / bottom;
        double r = random.Between(0.8, 2.4);
        double alpha = brightness * fade * random.Between(0.35, 1.0);
        SetColor(cr, WithAlpha(palette::kWhite, alpha));
        cairo_new_sub_path(cr);
        cairo_arc(cr, x, y, r, 0, 2 * M_PI);
        cairo_fill(cr);
        if (r > 2.1) {
            Glow(cr, x, y, r * 6, WithAlpha(palette::kWhite, alpha * 0.25));
        }
    }
}

// Long soft clouds, blurred on a layer of their own.
void PaintWisps(const Surface& target, const Rgba& color, std::uint64_t seed, double top,
                double bottom, int count) {
    Surface layer(kScreenWidth, kScreenHeight);
    Random random(seed);
    cairo_t* cr = layer.cr();
    for (int i = 0; i < count; ++i) {
        double cx = random.Between(-100, kScreenWidth + 100);
        double cy = random.Between(top, bottom);
        double w = random.Between(260, 560);
        double h = random.Between(18, 46);
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, w, h);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
        SetColor(cr, WithAlpha(color, color.a * random.Between(0.5, 1.0)));
        cairo_fill(cr);
    }
    Blur(layer, 14);
    Composite(target, layer, 0, 0);
}

void PaintVignette(cairo_t* cr, double strength) {
    Pattern shade = Radial(kScreenWidth / 2.0, kScreenHeight * 0.45, kScreenHeight * 0.75,
                           {{0.55, Hex(0x000000, 0)}, {1, Hex(0x000000, strength)}});
    cairo_save(cr);
    cairo_set_source(cr, shade.get());
    cairo_paint(cr);
    cairo_restore(cr);
}

}  // namespace

void PaintGlyph(const Surface& target, GlyphFn glyph, double x, double y, double size,
                const Rgba& color) {
    Surface layer(target.width(), target.height());
    cairo_t* cr = layer.cr();
    cairo_translate(cr, x, y);
    cairo_scale(cr, size / 100.0, size / 100.0);
    SetColor(cr, color);
    glyph(cr);
    Composite(target, layer, 0, 0);
}

void PaintShadow(const Surface& target, double x, double y, double w, double h, double radius,
                 double offset, int blur, double alpha) {
    Surface layer(target.width(), target.height());
    RoundedRect(layer.cr(), x, y + offset, w, h, radius);
    SetColor(layer.cr(), Hex(0x000000, 1));
    cairo_fill(layer.cr());
    Blur(layer, blur);
    Composite(target, layer, 0, 0, alpha);
}

void IconPlate(int side, double& x, double& y, double& w, double& h, double& radius) {
    double inset = side * 12.0 / 180.0;
    x = inset;
    y = inset - side * 2.0 / 180.0;
    w = side - 2 * inset;
    h = w;
    radius = w * 0.25;
}

void PaintAppIcon(const Surface& target, GlyphFn glyph, const Rgba& top, const Rgba& bottom) {
    double x = 0;
    double y = 0;
    double w = 0;
    double h = 0;
    double r = 0;
    IconPlate(target.width(), x, y, w, h, r);
    PaintShadow(target, x + 2, y + 2, w - 4, h - 4, r, 5, 5, 0.45);
    cairo_t* cr = target.cr();
    Pattern body = Linear(x, y, x + w * 0.35, y + h, {{0, top}, {1, bottom}});
    cairo_save(cr);
    RoundedRect(cr, x, y, w, h, r);
    cairo_set_source(cr, body.get());
    cairo_fill_preserve(cr);
    cairo_clip(cr);
    Pattern shine =
        Linear(0, y, 0, y + h * 0.55, {{0, Hex(0xFFFFFF, 0.22)}, {1, Hex(0xFFFFFF, 0)}});
    cairo_set_source(cr, shine.get());
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_save(cr);
    RoundedRect(cr, x + 0.75, y + 0.75, w - 1.5, h - 1.5, r);
    SetColor(cr, Hex(0xFFFFFF, 0.18));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_restore(cr);
    double glyphSize = w * 0.6;
    PaintGlyph(target, glyph, x + (w - glyphSize) / 2, y + (h - glyphSize) / 2, glyphSize,
               Hex(0xFFFFFF, 0.97));
}

void PaintDawnMeadow(const Surface& target) {
    cairo_t* cr = target.cr();
    Pattern sky = Linear(0, 0, 0, 1400,
                         {{0, Hex(0x1B2356)},
                          {0.3, Hex(0x35397F)},
                          {0.6, Hex(0x6E5AA0)},
                          {0.86, Hex(0xB06F9A)},
                          {0.94, Hex(0xF2A68E)},
                          {1, Hex(0xFFD6A4)}});
    cairo_set_source(cr, sky.get());
    cairo_paint(cr);
    PaintStars(cr, 90, 700, 0.9, 11);
    Glow(cr, 700, 1375, 420, Hex(0xFFD9A0, 0.4));
    Glow(cr, 700, 1375, 170, Hex(0xFFF1D2, 0.55));
    PaintWisps(target, Hex(0xFFC9B5, 0.2), 23, 860, 1220, 9);
    PaintWisps(target, Hex(0xB9A2E0, 0.25), 29, 420, 780, 6);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 700, 1365, 60, 0, 2 * M_PI);
    SetColor(cr, Hex(0xFFF6E4, 0.95));
    cairo_fill(cr);

    PaintHill(cr, 1330, {{34, 760, 0.6}, {16, 310, 2.0}}, Hex(0xB38FB4, 0.95), Hex(0x8F7AA8),
              Hex(0xFFE0C4, 0.55), 5);
    PaintHill(cr, 1420, {{46, 980, 2.4}, {14, 370, 0.8}}, Hex(0x7B7FAE), Hex(0x5B6A96),
              Hex(0xFFD2B0, 0.45), 5);
    cairo_save(cr);
    Pattern mist =
        Linear(0, 1390, 0, 1520,
               {{0, Hex(0xFFE6D0, 0)}, {0.5, Hex(0xFFE6D0, 0.22)}, {1, Hex(0xFFE6D0, 0)}});
    cairo_set_source(cr, mist.get());
    cairo_rectangle(cr, 0, 1390, kScreenWidth, 130);
    cairo_fill(cr);
    cairo_restore(cr);
    PaintHill(cr, 1540, {{52, 1200, 4.1}, {18, 420, 1.1}}, Hex(0x3F7C7E), Hex(0x2C5E63),
              Hex(0xFFD8B0, 0.4), 6);
    std::initializer_list<Wave> nearWaves = {{58, 1500, 0.3}, {20, 530, 2.7}};
    PaintHill(cr, 1700, nearWaves, Hex(0x24575A), Hex(0x102C33), Hex(0xFFE2B8, 0.35), 6);
    PaintGrass(cr, 1700, nearWaves, Hex(0x2F6A66, 0.9), 41);
    PaintVignette(cr, 0.35);
}

void PaintNightMeadow(const Surface& target) {
    cairo_t* cr = target.cr();
    Pattern sky = Linear(0, 0, 0, 1420,
                         {{0, Hex(0x070B24)},
                          {0.35, Hex(0x151A4A)},
                          {0.65, Hex(0x2E2A66)},
                          {0.85, Hex(0x53417E)},
                          {1, Hex(0x7A5A8E)}});
    cairo_set_source(cr, sky.get());
    cairo_paint(cr);
    PaintStars(cr, 220, 1250, 1.0, 7);
    // A faint band of the galaxy across the sky.
    {
        Surface band(kScreenWidth, kScreenHeight);
        cairo_t* b = band.cr();
        cairo_translate(b, 540, 760);
        cairo_rotate(b, -0.55);
        cairo_scale(b, 900, 110);
        cairo_arc(b, 0, 0, 1, 0, 2 * M_PI);
        SetColor(b, Hex(0xB9B4F0, 0.12));
        cairo_fill(b);
        Blur(band, 30);
        Composite(target, band, 0, 0);
    }
    // The crescent moon.
    Glow(cr, 900, 150, 260, Hex(0xCFD8FF, 0.22));
    {
        Surface moon(kScreenWidth, kScreenHeight);
        cairo_t* m = moon.cr();
        cairo_arc(m, 900, 150, 52, 0, 2 * M_PI);
        SetColor(m, Hex(0xFFF4DA));
        cairo_fill(m);
        cairo_set_operator(m, CAIRO_OPERATOR_CLEAR);
        cairo_arc(m, 922, 132, 46, 0, 2 * M_PI);
        cairo_fill(m);
        Composite(target, moon, 0, 0);
    }
    PaintWisps(target, Hex(0x8C7FC4, 0.18), 31, 980, 1240, 7);
    PaintHill(cr, 1340, {{36, 820, 1.6}, {14, 300, 0.4}}, Hex(0x4B4784), Hex(0x3A3A72),
              Hex(0xB7B3F2, 0.4), 4);
    PaintHill(cr, 1440, {{48, 1040, 3.3}, {16, 390, 1.9}}, Hex(0x2E3468), Hex(0x242B58),
              Hex(0xA9B4F0, 0.35), 4);
    PaintHill(cr, 1560, {{54, 1260, 0.9}, {18, 450, 2.6}}, Hex(0x1B2A52), Hex(0x142246),
              Hex(0x9FB2EC, 0.3), 5);
    std::initializer_list<Wave> nearWaves = {{60, 1480, 2.2}, {22, 560, 0.5}};
    PaintHill(cr, 1720, nearWaves, Hex(0x12203F), Hex(0x080F24), Hex(0x9DB0E8, 0.28), 5);
    PaintGrass(cr, 1720, nearWaves, Hex(0x1C2E55, 0.95), 43);
    PaintVignette(cr, 0.4);
}

void PaintCallBackdrop(const Surface& target) {
    cairo_t* cr = target.cr();
    Pattern base = Linear(
        0, 0, 400, 1920,
        {{0, Hex(0x1A2A5C)}, {0.45, Hex(0x3A3572)}, {0.75, Hex(0x5C3F7A)}, {1, Hex(0x1D1F3D)}});
    cairo_set_source(cr, base.get());
    cairo_paint(cr);
    Glow(cr, 760, 560, 900, Hex(0xF2A68E, 0.28));
    Glow(cr, 180, 1280, 700, Hex(0x3F7C7E, 0.35));
    Surface bokeh(kScreenWidth, kScreenHeight);
    Random random(53);
    for (int i = 0; i < 26; ++i) {
        double x = random.Between(-60, kScreenWidth + 60);
        double y = random.Between(80, 1500);
        double r = random.Between(24, 120);
        Rgba tone = Mix(Hex(0xFFD6A4), Hex(0xB9A2E0), random.Next());
        cairo_new_sub_path(bokeh.cr());
        cairo_arc(bokeh.cr(), x, y, r, 0, 2 * M_PI);
        SetColor(bokeh.cr(), WithAlpha(tone, random.Between(0.06, 0.18)));
        cairo_fill(bokeh.cr());
    }
    Blur(bokeh, 6);
    Composite(target, bokeh, 0, 0);
    Pattern floor = Linear(0, 1100, 0, 1920, {{0, Hex(0x0B0D22, 0)}, {1, Hex(0x0B0D22, 0.7)}});
    cairo_set_source(cr, floor.get());
    cairo_paint(cr);
    PaintVignette(cr, 0.3);
}

void PaintClockCharacter(const Surface& target, const std::string& text, double emPixels,
                         double baseline, const Rgba& color, bool glow) {
    double inkX = 0;
    double inkY = 0;
    double inkW = 0;
    double inkH = 0;
    InkExtents(text, kDigitFace, emPixels, "thin", inkX, inkY, inkW, inkH);
    // Pango's layout top sits above the baseline by the font's ascent; the
    // ink of "0" tells where the baseline is for every digit alike.
    double zeroX = 0;
    double zeroY = 0;
    double zeroW = 0;
    double zeroH = 0;
    InkExtents("0", kDigitFace, emPixels, "thin", zeroX, zeroY, zeroW, zeroH);
    double top = baseline - (zeroY + zeroH);
    double left = (target.width() - inkW) / 2 - inkX;
    if (glow) {
        Surface halo(target.width(), target.height());
        DrawText(halo.cr(), text, kDigitFace, emPixels, left, top + 3, Hex(0x000000, 0.55), false,
                 "thin");
        Blur(halo, 4);
        Composite(target, halo, 0, 0);
    }
    DrawText(target.cr(), text, kDigitFace, emPixels, left, top, color, false, "thin");
}

void WriteNinePatch(const std::string& path, int width, int height, int stretchFromX,
                    int stretchToX, int stretchFromY, int stretchToY,
                    void (*paint)(const Surface& body)) {
    Surface body(width, height);
    paint(body);
    Surface file(width + 2, height + 2);
    Composite(file, body, 1, 1);
    cairo_t* cr = file.cr();
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    SetColor(cr, Hex(0x000000, 1));
    cairo_rectangle(cr, 1 + stretchFromX, 0, stretchToX - stretchFromX, 1);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 1 + stretchFromY, 1, stretchToY - stretchFromY);
    cairo_fill(cr);
    file.WritePng(path);
}

}  // namespace sw::template_gen
