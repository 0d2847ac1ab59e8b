// Text in the theme face. The face is asked for by name and, when it is not
// installed, fontconfig substitutes an installed CJK face. The font machinery
// is shared by the whole process and guarded, so any thread may measure and
// draw text.
#pragma once

#include <string>
#include <string_view>

#include "gfx/geometry.h"

namespace sw::gfx {

// The theme face.
inline constexpr const char* kThemeFontFamily = "方正兰亭黑_GB18030";

// The largest em height text is laid out at; larger sizes are measured and
// drawn at this one. The font machinery fails on sizes far beyond any
// screen (and leaves the drawing unusable), so they never reach it.
inline constexpr int kMaxTextSize = 4096;

// Width and height in pixels of `text` (UTF-8) as one line in the theme face at
// an em height of `size` pixels, weight normal; the box Canvas::DrawText
// covers. 0 x 0 for empty text or size <= 0; a size over kMaxTextSize counts
// as kMaxTextSize.
Size MeasureText(int size, std::string_view text);

// Whether fontconfig knows a face of exactly this family name.
bool IsFontFamilyInstalled(const std::string& family);

// Makes a font file known to this process (in addition to the installed
// fonts); text drawn afterwards may use it. False when fontconfig refuses it.
bool AddFontFile(const std::string& path);

}  // namespace sw::gfx
