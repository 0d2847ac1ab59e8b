#include "glyphs.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <utility>

#include "gen_util.h"

namespace sw::template_gen {

namespace {

using Point = std::pair<double, double>;

void Circle(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_fill(cr);
}

void Ring(cairo_t* cr, double cx, double cy, double r, double width) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void Box(cairo_t* cr, double x, double y, double w, double h, double r) {
    RoundedRect(cr, x, y, w, h, r);
    cairo_fill(cr);
}

void Frame(cairo_t* cr, double x, double y, double w, double h, double r, double width) {
    RoundedRect(cr, x, y, w, h, r);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void Polyline(cairo_t* cr, std::initializer_list<Point> points, double width) {
    bool first = true;
    for (const auto& [x, y] : points) {
        if (first) {
            cairo_move_to(cr, x, y);
            first = false;
        } else {
            cairo_line_to(cr, x, y);
        }
    }
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

void Polygon(cairo_t* cr, std::initializer_list<Point> points, double round = 0) {
    bool first = true;
    for (const auto& [x, y] : points) {
        if (first) {
            cairo_move_to(cr, x, y);
            first = false;
        } else {
            cairo_line_to(cr, x, y);
        }
    }
    cairo_close_path(cr);
    if (round > 0) {
        cairo_set_line_width(cr, round);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_fill_preserve(cr);
        cairo_stroke(cr);
    } else {
        cairo_fill(cr);
    }
}

void Arc(cairo_t* cr, double cx, double cy, double r, double from, double to, double width) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, from * M_PI / 180, to * M_PI / 180);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
}

// Everything drawn between Cut() and Paint() clears the layer.
void Cut(cairo_t* cr) {
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
}
void Paint(cairo_t* cr) {
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

void Letters(cairo_t* cr, const std::string& text, const std::string& face, double size, double cx,
             double cy) {
    double x = 0;
    double y = 0;
    double w = 0;
    double h = 0;
    InkExtents(text, face, size, "bold", x, y, w, h);
    double r = 0;
    double g = 0;
    double b = 0;
    double a = 0;
    cairo_pattern_get_rgba(cairo_get_source(cr), &r, &g, &b, &a);
    DrawText(cr, text, face, size, cx - w / 2 - x, cy - h / 2 - y, {r, g, b, a}, false, "bold");
}

void CloudPath(cairo_t* cr, double dx, double dy, double s) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, dx + 36 * s, dy + 58 * s, 14 * s, M_PI / 2, 3 * M_PI / 2 - 0.2);
    cairo_arc(cr, dx + 52 * s, dy + 44 * s, 19 * s, M_PI + 0.35, 2 * M_PI - 0.25);
    cairo_arc(cr, dx + 68 * s, dy + 58 * s, 14 * s, 3 * M_PI / 2 + 0.2, M_PI / 2);
    cairo_close_path(cr);
}

void Handset(cairo_t* cr) {
    cairo_save(cr);
    cairo_translate(cr, 50, 50);
    cairo_rotate(cr, -M_PI / 4);
    // The spine curves round the left; ear and mouth pieces reach right.
    cairo_new_sub_path(cr);
    cairo_arc(cr, 8, 0, 30, M_PI * 0.62, M_PI * 1.38);
    cairo_set_line_width(cr, 13);
    cairo_stroke(cr);
    cairo_rotate(cr, 0);
    RoundedRect(cr, -14, -33, 22, 16, 6);
    cairo_fill(cr);
    RoundedRect(cr, -14, 17, 22, 16, 6);
    cairo_fill(cr);
    cairo_restore(cr);
}

void Phone(cairo_t* cr) {
    Handset(cr);
}

void Contacts(cairo_t* cr) {
    Circle(cr, 50, 37, 15);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 50, 82, 28, M_PI, 2 * M_PI);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void Messages(cairo_t* cr) {
    RoundedRect(cr, 20, 24, 60, 44, 16);
    cairo_fill(cr);
    Polygon(cr, {{30, 60}, {26, 80}, {46, 64}}, 3);
    Cut(cr);
    Circle(cr, 36, 46, 4.5);
    Circle(cr, 50, 46, 4.5);
    Circle(cr, 64, 46, 4.5);
    Paint(cr);
}

void Browser(cairo_t* cr) {
    Ring(cr, 50, 50, 28, 6);
    cairo_save(cr);
    cairo_translate(cr, 50, 50);
    cairo_scale(cr, 0.45, 1);
    cairo_arc(cr, 0, 0, 28, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    Polyline(cr, {{24, 50}, {76, 50}}, 5);
    Polyline(cr, {{29, 36}, {71, 36}}, 4);
    Polyline(cr, {{29, 64}, {71, 64}}, 4);
}

void Camera(cairo_t* cr) {
    Box(cr, 18, 32, 64, 44, 11);
    Box(cr, 37, 24, 26, 14, 5);
    Cut(cr);
    Circle(cr, 50, 54, 15);
    Paint(cr);
    Circle(cr, 50, 54, 9);
    Cut(cr);
    Circle(cr, 71, 42, 3);
    Paint(cr);
}

void Gallery(cairo_t* cr) {
    Frame(cr, 20, 24, 60, 52, 9, 6);
    Circle(cr, 64, 40, 6);
    Polygon(cr, {{24, 72}, {41, 48}, {53, 62}, {61, 53}, {76, 72}}, 3);
}

void Settings(cairo_t* cr) {
    cairo_save(cr);
    cairo_translate(cr, 50, 50);
    for (int i = 0; i < 8; ++i) {
        cairo_save(cr);
        cairo_rotate(cr, i * M_PI / 4);
        RoundedRect(cr, -6.5, -33, 13, 14, 3);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    cairo_restore(cr);
    Circle(cr, 50, 50, 24);
    Cut(cr);
    Circle(cr, 50, 50, 10);
    Paint(cr);
}

void Clock(cairo_t* cr) {
    Ring(cr, 50, 50, 29, 7);
    Polyline(cr, {{50, 32}, {50, 51}, {63, 58}}, 6);
}

void Calculator(cairo_t* cr) {
    Polyline(cr, {{28, 34}, {44, 34}}, 6);
    Polyline(cr, {{36, 26}, {36, 42}}, 6);
    Polyline(cr, {{57, 34}, {73, 34}}, 6);
    Polyline(cr, {{29, 59}, {43, 73}}, 6);
    Polyline(cr, {{43, 59}, {29, 73}}, 6);
    Polyline(cr, {{57, 61}, {73, 61}}, 6);
    Polyline(cr, {{57, 71}, {73, 71}}, 6);
}

void Music(cairo_t* cr) {
    Polyline(cr, {{42, 66}, {42, 28}, {72, 22}, {72, 60}}, 6);
    Polyline(cr, {{42, 36}, {72, 30}}, 8);
    for (auto [x, y] : {Point{34, 68}, Point{64, 62}}) {
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_rotate(cr, -0.35);
        cairo_scale(cr, 1.25, 0.95);
        cairo_arc(cr, 0, 0, 9, 0, 2 * M_PI);
        cairo_restore(cr);
        cairo_fill(cr);
    }
}

void Video(cairo_t* cr) {
    Ring(cr, 50, 50, 29, 6);
    Polygon(cr, {{43, 36}, {43, 64}, {65, 50}}, 5);
}

void Email(cairo_t* cr) {
    Box(cr, 18, 28, 64, 46, 8);
    Cut(cr);
    Polyline(cr, {{24, 35}, {50, 55}, {76, 35}}, 5);
    Paint(cr);
}

void Weather(cairo_t* cr) {
    for (int i = 0; i < 8; ++i) {
        double a = i * M_PI / 4;
        Polyline(cr,
                 {{40 + 18 * std::cos(a), 40 + 18 * std::sin(a)},
                  {40 + 24 * std::cos(a), 40 + 24 * std::sin(a)}},
                 4.5);
    }
    Circle(cr, 40, 40, 12);
    Cut(cr);
    CloudPath(cr, 2, 6, 1.02);
    cairo_set_line_width(cr, 10);
    cairo_stroke(cr);
    Paint(cr);
    CloudPath(cr, 2, 6, 1.02);
    cairo_fill(cr);
}

void Files(cairo_t* cr) {
    Box(cr, 18, 26, 30, 16, 5);
    Box(cr, 18, 33, 64, 43, 8);
    Cut(cr);
    Polyline(cr, {{18, 42}, {82, 42}}, 3.5);
    Paint(cr);
}

void Notes(cairo_t* cr) {
    Box(cr, 25, 18, 50, 64, 8);
    Cut(cr);
    Polyline(cr, {{34, 36}, {66, 36}}, 5);
    Polyline(cr, {{34, 49}, {66, 49}}, 5);
    Polyline(cr, {{34, 62}, {54, 62}}, 5);
    Paint(cr);
}

void Recorder(cairo_t* cr) {
    Box(cr, 39, 18, 22, 38, 11);
    Arc(cr, 50, 44, 20, 0, 180, 6);
    Polyline(cr, {{50, 65}, {50, 76}}, 6);
    Polyline(cr, {{38, 78}, {62, 78}}, 6);
}

void Radio(cairo_t* cr) {
    Polyline(cr, {{30, 36}, {68, 20}}, 5);
    Box(cr, 18, 36, 64, 42, 9);
    Cut(cr);
    Circle(cr, 37, 57, 10);
    Polyline(cr, {{56, 50}, {71, 50}}, 4);
    Polyline(cr, {{56, 58}, {71, 58}}, 4);
    Polyline(cr, {{56, 66}, {71, 66}}, 4);
    Paint(cr);
}

void Maps(cairo_t* cr) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, 50, 40, 21, M_PI * 0.82, M_PI * 2.18);
    cairo_line_to(cr, 50, 82);
    cairo_close_path(cr);
    cairo_fill(cr);
    Cut(cr);
    Circle(cr, 50, 40, 8);
    Paint(cr);
}

void Store(cairo_t* cr) {
    Arc(cr, 50, 38, 12, 180, 360, 6);
    Box(cr, 22, 36, 56, 44, 9);
    Cut(cr);
    Circle(cr, 38, 48, 3.5);
    Circle(cr, 62, 48, 3.5);
    Paint(cr);
}

void Download(cairo_t* cr) {
    Polyline(cr, {{50, 20}, {50, 58}}, 8);
    Polyline(cr, {{33, 44}, {50, 61}, {67, 44}}, 8);
    Polyline(cr, {{26, 77}, {74, 77}}, 8);
}

void Themes(cairo_t* cr) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, 50, 50, 31, 0, 2 * M_PI);
    cairo_fill(cr);
    Cut(cr);
    Circle(cr, 38, 38, 6);
    Circle(cr, 55, 32, 6);
    Circle(cr, 68, 44, 6);
    Circle(cr, 34, 56, 6);
    Circle(cr, 61, 64, 9);
    Paint(cr);
}

