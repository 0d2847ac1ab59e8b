// The pictures of the default theme ("晨光"): a meadow at dawn for the home
// screen, the same meadow at night for the lock screen, a soft backdrop for
// the call screen, and the icons, digits and buttons drawn on them.
#pragma once

#include <string>

#include "gen_util.h"
#include "glyphs.h"

namespace sw::template_gen {

// The theme's palette.
namespace palette {
inline const Rgba kWhite = Hex(0xFFFFFF);
inline const Rgba kInk = Hex(0x2B2D5E);    // deep indigo for glyphs on white
inline const Rgba kCoral = Hex(0xF2767B);  // accents (calendar, badges)
}  // namespace palette

// The faces used for pictures (the program's own text uses the theme face).
inline const char kDigitFace[] = "DejaVu Sans";
inline const char kCjkFace[] = "WenQuanYi Micro Hei";

// Draws a glyph in a colour into the box (x, y, size, size).
void PaintGlyph(const Surface& target, GlyphFn glyph, double x, double y, double size,
                const Rgba& color);

// A soft drop shadow of a rounded rectangle under whatever is drawn next.
void PaintShadow(const Surface& target, double x, double y, double w, double h, double radius,
                 double offset, int blur, double alpha);

// The app icon plate: a rounded square with a gradient, its shadow and a
// white glyph. size is the canvas side; the plate is inset for the shadow.
void PaintAppIcon(const Surface& target, GlyphFn glyph, const Rgba& top, const Rgba& bottom);
// The plate rectangle inside an icon canvas of the given side.
void IconPlate(int side, double& x, double& y, double& w, double& h, double& radius);

// Full-screen pictures, 1080 x 1920.
void PaintDawnMeadow(const Surface& target);
void PaintNightMeadow(const Surface& target);
void PaintCallBackdrop(const Surface& target);

// A single character of a clock face centred in the canvas, on a common
// baseline so that the digits line up. emPixels is the font size.
void PaintClockCharacter(const Surface& target, const std::string& text, double emPixels,
                         double baseline, const Rgba& color, bool glow);

// A nine-patch file: the body (width x height) is drawn by paint into the
// inner area; the one-pixel border marks the stretchable runs
// [stretchFrom, stretchTo) on both axes (in body pixels).
void WriteNinePatch(const std::string& path, int width, int height, int stretchFromX,
                    int stretchToX, int stretchFromY, int stretchToY,
                    void (*paint)(const Surface& body));

}  // namespace sw::template_gen
