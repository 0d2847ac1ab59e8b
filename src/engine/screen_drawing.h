// Drawing screens into their preview pictures:
// preview/xxhdpi/preview{N}_suit.jpg in the module folder, N = screen id + 1.
#pragma once

#include <string>

#include "engine/theme_module.h"
#include "gfx/canvas.h"

namespace sw {

// The preview file of a screen.
std::string PreviewPath(const ThemePackage& screen);

// Draws one element onto a canvas of the screen's size. Failures are logged
// with their own line where there is one; the caller adds "draw element".
bool DrawElement(const ThemeElement& element, gfx::Canvas& canvas);

// Draws every element of the screen in order at the module's screen size and
// writes the preview file. The first element that cannot be drawn stops the
// screen, which then keeps its previous preview file. Every image is read
// from disk again, so edits made on disk show at once.
bool DrawScreen(const ThemePackage& screen);

// index < 0: every screen in order, stopping at the first failure. Index 0
// or 1 of a module with two screens or more: screens 0 and 1, which are always
// drawn together. Otherwise the screen index alone.
bool RedrawScreens(const ThemeModule& module, int index);

}  // namespace sw