void ShieldPath(cairo_t* cr) {
    cairo_move_to(cr, 50, 18);
    cairo_line_to(cr, 77, 28);
    cairo_curve_to(cr, 77, 56, 68, 72, 50, 82);
    cairo_curve_to(cr, 32, 72, 23, 56, 23, 28);
    cairo_close_path(cr);
}

void Security(cairo_t* cr) {
    ShieldPath(cr);
    cairo_fill(cr);
    Cut(cr);
    Polyline(cr, {{37, 49}, {47, 59}, {64, 41}}, 6);
    Paint(cr);
}

void Flashlight(cairo_t* cr) {
    Polygon(cr, {{32, 20}, {68, 20}, {61, 42}, {39, 42}}, 4);
    Box(cr, 41, 44, 18, 38, 5);
    Cut(cr);
    Circle(cr, 50, 56, 3.5);
    Paint(cr);
}

void Compass(cairo_t* cr) {
    Ring(cr, 50, 50, 29, 6);
    Polygon(cr, {{50, 29}, {58, 50}, {50, 71}, {42, 50}}, 2);
    Cut(cr);
    Circle(cr, 50, 50, 3.5);
    Paint(cr);
}

void Backup(cairo_t* cr) {
    CloudPath(cr, -2, -4, 1.05);
    cairo_fill(cr);
    Cut(cr);
    Polyline(cr, {{52, 68}, {52, 46}}, 6);
    Polyline(cr, {{43, 54}, {52, 45}, {61, 54}}, 6);
    Paint(cr);
}

