#include "catalogue.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "gif_writer.h"
#include "glyphs.h"
#include "paint.h"

namespace sw::ui_images {

namespace {

using colour::kAccent;
using colour::kAccentDark;
using colour::kAccentLight;
using colour::kChrome;
using colour::kHover;
using colour::kIcon;
using colour::kMuted;
using colour::kPanel;
using colour::kTile;
using colour::kWhite;

enum class State { kNormal, kOver, kPress };

struct PngImage {
    int number;
    int width, height;
    std::function<void(cairo_t*, int, int)> draw;
};

// --- Buttons -------------------------------------------------------------

// Filled accent buttons (btn, btn-big, btn-attribute): the label is HTML.
void AccentButton(cairo_t* cr, int w, int h, double radius, State state) {
    Rgba fill = state == State::kOver    ? kAccentLight
                : state == State::kPress ? kAccentDark
                                         : kAccent;
    FillRounded(cr, 0.5, 0.5, w - 1, h - 1, radius, fill);
    if (state != State::kPress) {
        // A hairline of light along the top edge gives the button some lift.
        cairo_save(cr);
        RoundedRect(cr, 0.5, 0.5, w - 1, h - 1, radius);
        cairo_clip(cr);
        VerticalGradient(cr, 0, 0, w, h / 2.0, Hex("#ffffff", 0.16), Hex("#ffffff", 0.0));
        cairo_restore(cr);
    }
}

// Tool-bar buttons: glyph over label; a tile appears on hover and press.
void ToolButton(cairo_t* cr, int w, int h, Glyph glyph, const char* label, State state) {
    Rgba ink = kIcon;
    if (state == State::kOver) {
        FillRounded(cr, 5, 5, w - 10, h - 10, 10, kHover);
        ink = kWhite;
    } else if (state == State::kPress) {
        FillRounded(cr, 5, 5, w - 10, h - 10, 10, kAccent);
        ink = kWhite;
    }
    DrawGlyph(cr, glyph, (w - 32) / 2.0, 17, 32, ink, 1.7);
    DrawLabel(cr, label, 0, 56, w, 18, {.sizePx = 13, .colour = ink});
}

// The pack button: always filled, the product's main action.
void PackButton(cairo_t* cr, int w, int h, State state) {
    Rgba fill = state == State::kOver    ? kAccentLight
                : state == State::kPress ? kAccentDark
                                         : kAccent;
    FillRounded(cr, 5, 5, w - 10, h - 10, 10, fill);
    cairo_save(cr);
    RoundedRect(cr, 5, 5, w - 10, h - 10, 10);
    cairo_clip(cr);
    VerticalGradient(cr, 0, 5, w, h / 2.0, Hex("#ffffff", state == State::kPress ? 0.0 : 0.18),
                     Hex("#ffffff", 0.0));
    cairo_restore(cr);
    DrawGlyph(cr, Glyph::kPackage, (w - 32) / 2.0, 17, 32, kWhite, 1.8);
    DrawLabel(cr, "生成主题包", 0, 56, w, 18, {.sizePx = 13, .bold = true, .colour = kWhite});
}

// Start-window tiles (btn-new, btn-open, btn-push).
void StartTile(cairo_t* cr, int w, int h, Glyph glyph, const char* label, State state) {
    Rgba fill = state == State::kOver ? kHover : state == State::kPress ? kAccent : kTile;
    FillRounded(cr, 1, 1, w - 2, h - 2, 10, fill);
    if (state != State::kPress) {
        RoundedRect(cr, 1.5, 1.5, w - 3, h - 3, 9.5);
        SetColour(cr, state == State::kOver ? Hex("#41b5f2", 0.8) : Hex("#ffffff", 0.07));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    Rgba ink = state == State::kPress ? kWhite : kAccent;
    DrawGlyph(cr, glyph, (w - 36) / 2.0, 16, 36, ink, 1.7);
    DrawLabel(cr, label, 0, 62, w, 20, {.sizePx = 14, .colour = kWhite});
}

// Package items of the left column: phone, name and what it covers.
void PackageItem(cairo_t* cr, int w, int h, Screen screen, const char* name, const char* note,
                 State state) {
    Rgba glass = Hex("#4a5561");
    Rgba detail = Hex("#7d8a98");
    Rgba body = Hex("#1f2429");
    Rgba title = Hex("#dfe5ea");
    if (state == State::kOver) {
        FillRounded(cr, 10, 6, w - 20, h - 12, 10, kHover);
        glass = Hex("#566270");
        detail = Hex("#9aa7b4");
        title = kWhite;
    } else if (state == State::kPress) {
        FillRounded(cr, 10, 6, w - 20, h - 12, 10, Hex("#2b3f50"));
        FillRounded(cr, 10, 24, 4, h - 48, 2, kAccent);
        glass = Hex("#2f8fc8");
        detail = Hex("#bfe6fb");
        title = kWhite;
    }
    DrawPhoneScreen(cr, screen, 34, (h - 64) / 2.0, 64, body, glass, detail);
    DrawLabel(cr, name, 86, 26, 160, 24, {.sizePx = 18, .bold = true, .colour = title},
              Align::kLeft);
    DrawLabel(cr, note, 86, 52, 170, 18,
              {.sizePx = 12, .colour = state == State::kPress ? Hex("#9fd8f7") : kMuted},
              Align::kLeft);
}

// Caption buttons, 20 x 20, drawn on the dark caption.
void CaptionButton(cairo_t* cr, Glyph glyph, State state, bool closing) {
    Rgba ink = Hex("#aeb7c1");
    if (state != State::kNormal) {
        Rgba fill = closing ? (state == State::kOver ? colour::kDanger : Hex("#c23b40"))
                            : (state == State::kOver ? Hex("#4a5561") : kAccent);
        FillRounded(cr, 1, 1, 18, 18, 4, fill);
        ink = kWhite;
    }
    DrawGlyph(cr, glyph, 2, 2, 16, ink, 1.9);
}

// Previous and next screen arrows beside the preview.
void ScreenArrow(cairo_t* cr, int w, int h, bool next, State state) {
    Rgba ink = Hex("#9aa4ae");
    if (state == State::kOver) {
        FillRounded(cr, 2, 2, w - 4, h - 4, (w - 4) / 2.0, Hex("#dde2e7"));
        ink = kAccent;
    } else if (state == State::kPress) {
        FillRounded(cr, 2, 2, w - 4, h - 4, (w - 4) / 2.0, kAccent);
        ink = kWhite;
    }
    DrawGlyph(cr, next ? Glyph::kChevronRight : Glyph::kChevronLeft, (w - 28) / 2.0, (h - 28) / 2.0,
              28, ink, 2.2);
}

void TabArrow(cairo_t* cr, int w, int h, bool right) {
    DrawGlyph(cr, right ? Glyph::kChevronRight : Glyph::kChevronLeft, (w - 16) / 2.0,
              (h - 16) / 2.0, 16, Hex("#7d8792"), 2.6);
}

// --- Marks, alerts, misc ----------------------------------------------------

void Wordmark(cairo_t* cr, double x, double y, double w, double h, double size, Align align) {
    DrawLabel(cr, "Skinwright", x, y, w, h,
              {.sizePx = size,
               .bold = true,
               .colour = kWhite,
               .family = "URW Gothic",
               .letterSpacing = size * 0.02},
              align);
}

void WarningIcon(cairo_t* cr, int w, int h) {
    double cx = w / 2.0, cy = h / 2.0;
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, w / 2.0 - 1, 0, 2 * M_PI);
    SetColour(cr, Hex("#f5a524", 0.12));
    cairo_fill(cr);
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, w / 2.0 - 8, 0, 2 * M_PI);
    SetColour(cr, colour::kWarn);
    cairo_fill(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 6);
    SetColour(cr, kWhite);
    cairo_move_to(cr, cx, cy - 13);
    cairo_line_to(cr, cx, cy + 3);
    cairo_stroke(cr);
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy + 12.5, 3.6, 0, 2 * M_PI);
    cairo_fill(cr);
}

