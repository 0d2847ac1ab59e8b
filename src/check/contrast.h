// Text contrast as the web's accessibility guidelines (WCAG 2) define it:
// relative luminance of sRGB colours and the ratio (L1 + 0.05) / (L2 + 0.05).
#pragma once

#include "core/text.h"
#include "engine/theme_module.h"
#include "gfx/image.h"

#include <vector>

namespace sw::check {

// Below this a text is hard to read on its background.
inline constexpr double kMinimumContrast = 3.0;

// 0 (black) to 1 (white) for 8-bit sRGB channels.
double RelativeLuminance(int red, int green, int blue);

// From 1 (no contrast) to 21 (black on white); the order does not matter.
double ContrastRatio(double luminance1, double luminance2);

// A picture drawn stretched over place (screen pixels). The border of a
// nine-patch holds its marks, not picture, and is left out.
struct Layer {
    const gfx::Image* image = nullptr;
    Rect place;
    bool nine_patch = false;
};

// The mean relative luminance over area (screen pixels) of the layers drawn
// one over the other, the first at the bottom, each mixed by its alpha in
// linear light. Luminance is linear in light, so this is also the luminance
// of the mean colour. False when area has no pixel inside the first layer.
bool MeanLuminance(const std::vector<Layer>& layers, const Rect& area, double& luminance);

// The luminance a text of colour shows over a background of the given
// luminance: a colour that is not opaque is mixed with the background by its
// alpha, in linear light.
double TextLuminanceOver(PackedColor color, double background);

}  // namespace sw::check