void VideoCall(cairo_t* cr) {
    Box(cr, 16, 32, 50, 38, 9);
    Polygon(cr, {{66, 51}, {84, 38}, {84, 64}}, 4);
}

void Games(cairo_t* cr) {
    Box(cr, 16, 34, 68, 34, 17);
    Cut(cr);
    Polyline(cr, {{28, 51}, {42, 51}}, 5);
    Polyline(cr, {{35, 44}, {35, 58}}, 5);
    Circle(cr, 62, 47, 4);
    Circle(cr, 70, 55, 4);
    Paint(cr);
}

void HeartPath(cairo_t* cr) {
    cairo_move_to(cr, 50, 80);
    cairo_curve_to(cr, 20, 60, 16, 44, 20, 34);
    cairo_curve_to(cr, 25, 22, 43, 20, 50, 33);
    cairo_curve_to(cr, 57, 20, 75, 22, 80, 34);
    cairo_curve_to(cr, 84, 44, 80, 60, 50, 80);
    cairo_close_path(cr);
}

void Health(cairo_t* cr) {
    HeartPath(cr);
    cairo_fill(cr);
    Cut(cr);
    Polyline(cr, {{24, 50}, {38, 50}, {44, 40}, {52, 60}, {58, 48}, {76, 48}}, 4.5);
    Paint(cr);
}

