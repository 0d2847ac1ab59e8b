#include "glyphs.h"

#include <cmath>

namespace sw::ui_images {

namespace {

struct Point {
    double x, y;
};

void Line(cairo_t* cr, double x1, double y1, double x2, double y2) {
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
}

// An open arrow head at `tip`, pointing along the unit vector `dir`.
void ArrowHead(cairo_t* cr, Point tip, Point dir, double length) {
    Point back = {tip.x - dir.x * length, tip.y - dir.y * length};
    Point side = {-dir.y * length, dir.x * length};
    cairo_move_to(cr, back.x + side.x, back.y + side.y);
    cairo_line_to(cr, tip.x, tip.y);
    cairo_line_to(cr, back.x - side.x, back.y - side.y);
}

void NewFile(cairo_t* cr) {
    cairo_move_to(cr, 6, 3);
    cairo_line_to(cr, 14, 3);
    cairo_line_to(cr, 19, 8);
    cairo_line_to(cr, 19, 21);
    cairo_line_to(cr, 6, 21);
    cairo_close_path(cr);
    cairo_move_to(cr, 14, 3);
    cairo_line_to(cr, 14, 8);
    cairo_line_to(cr, 19, 8);
    Line(cr, 12.5, 11, 12.5, 18);
    Line(cr, 9, 14.5, 16, 14.5);
}

void Folder(cairo_t* cr) {
    cairo_move_to(cr, 3, 17.5);
    cairo_line_to(cr, 3, 6.8);
    cairo_arc(cr, 4.8, 6.8, 1.8, M_PI, 3 * M_PI / 2);
    cairo_line_to(cr, 9.6, 5);
    cairo_line_to(cr, 11.6, 7.4);
    cairo_line_to(cr, 19.2, 7.4);
    cairo_arc(cr, 19.2, 9.2, 1.8, -M_PI / 2, 0);
    cairo_line_to(cr, 21, 17.5);
    cairo_arc(cr, 19.2, 17.5, 1.8, 0, M_PI / 2);
    cairo_line_to(cr, 4.8, 19.3);
    cairo_arc(cr, 4.8, 17.5, 1.8, M_PI / 2, M_PI);
    cairo_close_path(cr);
    Line(cr, 3, 10.8, 21, 10.8);
}

void Package(cairo_t* cr) {
    cairo_move_to(cr, 12, 2.8);
    cairo_line_to(cr, 20.5, 7.2);
    cairo_line_to(cr, 20.5, 16.6);
    cairo_line_to(cr, 12, 21.2);
    cairo_line_to(cr, 3.5, 16.6);
    cairo_line_to(cr, 3.5, 7.2);
    cairo_close_path(cr);
    cairo_move_to(cr, 3.5, 7.2);
    cairo_line_to(cr, 12, 11.6);
    cairo_line_to(cr, 20.5, 7.2);
    Line(cr, 12, 11.6, 12, 21.2);
    Line(cr, 7.8, 5, 16.2, 9.4);
}

void Refresh(cairo_t* cr) {
    const double r = 7.5;
    const double a0 = -M_PI / 2 + 0.55;
    const double a1 = 3 * M_PI / 2 - 0.25;
    cairo_new_sub_path(cr);
    cairo_arc(cr, 12, 12, r, a0, a1);
    Point end = {12 + r * std::cos(a1), 12 + r * std::sin(a1)};
    Point dir = {-std::sin(a1), std::cos(a1)};
    ArrowHead(cr, {end.x + dir.x * 1.2, end.y + dir.y * 1.2}, dir, 3.2);
}

void Gear(cairo_t* cr) {
    const int teeth = 8;
    const double outer = 9.6, inner = 7.2;
    for (int i = 0; i < teeth; ++i) {
        double a = i * 2 * M_PI / teeth;
        double points[4][2] = {
            {inner, a - 0.32}, {outer, a - 0.2}, {outer, a + 0.2}, {inner, a + 0.32}};
        for (int k = 0; k < 4; ++k) {
            double x = 12 + points[k][0] * std::cos(points[k][1]);
            double y = 12 + points[k][0] * std::sin(points[k][1]);
            if (i == 0 && k == 0) {
                cairo_move_to(cr, x, y);
            } else {
                cairo_line_to(cr, x, y);
            }
        }
        cairo_arc(cr, 12, 12, inner, a + 0.32, a + 2 * M_PI / teeth - 0.32);
    }
    cairo_close_path(cr);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 12, 12, 3, 0, 2 * M_PI);
}

void Sliders(cairo_t* cr) {
    struct Row {
        double y, knob;
    } rows[] = {{6, 15}, {12, 8.5}, {18, 14}};
    for (const Row& row : rows) {
        Line(cr, 3.5, row.y, row.knob - 2.2, row.y);
        Line(cr, row.knob + 2.2, row.y, 20.5, row.y);
        cairo_new_sub_path(cr);
        cairo_arc(cr, row.knob, row.y, 2.2, 0, 2 * M_PI);
    }
}

void Lock(cairo_t* cr) {
    RoundedRect(cr, 5, 10.5, 14, 10.5, 2.2);
    cairo_move_to(cr, 8, 10.5);
    cairo_line_to(cr, 8, 7.5);
    cairo_arc(cr, 12, 7.5, 4, M_PI, 2 * M_PI);
    cairo_line_to(cr, 16, 10.5);
    Line(cr, 12, 14.3, 12, 17.2);
}

void Animation(cairo_t* cr) {
    cairo_move_to(cr, 7, 4);
    cairo_line_to(cr, 18.5, 4);
    cairo_arc(cr, 18.5, 6.5, 2.5, -M_PI / 2, 0);
    cairo_line_to(cr, 21, 14.5);
    RoundedRect(cr, 3, 7.5, 14.5, 12.5, 2.2);
    cairo_move_to(cr, 8.5, 10.8);
    cairo_line_to(cr, 13, 13.75);
    cairo_line_to(cr, 8.5, 16.7);
    cairo_close_path(cr);
}

void Weather(cairo_t* cr) {
    const Point sun = {7.5, 7.8};
    cairo_new_sub_path(cr);
    cairo_arc(cr, sun.x, sun.y, 2.8, 0, 2 * M_PI);
    for (double deg : {135.0, 180.0, 225.0, 270.0, 315.0, 0.0}) {
        double a = deg * M_PI / 180;
        Line(cr, sun.x + 4.6 * std::cos(a), sun.y + 4.6 * std::sin(a), sun.x + 6.1 * std::cos(a),
             sun.y + 6.1 * std::sin(a));
    }
    cairo_new_sub_path(cr);
    cairo_arc(cr, 8.6, 16.4, 3.1, M_PI / 2, 7 * M_PI / 4 - 0.2);
    cairo_arc(cr, 13.6, 13.4, 4.6, M_PI + 0.55, 2 * M_PI - 0.35);
    cairo_arc(cr, 17.6, 16.2, 3.3, -M_PI / 2 - 0.25, M_PI / 2);
    cairo_close_path(cr);
}

// The handset is filled: at this size an outline of it reads as noise.
void Handset(cairo_t* cr, double weight) {
    const Point centre = {18.2, 5.8};
    const double radius = 11.4;
    const double a0 = M_PI / 2 + 0.02, a1 = M_PI - 0.02;
    cairo_save(cr);
    cairo_set_line_width(cr, weight * 1.9);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_new_sub_path(cr);
    cairo_arc(cr, centre.x, centre.y, radius, a0, a1);
    cairo_stroke(cr);
    cairo_restore(cr);
    for (double a : {a0, a1}) {
        Point end = {centre.x + radius * std::cos(a), centre.y + radius * std::sin(a)};
        Point toCentre = {-std::cos(a), -std::sin(a)};
        cairo_save(cr);
        cairo_translate(cr, end.x, end.y);
        cairo_rotate(cr, std::atan2(toCentre.y, toCentre.x));
        RoundedRect(cr, -2.6, -3.3, 7.0, 6.6, 2.2);
        cairo_fill(cr);
        cairo_restore(cr);
    }
}

void PhonePush(cairo_t* cr) {
    RoundedRect(cr, 6.5, 2.5, 11, 19, 2.6);
    Line(cr, 10.5, 5.3, 13.5, 5.3);
    Line(cr, 12, 8.5, 12, 16);
    ArrowHead(cr, {12, 16.3}, {0, 1}, 3.2);
}

void AppsPlus(cairo_t* cr) {
    RoundedRect(cr, 3.5, 3.5, 7, 7, 1.8);
    RoundedRect(cr, 13.5, 3.5, 7, 7, 1.8);
    RoundedRect(cr, 3.5, 13.5, 7, 7, 1.8);
    Line(cr, 17, 13.5, 17, 20.5);
    Line(cr, 13.5, 17, 20.5, 17);
}

}  // namespace