void SuccessIcon(cairo_t* cr, int w, int h) {
    double cx = w / 2.0, cy = h / 2.0;
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, w / 2.0 - 1, 0, 2 * M_PI);
    SetColour(cr, Hex("#41b5f2", 0.2));
    cairo_fill(cr);
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, w / 2.0 - 6, 0, 2 * M_PI);
    SetColour(cr, kAccent);
    cairo_fill(cr);
    DrawGlyph(cr, Glyph::kCheck, cx - 14, cy - 14, 28, kWhite, 3.0);
}

void Checkerboard(cairo_t* cr, int w, int h) {
    const int cell = 10;
    for (int y = 0; y < h; y += cell) {
        for (int x = 0; x < w; x += cell) {
            SetColour(cr, ((x + y) / cell) % 2 == 0 ? kWhite : Hex("#e4e8ec"));
            cairo_rectangle(cr, x, y, cell, cell);
            cairo_fill(cr);
        }
    }
}

void StartBackground(cairo_t* cr, int w, int h) {
    VerticalGradient(cr, 0, 0, w, h, Hex("#353c44"), Hex("#262b31"));
    // A soft glow of the accent behind the logo.
    cairo_pattern_t* glow = cairo_pattern_create_radial(w / 2.0, 150, 10, w / 2.0, 150, 260);
    cairo_pattern_add_color_stop_rgba(glow, 0, kAccent.r, kAccent.g, kAccent.b, 0.22);
    cairo_pattern_add_color_stop_rgba(glow, 1, kAccent.r, kAccent.g, kAccent.b, 0.0);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
    // Faint outlines of phones leaning into the picture.
    cairo_set_line_width(cr, 1.2);
    struct Ghost {
        double x, y, angle, scale;
    } ghosts[] = {{40, 120, -0.35, 1.3}, {330, 70, 0.3, 1.1}, {350, 330, -0.2, 0.8}};
    for (const Ghost& g : ghosts) {
        cairo_save(cr);
        cairo_translate(cr, g.x, g.y);
        cairo_rotate(cr, g.angle);
        cairo_scale(cr, g.scale, g.scale);
        RoundedRect(cr, -35, -70, 70, 140, 12);
        SetColour(cr, Hex("#ffffff", 0.05));
        cairo_stroke(cr);
        cairo_restore(cr);
    }
    // The caption strip: the top 25 rows.
    SetColour(cr, kChrome);
    cairo_rectangle(cr, 0, 0, w, 25);
    cairo_fill(cr);
    SetColour(cr, Hex("#ffffff", 0.06));
    cairo_rectangle(cr, 0, 24, w, 1);
    cairo_fill(cr);
}