void Wallet(cairo_t* cr) {
    Box(cr, 18, 28, 64, 48, 9);
    Cut(cr);
    RoundedRect(cr, 56, 42, 30, 20, 7);
    cairo_fill(cr);
    Polyline(cr, {{22, 38}, {70, 38}}, 3);
    Paint(cr);
    Circle(cr, 64, 52, 4);
}

void Search(cairo_t* cr) {
    Ring(cr, 44, 44, 18, 8);
    Polyline(cr, {{57, 57}, {74, 74}}, 10);
}

void Voice(cairo_t* cr) {
    const double heights[] = {18, 36, 54, 36, 18};
    for (int i = 0; i < 5; ++i) {
        double x = 26 + i * 12;
        Polyline(cr, {{x, 50 - heights[i] / 2}, {x, 50 + heights[i] / 2}}, 7);
    }
}

void Scanner(cairo_t* cr) {
    Polyline(cr, {{22, 36}, {22, 22}, {36, 22}}, 6);
    Polyline(cr, {{64, 22}, {78, 22}, {78, 36}}, 6);
    Polyline(cr, {{22, 64}, {22, 78}, {36, 78}}, 6);
    Polyline(cr, {{64, 78}, {78, 78}, {78, 64}}, 6);
    Polyline(cr, {{30, 50}, {70, 50}}, 5);
}

void Reader(cairo_t* cr) {
    Polygon(cr, {{18, 28}, {47, 34}, {47, 76}, {18, 70}}, 4);
    Polygon(cr, {{53, 34}, {82, 28}, {82, 70}, {53, 76}}, 4);
}

