// Premultiplied alpha: each colour byte becomes colour * alpha / 255 with
// integer division (rounded down); alpha is kept.
#pragma once

#include "gfx/image.h"

namespace sw::gfx {

// Premultiplies a 32-bit image with straight alpha in place. 24-bit images and
// images already premultiplied are left alone.
void PremultiplyAlpha(Image& image);

// The same, except that the outermost rows and columns keep their bytes (used
// for nine-patch files drawn as plain images).
void PremultiplyAlphaKeepBorder(Image& image);

// One pixel by the rule above.
inline Pixel PremultiplyPixel(Pixel p) {
    return {static_cast<uint8_t>(p.b * p.a / 255), static_cast<uint8_t>(p.g * p.a / 255),
            static_cast<uint8_t>(p.r * p.a / 255), p.a};
}

}  // namespace sw::gfx