std::vector<PngImage> Catalogue() {
    std::vector<PngImage> images;
    auto add = [&](int number, int w, int h, std::function<void(cairo_t*, int, int)> draw) {
        images.push_back({number, w, h, std::move(draw)});
    };
    auto states = [&](int normal, int over, int press, int w, int h,
                      std::function<void(cairo_t*, int, int, State)> draw) {
        add(normal, w, h, [=](cairo_t* cr, int iw, int ih) { draw(cr, iw, ih, State::kNormal); });
        add(over, w, h, [=](cairo_t* cr, int iw, int ih) { draw(cr, iw, ih, State::kOver); });
        add(press, w, h, [=](cairo_t* cr, int iw, int ih) { draw(cr, iw, ih, State::kPress); });
    };

    // Caption bars (main window, popups, start window).
    add(129, 8, 40, [](cairo_t* cr, int w, int h) {
        VerticalGradient(cr, 0, 0, w, h, Hex("#323941"), Hex("#2b3137"));
    });
    add(145, 8, 34, [](cairo_t* cr, int w, int h) {
        VerticalGradient(cr, 0, 0, w, h, Hex("#323941"), Hex("#2b3137"));
    });
    add(130, 84, 18, [](cairo_t* cr, int w, int h) { Wordmark(cr, 0, 0, w, h, 15, Align::kLeft); });
    add(131, 30, 30, [](cairo_t* cr, int, int) { DrawLogoMark(cr, 0, 0, 30); });
    add(188, 408, 621, [](cairo_t* cr, int w, int h) { StartBackground(cr, w, h); });
    states(132, 162, 140, 20, 20,
           [](cairo_t* cr, int, int, State s) { CaptionButton(cr, Glyph::kClose, s, true); });
    states(133, 163, 141, 20, 20,
           [](cairo_t* cr, int, int, State s) { CaptionButton(cr, Glyph::kMaximise, s, false); });
    states(181, 182, 183, 20, 20,
           [](cairo_t* cr, int, int, State s) { CaptionButton(cr, Glyph::kRestore, s, false); });
    states(134, 164, 139, 20, 20,
           [](cairo_t* cr, int, int, State s) { CaptionButton(cr, Glyph::kMinimise, s, false); });

    // Logos.
    add(228, 210, 56, [](cairo_t* cr, int w, int h) {
        DrawLogoMark(cr, 6, (h - 40) / 2.0, 40);
        Wordmark(cr, 56, 0, w - 56, h - 12, 22, Align::kLeft);
        DrawLabel(cr, "手机主题制作工具", 57, 30, w - 57, 16, {.sizePx = 11, .colour = kMuted},
                  Align::kLeft);
    });
    add(144, 240, 150, [](cairo_t* cr, int w, int) {
        DrawLogoMark(cr, (w - 72) / 2.0, 4, 72);
        Wordmark(cr, 0, 84, w, 36, 30, Align::kCentre);
        DrawLabel(cr, "手机主题制作工具", 0, 122, w, 22,
                  {.sizePx = 14, .colour = Hex("#aab4be"), .letterSpacing = 3});
    });

    // Buttons.
    states(137, 165, 138, 60, 25,
           [](cairo_t* cr, int w, int h, State s) { AccentButton(cr, w, h, 4, s); });
    states(142, 180, 143, 144, 48,
           [](cairo_t* cr, int w, int h, State s) { AccentButton(cr, w, h, 6, s); });
    add(197, 350, 48, [](cairo_t* cr, int w, int h) { AccentButton(cr, w, h, 6, State::kNormal); });
    states(166, 167, 168, 90, 90,
           [](cairo_t* cr, int w, int h, State s) { PackButton(cr, w, h, s); });
    struct Tool {
        int normal, over, press;
        Glyph glyph;
        const char* label;
    } tools[] = {
        {207, 208, 209, Glyph::kNewFile, "新建"},
        {210, 211, 212, Glyph::kFolder, "打开"},
        {213, 214, 215, Glyph::kRefresh, "刷新"},
        {216, 217, 218, Glyph::kGear, "高级模式"},
        {219, 220, 221, Glyph::kSliders, "属性设置"},
        {222, 223, 224, Glyph::kLock, "锁屏布局"},
        {225, 226, 227, Glyph::kAnimation, "锁屏动画"},
        {230, 231, 232, Glyph::kWeather, "天气布局"},
        {242, 243, 244, Glyph::kHandset, "通话布局"},
    };
    for (const Tool& tool : tools) {
        states(tool.normal, tool.over, tool.press, 90, 90,
               [tool](cairo_t* cr, int w, int h, State s) {
                   ToolButton(cr, w, h, tool.glyph, tool.label, s);
               });
    }
    struct Start {
        int normal, over, press;
        Glyph glyph;
        const char* label;
    } starts[] = {{198, 199, 200, Glyph::kNewFile, "新建主题"},
                  {201, 202, 203, Glyph::kFolder, "打开主题"},
                  {204, 205, 206, Glyph::kPhonePush, "导入手机"}};
    for (const Start& start : starts) {
        states(start.normal, start.over, start.press, 132, 98,
               [start](cairo_t* cr, int w, int h, State s) {
                   StartTile(cr, w, h, start.glyph, start.label, s);
               });
    }
    struct Package {
        int normal, over, press;
        Screen screen;
        const char* name;
        const char* note;
    } packages[] = {{149, 169, 170, Screen::kDesktop, "桌面", "壁纸 · 图标 · 天气时钟"},
                    {237, 235, 236, Screen::kLock, "锁屏", "壁纸 · 时钟 · 解锁"},
                    {247, 245, 246, Screen::kCall, "通话", "来电壁纸 · 接听挂断"}};
    for (const Package& p : packages) {
        states(p.normal, p.over, p.press, 280, 96, [p](cairo_t* cr, int w, int h, State s) {
            PackageItem(cr, w, h, p.screen, p.name, p.note, s);
        });
    }

    // Category tabs.
    add(156, 89, 48, [](cairo_t* cr, int w, int h) {
        FillRounded(cr, 0, 6, w, h - 6 + 8, 6, kWhite);
        FillRounded(cr, 14, h - 3, w - 28, 3, 1.5, kAccent);
    });
    add(158, 25, 48, [](cairo_t* cr, int w, int h) { TabArrow(cr, w, h, false); });
    add(159, 21, 48, [](cairo_t* cr, int w, int h) { TabArrow(cr, w, h, true); });

    // Screen arrows (previous: 153 normal, 155 hover, 150 press; next: 154, 151, 157).
    states(153, 155, 150, 36, 72,
           [](cairo_t* cr, int w, int h, State s) { ScreenArrow(cr, w, h, false, s); });
    states(154, 151, 157, 36, 72,
           [](cairo_t* cr, int w, int h, State s) { ScreenArrow(cr, w, h, true, s); });
    // Screen indicators: 160 active, 161 inactive.
    add(160, 14, 14, [](cairo_t* cr, int w, int h) {
        cairo_arc(cr, w / 2.0, h / 2.0, 5, 0, 2 * M_PI);
        SetColour(cr, kAccent);
        cairo_fill(cr);
    });
    add(161, 14, 14, [](cairo_t* cr, int w, int h) {
        cairo_arc(cr, w / 2.0, h / 2.0, 4, 0, 2 * M_PI);
        SetColour(cr, Hex("#bcc4cc"));
        cairo_fill(cr);
    });

    // Resource cells.
    add(173, 110, 110, [](cairo_t* cr, int w, int h) { Checkerboard(cr, w, h); });
    add(174, 110, 2, [](cairo_t* cr, int w, int) {
        SetColour(cr, Hex("#d3d9df"));
        cairo_rectangle(cr, 0, 0, w, 1);
        cairo_fill(cr);
        SetColour(cr, kWhite);
        cairo_rectangle(cr, 0, 1, w, 1);
        cairo_fill(cr);
    });

    // Alerts and form states.
    add(184, 70, 70, [](cairo_t* cr, int w, int h) { WarningIcon(cr, w, h); });
    add(189, 54, 54, [](cairo_t* cr, int w, int h) { SuccessIcon(cr, w, h); });
    add(229, 120, 120, [](cairo_t* cr, int w, int h) {
        cairo_arc(cr, w / 2.0, h / 2.0, 56, 0, 2 * M_PI);
        SetColour(cr, Hex("#41b5f2", 0.14));
        cairo_fill(cr);
        cairo_arc(cr, w / 2.0, h / 2.0, 42, 0, 2 * M_PI);
        SetColour(cr, Hex("#41b5f2", 0.22));
        cairo_fill(cr);
        DrawGlyph(cr, Glyph::kPackage, (w - 56) / 2.0, (h - 56) / 2.0, 56, kAccent, 1.6);
    });
    add(241, 40, 40, [](cairo_t* cr, int w, int h) {
        FillRounded(cr, 0, 0, w, h, 9, Hex("#41b5f2", 0.18));
        DrawGlyph(cr, Glyph::kAppsPlus, (w - 26) / 2.0, (h - 26) / 2.0, 26, kAccent, 1.9);
    });
    return images;
}