void News(cairo_t* cr) {
    Box(cr, 20, 22, 60, 56, 8);
    Cut(cr);
    RoundedRect(cr, 28, 30, 20, 16, 3);
    cairo_fill(cr);
    Polyline(cr, {{55, 33}, {71, 33}}, 4);
    Polyline(cr, {{55, 42}, {71, 42}}, 4);
    Polyline(cr, {{29, 55}, {71, 55}}, 4);
    Polyline(cr, {{29, 65}, {71, 65}}, 4);
    Paint(cr);
}

void Translate(cairo_t* cr) {
    Letters(cr, "文", "WenQuanYi Micro Hei", 40, 36, 40);
    Letters(cr, "A", "DejaVu Sans", 36, 65, 62);
}

void Fitness(cairo_t* cr) {
    Polyline(cr, {{30, 50}, {70, 50}}, 6);
    Box(cr, 23, 33, 11, 34, 4);
    Box(cr, 66, 33, 11, 34, 4);
    Box(cr, 15, 40, 9, 20, 3);
    Box(cr, 76, 40, 9, 20, 3);
}

void Memo(cairo_t* cr) {
    for (int i = 0; i < 3; ++i) {
        double y = 30 + i * 20;
        Polyline(cr, {{24, y}, {29, y + 5}, {37, y - 4}}, 4.5);
        Polyline(cr, {{45, y + 1}, {77, y + 1}}, 5);
    }
}

void Screenshot(cairo_t* cr) {
    Polyline(cr, {{33, 18}, {33, 67}, {82, 67}}, 7);
    Polyline(cr, {{18, 33}, {67, 33}, {67, 82}}, 7);
}

void Feedback(cairo_t* cr) {
    RoundedRect(cr, 20, 22, 60, 46, 15);
    cairo_fill(cr);
    Polygon(cr, {{56, 62}, {68, 80}, {70, 60}}, 3);
    Cut(cr);
    Polyline(cr, {{50, 32}, {50, 48}}, 6);
    Circle(cr, 50, 58, 3.6);
    Paint(cr);
}

void Updater(cairo_t* cr) {
    Arc(cr, 50, 50, 25, 200, 330, 7);
    Arc(cr, 50, 50, 25, 20, 150, 7);
    Polygon(cr, {{72, 26}, {76, 43}, {59, 40}}, 3);
    Polygon(cr, {{28, 74}, {24, 57}, {41, 60}}, 3);
}

void Sim(cairo_t* cr) {
    Polygon(cr, {{28, 18}, {60, 18}, {72, 30}, {72, 82}, {28, 82}}, 6);
    Cut(cr);
    RoundedRect(cr, 36, 44, 28, 28, 4);
    cairo_fill(cr);
    Paint(cr);
    Polyline(cr, {{42, 58}, {58, 58}}, 3);
    Polyline(cr, {{50, 50}, {50, 66}}, 3);
}

void Cast(cairo_t* cr) {
    Frame(cr, 18, 24, 64, 44, 7, 6);
    Polyline(cr, {{38, 80}, {62, 80}}, 6);
    Arc(cr, 32, 62, 10, 270, 360, 4.5);
    Arc(cr, 32, 62, 20, 270, 360, 4.5);
    Circle(cr, 32, 62, 3.5);
}

void Shopping(cairo_t* cr) {
    Polyline(cr, {{16, 26}, {27, 26}, {35, 60}, {71, 60}, {78, 36}, {31, 36}}, 6);
    Circle(cr, 40, 72, 5.5);
    Circle(cr, 67, 72, 5.5);
}

void Tv(cairo_t* cr) {
    Polyline(cr, {{37, 17}, {50, 28}, {63, 17}}, 5);
    Box(cr, 17, 28, 66, 44, 9);
    Cut(cr);
    RoundedRect(cr, 25, 36, 50, 28, 5);
    cairo_fill(cr);
    Paint(cr);
    Polyline(cr, {{36, 80}, {64, 80}}, 6);
}

