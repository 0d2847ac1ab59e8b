// Premultiplying one row of B,G,R,A pixels in place, shared by the decoders
// and PremultiplyAlpha. Internal to the drawing layer.
#pragma once

#include <cstdint>

namespace sw::gfx {

inline void PremultiplyRow(uint8_t* p, int count) {
    for (int i = 0; i < count; ++i, p += 4) {
        unsigned a = p[3];
        if (a == 255) {
            continue;
        }
        p[0] = static_cast<uint8_t>(p[0] * a / 255);
        p[1] = static_cast<uint8_t>(p[1] * a / 255);
        p[2] = static_cast<uint8_t>(p[2] * a / 255);
    }
}

// The first and last pixel of the row keep their bytes.
inline void PremultiplyRowKeepBorder(uint8_t* p, int count) {
    if (count > 2) {
        PremultiplyRow(p + 4, count - 2);
    }
}

}  // namespace sw::gfx
