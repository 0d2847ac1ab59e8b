// White pictograms for app icons and lock-screen targets, drawn on a 100 x 100
// unit box. Each glyph paints with the current source (white) and may punch
// holes with CAIRO_OPERATOR_CLEAR, so it is drawn on a layer of its own.
#pragma once

#include <cairo.h>
#include <string>

namespace sw::template_gen {

using GlyphFn = void (*)(cairo_t* cr);

// The glyph of a name ("phone", "camera" ...); stops the generator for an
// unknown name.
GlyphFn GlyphNamed(const std::string& name);

}  // namespace sw::template_gen