// --- Animated images ------------------------------------------------------

// GIF 148: an accent arc chasing round a faint track, on the dialog colour.
std::vector<GifFrame> LoadingFrames() {
    const int size = 100, count = 24;
    std::vector<GifFrame> frames;
    for (int i = 0; i < count; ++i) {
        Surface s(size, size);
        cairo_t* cr = s.cr();
        double c = size / 2.0, r = 30;
        cairo_set_line_width(cr, 6);
        cairo_arc(cr, c, c, r, 0, 2 * M_PI);
        SetColour(cr, Mix(kChrome, kWhite, 0.12));
        cairo_stroke(cr);
        double head = i * 2 * M_PI / count - M_PI / 2;
        double sweep = M_PI * (0.45 + 0.25 * std::sin(i * 2 * M_PI / count));
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_arc(cr, c, c, r, head - sweep, head);
        SetColour(cr, kAccent);
        cairo_stroke(cr);
        frames.push_back({s.GifPixels(kChrome), 4});
    }
    return frames;
}

// GIF 179: the frame over a colour swatch, with the corner mark that says
// "click to choose"; the middle stays transparent so the colour shows.
std::vector<GifFrame> SwatchFrame() {
    Surface s(30, 30);
    cairo_t* cr = s.cr();
    cairo_set_line_width(cr, 2);
    RoundedRect(cr, 1, 1, 28, 28, 5);
    SetColour(cr, kWhite);
    cairo_stroke(cr);
    cairo_move_to(cr, 29, 17);
    cairo_line_to(cr, 29, 24);
    cairo_arc(cr, 24, 24, 5, 0, M_PI / 2);
    cairo_line_to(cr, 17, 29);
    cairo_close_path(cr);
    SetColour(cr, kWhite);
    cairo_fill(cr);
    cairo_move_to(cr, 21.5, 22.5);
    cairo_line_to(cr, 26, 22.5);
    cairo_line_to(cr, 23.75, 25);
    cairo_close_path(cr);
    SetColour(cr, kPanel);
    cairo_fill(cr);
    return {{s.GifPixels(kWhite), 0}};
}

}  // namespace

int WriteCatalogue(const std::string& resDir) {
    namespace fs = std::filesystem;
    fs::create_directories(fs::path(resDir) / "PNG");
    fs::create_directories(fs::path(resDir) / "GIF");
    int failures = 0;
    for (const PngImage& image : Catalogue()) {
        Surface surface(image.width, image.height);
        image.draw(surface.cr(), image.width, image.height);
        std::string path =
            (fs::path(resDir) / "PNG" / (std::to_string(image.number) + ".png")).string();
        if (!surface.WritePng(path)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            ++failures;
        }
    }
    struct Animated {
        int number, size;
        std::vector<GifFrame> frames;
    } gifs[] = {{148, 100, LoadingFrames()}, {179, 30, SwatchFrame()}};
    for (const Animated& gif : gifs) {
        std::string path =
            (fs::path(resDir) / "GIF" / (std::to_string(gif.number) + ".gif")).string();
        if (!WriteGif(path, gif.size, gif.size, gif.frames, true)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            ++failures;
        }
    }
    return failures;
}

}  // namespace sw::ui_images