void Travel(cairo_t* cr) {
    cairo_save(cr);
    cairo_translate(cr, 50, 50);
    cairo_rotate(cr, -M_PI / 4);
    Box(cr, -6, -34, 12, 66, 6);
    Polygon(cr, {{-4, -8}, {-34, 8}, {-34, 14}, {-4, 6}}, 3);
    Polygon(cr, {{4, -8}, {34, 8}, {34, 14}, {4, 6}}, 3);
    Polygon(cr, {{-3, 22}, {-15, 30}, {-15, 34}, {-3, 30}}, 2);
    Polygon(cr, {{3, 22}, {15, 30}, {15, 34}, {3, 30}}, 2);
    cairo_restore(cr);
}

void Food(cairo_t* cr) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, 50, 52, 30, 0, M_PI);
    cairo_close_path(cr);
    cairo_fill(cr);
    Polyline(cr, {{18, 52}, {82, 52}}, 5);
    for (double x : {38.0, 50.0, 62.0}) {
        cairo_move_to(cr, x, 42);
        cairo_curve_to(cr, x - 6, 36, x + 6, 30, x, 22);
        cairo_set_line_width(cr, 4.5);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    }
}

void Payment(cairo_t* cr) {
    Circle(cr, 50, 50, 31);
    Cut(cr);
    Letters(cr, "¥", "DejaVu Sans", 44, 50, 50);
    Paint(cr);
}

void Express(cairo_t* cr) {
    Polygon(cr, {{50, 18}, {79, 32}, {50, 46}, {21, 32}}, 3);
    Polygon(cr, {{21, 38}, {47, 51}, {47, 82}, {21, 68}}, 3);
    Polygon(cr, {{53, 51}, {79, 38}, {79, 68}, {53, 82}}, 3);
}

void Taxi(cairo_t* cr) {
    Polygon(cr, {{30, 46}, {38, 29}, {62, 29}, {70, 46}}, 5);
    Box(cr, 15, 44, 70, 24, 9);
    Cut(cr);
    Polygon(cr, {{36, 44}, {41, 34}, {48, 34}, {48, 44}});
    Polygon(cr, {{52, 44}, {52, 34}, {59, 34}, {64, 44}});
    Circle(cr, 32, 70, 10);
    Circle(cr, 68, 70, 10);
    Paint(cr);
    Circle(cr, 32, 70, 6.5);
    Circle(cr, 68, 70, 6.5);
}

void Forum(cairo_t* cr) {
    RoundedRect(cr, 16, 20, 46, 34, 12);
    cairo_fill(cr);
    Polygon(cr, {{24, 50}, {22, 64}, {36, 52}}, 2);
    Cut(cr);
    RoundedRect(cr, 34, 38, 54, 40, 14);
    cairo_fill(cr);
    Paint(cr);
    RoundedRect(cr, 38, 42, 46, 32, 11);
    cairo_fill(cr);
    Polygon(cr, {{72, 70}, {78, 84}, {62, 72}}, 2);
}

