// Line icons on a 24-unit grid, drawn into any square box. One stroke width
// and round ends for every glyph, so the tool bar reads as one family.
#pragma once

#include "paint.h"

namespace sw::ui_images {

enum class Glyph {
    kNewFile,
    kFolder,
    kPackage,
    kRefresh,
    kGear,
    kSliders,
    kLock,
    kAnimation,
    kWeather,
    kHandset,
    kPhonePush,
    kAppsPlus,
    kCheck,
    kClose,
    kMaximise,
    kRestore,
    kMinimise,
    kChevronLeft,
    kChevronRight,
};

// Draws the glyph centred in the square (x, y, size). `weight` is the stroke
// width in grid units (24 per side).
void DrawGlyph(cairo_t* cr, Glyph glyph, double x, double y, double size, const Rgba& colour,
               double weight = 1.8);

// The product's mark: a rounded tile in the accent colour holding a phone
// outline crossed by a brush stroke.
void DrawLogoMark(cairo_t* cr, double x, double y, double size);

enum class Screen { kDesktop, kLock, kCall };

// A phone with its screen showing what the package re-skins.
void DrawPhoneScreen(cairo_t* cr, Screen screen, double x, double y, double height,
                     const Rgba& body, const Rgba& glass, const Rgba& detail);

}  // namespace sw::ui_images