void DrawGlyph(cairo_t* cr, Glyph glyph, double x, double y, double size, const Rgba& colour,
               double weight) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, size / 24.0, size / 24.0);
    cairo_set_line_width(cr, weight);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetColour(cr, colour);
    cairo_new_path(cr);
    switch (glyph) {
        case Glyph::kNewFile:
            NewFile(cr);
            break;
        case Glyph::kFolder:
            Folder(cr);
            break;
        case Glyph::kPackage:
            Package(cr);
            break;
        case Glyph::kRefresh:
            Refresh(cr);
            break;
        case Glyph::kGear:
            Gear(cr);
            break;
        case Glyph::kSliders:
            Sliders(cr);
            break;
        case Glyph::kLock:
            Lock(cr);
            break;
        case Glyph::kAnimation:
            Animation(cr);
            break;
        case Glyph::kWeather:
            Weather(cr);
            break;
        case Glyph::kHandset:
            Handset(cr, weight);
            break;
        case Glyph::kPhonePush:
            PhonePush(cr);
            break;
        case Glyph::kAppsPlus:
            AppsPlus(cr);
            break;
        case Glyph::kCheck:
            cairo_move_to(cr, 5.5, 12.5);
            cairo_line_to(cr, 10, 17);
            cairo_line_to(cr, 18.5, 7.5);
            break;
        case Glyph::kClose:
            Line(cr, 6, 6, 18, 18);
            Line(cr, 18, 6, 6, 18);
            break;
        case Glyph::kMaximise:
            cairo_rectangle(cr, 6, 6, 12, 12);
            break;
        case Glyph::kRestore:
            cairo_rectangle(cr, 5, 9, 10, 10);
            cairo_move_to(cr, 9, 9);
            cairo_line_to(cr, 9, 5);
            cairo_line_to(cr, 19, 5);
            cairo_line_to(cr, 19, 15);
            cairo_line_to(cr, 15, 15);
            break;
        case Glyph::kMinimise:
            Line(cr, 6, 12, 18, 12);
            break;
        case Glyph::kChevronLeft:
            cairo_move_to(cr, 15, 5);
            cairo_line_to(cr, 8, 12);
            cairo_line_to(cr, 15, 19);
            break;
        case Glyph::kChevronRight:
            cairo_move_to(cr, 9, 5);
            cairo_line_to(cr, 16, 12);
            cairo_line_to(cr, 9, 19);
            break;
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

void DrawLogoMark(cairo_t* cr, double x, double y, double size) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, size / 64.0, size / 64.0);
    // The tile: accent, lighter at the top left.
    cairo_pattern_t* tile = cairo_pattern_create_linear(0, 0, 64, 64);
    cairo_pattern_add_color_stop_rgb(tile, 0, 0x5e / 255.0, 0xcf / 255.0, 0xff / 255.0);
    cairo_pattern_add_color_stop_rgb(tile, 1, 0x1f / 255.0, 0x86 / 255.0, 0xd6 / 255.0);
    RoundedRect(cr, 2, 2, 60, 60, 15);
    cairo_set_source(cr, tile);
    cairo_fill(cr);
    cairo_pattern_destroy(tile);
    // The phone.
    cairo_set_line_width(cr, 4);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    SetColour(cr, colour::kWhite);
    RoundedRect(cr, 19, 11, 26, 42, 6);
    cairo_stroke(cr);
    Line(cr, 29, 17, 35, 17);
    cairo_stroke(cr);
    // The brush stroke sweeping across the screen.
    cairo_set_line_width(cr, 6.5);
    cairo_move_to(cr, 13, 41);
    cairo_curve_to(cr, 24, 44, 27, 28, 36, 29);
    cairo_curve_to(cr, 43, 30, 44, 24, 51, 21);
    SetColour(cr, Hex("#ffffff"));
    cairo_stroke(cr);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 51.5, 20.8, 4.2, 0, 2 * M_PI);
    SetColour(cr, Hex("#ffd166"));
    cairo_fill(cr);
    cairo_restore(cr);
}