void Sparkle(cairo_t* cr, double cx, double cy, double r) {
    cairo_move_to(cr, cx, cy - r);
    cairo_curve_to(cr, cx + r * 0.12, cy - r * 0.12, cx + r * 0.12, cy - r * 0.12, cx + r, cy);
    cairo_curve_to(cr, cx + r * 0.12, cy + r * 0.12, cx + r * 0.12, cy + r * 0.12, cx, cy + r);
    cairo_curve_to(cr, cx - r * 0.12, cy + r * 0.12, cx - r * 0.12, cy + r * 0.12, cx - r, cy);
    cairo_curve_to(cr, cx - r * 0.12, cy - r * 0.12, cx - r * 0.12, cy - r * 0.12, cx, cy - r);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void Beauty(cairo_t* cr) {
    Sparkle(cr, 44, 54, 28);
    Sparkle(cr, 70, 28, 12);
    Sparkle(cr, 74, 70, 8);
}

void Help(cairo_t* cr) {
    Circle(cr, 50, 50, 31);
    Cut(cr);
    Letters(cr, "?", "DejaVu Sans", 44, 50, 50);
    Paint(cr);
}

// Lock-screen and call-screen pictograms.
void Padlock(cairo_t* cr, bool open) {
    if (open) {
        Arc(cr, 62, 38, 13, 180, 360, 7);
        Polyline(cr, {{49, 38}, {49, 46}}, 7);
    } else {
        Arc(cr, 50, 38, 14, 180, 360, 7);
        Polyline(cr, {{36, 38}, {36, 46}}, 7);
        Polyline(cr, {{64, 38}, {64, 46}}, 7);
    }
    Box(cr, 28, 44, 44, 36, 8);
    Cut(cr);
    Circle(cr, 50, 58, 5);
    Polyline(cr, {{50, 60}, {50, 68}}, 4);
    Paint(cr);
}

void Lock(cairo_t* cr) {
    Padlock(cr, false);
}
void Unlock(cairo_t* cr) {
    Padlock(cr, true);
}

void Alarm(cairo_t* cr) {
    Ring(cr, 50, 54, 24, 6);
    Polyline(cr, {{50, 42}, {50, 55}, {59, 60}}, 5);
    Arc(cr, 28, 30, 9, 180, 290, 6);
    Arc(cr, 72, 30, 9, 250, 360, 6);
    Polyline(cr, {{34, 76}, {30, 82}}, 5);
    Polyline(cr, {{66, 76}, {70, 82}}, 5);
}

void Bubble(cairo_t* cr) {
    RoundedRect(cr, 20, 26, 60, 40, 14);
    cairo_fill(cr);
    Polygon(cr, {{32, 60}, {28, 78}, {48, 64}}, 3);
}

}  // namespace

GlyphFn GlyphNamed(const std::string& name) {
    static const std::pair<const char*, GlyphFn> kGlyphs[] = {
        {"phone", Phone},
        {"contacts", Contacts},
        {"messages", Messages},
        {"browser", Browser},
        {"camera", Camera},
        {"gallery", Gallery},
        {"settings", Settings},
        {"clock", Clock},
        {"calculator", Calculator},
        {"music", Music},
        {"video", Video},
        {"email", Email},
        {"weather", Weather},
        {"files", Files},
        {"notes", Notes},
        {"recorder", Recorder},
        {"radio", Radio},
        {"maps", Maps},
        {"store", Store},
        {"download", Download},
        {"themes", Themes},
        {"security", Security},
        {"flashlight", Flashlight},
        {"compass", Compass},
        {"backup", Backup},
        {"videocall", VideoCall},
        {"games", Games},
        {"health", Health},
        {"wallet", Wallet},
        {"search", Search},
        {"voice", Voice},
        {"scanner", Scanner},
        {"reader", Reader},
        {"news", News},
        {"translate", Translate},
        {"fitness", Fitness},
        {"memo", Memo},
        {"screenshot", Screenshot},
        {"feedback", Feedback},
        {"updater", Updater},
        {"sim", Sim},
        {"cast", Cast},
        {"shopping", Shopping},
        {"tv", Tv},
        {"travel", Travel},
        {"food", Food},
        {"payment", Payment},
        {"express", Express},
        {"taxi", Taxi},
        {"forum", Forum},
        {"beauty", Beauty},
        {"help", Help},
        {"lock", Lock},
        {"unlock", Unlock},
        {"alarm", Alarm},
        {"bubble", Bubble},
    };
    for (const auto& [known, glyph] : kGlyphs) {
        if (name == known) {
            return glyph;
        }
    }
    std::fprintf(stderr, "template_gen: no glyph %s\n", name.c_str());
    std::exit(1);
}

}  // namespace sw::template_gen
