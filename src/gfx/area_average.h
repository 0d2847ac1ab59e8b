// Shrinking a whole picture by averaging the area of the source under each
// pixel of the result: what a thumbnail of a freshly drawn screen needs, at
// a fraction of the cost of the drawing layer's own smoothing filter.
#pragma once

#include "gfx/image.h"

namespace sw::gfx {

// The whole image shrunk to exactly width x height (aspect ratio not kept):
// every pixel of the result is the mean of the source area it covers, parts
// of source pixels counted by the part covered, rounded to the nearest
// level. A flat colour stays exactly that colour. Opaque and premultiplied
// images only (averaging straight alpha would bleed the colour of
// transparent pixels); the result has the source's kind. Empty for an empty
// or straight-alpha source, a size of zero or less, or a size larger than
// the source's in either direction.
Image ShrinkByAreaAverage(const Image& source, int width, int height);

}  // namespace sw::gfx