void DrawPhoneScreen(cairo_t* cr, Screen screen, double x, double y, double height,
                     const Rgba& body, const Rgba& glass, const Rgba& detail) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, height / 64.0, height / 64.0);
    // Body 34 x 64, screen inset by 3 with room for a speaker slot.
    FillRounded(cr, 0, 0, 34, 64, 7, body);
    FillRounded(cr, 3, 7, 28, 50, 2.5, glass);
    FillRounded(cr, 13, 3, 8, 1.6, 0.8, detail);
    switch (screen) {
        case Screen::kDesktop: {
            FillRounded(cr, 6, 10.5, 22, 7, 1.8, Mix(glass, detail, 0.55));
            for (int row = 0; row < 3; ++row) {
                for (int col = 0; col < 3; ++col) {
                    FillRounded(cr, 6.5 + col * 7.7, 21 + row * 7.7, 5.4, 5.4, 1.5, detail);
                }
            }
            FillRounded(cr, 5, 47.5, 24, 7, 2, Mix(glass, detail, 0.35));
            for (int col = 0; col < 3; ++col) {
                FillRounded(cr, 6.5 + col * 7.7, 48.3, 5.4, 5.4, 1.5, detail);
            }
            break;
        }
        case Screen::kLock: {
            // Clock digits as bars, then the padlock.
            FillRounded(cr, 8, 14, 18, 5.5, 2, detail);
            FillRounded(cr, 11, 22, 12, 2, 1, Mix(glass, detail, 0.6));
            cairo_set_line_width(cr, 2);
            SetColour(cr, detail);
            cairo_new_sub_path(cr);
            cairo_arc(cr, 17, 40.5, 3.2, M_PI, 2 * M_PI);
            cairo_stroke(cr);
            FillRounded(cr, 12, 40, 10, 8, 1.8, detail);
            break;
        }
        case Screen::kCall: {
            cairo_new_sub_path(cr);
            cairo_arc(cr, 17, 19, 5.5, 0, 2 * M_PI);
            SetColour(cr, detail);
            cairo_fill(cr);
            FillRounded(cr, 10, 28, 14, 2.2, 1.1, Mix(glass, detail, 0.6));
            cairo_new_sub_path(cr);
            cairo_arc(cr, 10, 48, 3.6, 0, 2 * M_PI);
            SetColour(cr, colour::kDanger);
            cairo_fill(cr);
            cairo_new_sub_path(cr);
            cairo_arc(cr, 24, 48, 3.6, 0, 2 * M_PI);
            SetColour(cr, Hex("#3cc48a"));
            cairo_fill(cr);
            break;
        }
    }
    cairo_restore(cr);
}

}  // namespace sw::ui_images
