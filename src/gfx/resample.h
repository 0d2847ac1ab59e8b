// Resampling whole images for other screen densities.
#pragma once

#include "gfx/image.h"

namespace sw::gfx {

// The whole image resampled to exactly width x height (aspect ratio not kept)
// with a Lanczos-3 filter. When shrinking, the filter is widened by the
// reduction factor, so every source pixel counts and fine detail cannot alias;
// when enlarging it interpolates. Colours of a 32-bit image are filtered
// premultiplied (a straight source is premultiplied on a copy first), so
// transparent pixels never bleed their colour into the edges; the result is
// premultiplied, a 24-bit source gives a 24-bit result. The source is only
// read, so several threads may resample one source at once; the rows of one
// resample are filtered on every core. Empty on an empty source or a size of
// zero, a negative size or one beyond kMaxImagePixels.
Image ResampleLanczos(const Image& source, int width, int height);

}  // namespace sw::gfx
