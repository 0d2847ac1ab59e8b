// Drawing screens into their preview pictures:
// preview/xxhdpi/preview{N}_suit.jpg in the module folder, N = screen id + 1.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/theme_module.h"
#include "gfx/canvas.h"

namespace sw {

// The preview file of a screen.
std::string PreviewPath(const ThemePackage& screen);

// Draws one element onto a canvas of the screen's size. Failures are logged
// with their own line where there is one; the caller adds "draw element".
bool DrawElement(const ThemeElement& element, gfx::Canvas& canvas);

// Pictures ready to be drawn (premultiplied as drawing reads that kind), by
// file path and image kind.
using DrawingPictures = std::map<std::pair<std::string, int>, std::shared_ptr<const gfx::Image>>;

// DrawElement with the element's plain images taken from pictures where they
// are there, and read from their files otherwise.
bool DrawElement(const ThemeElement& element, gfx::Canvas& canvas, const DrawingPictures& pictures);

// Draws every element of the screen in order at the module's screen size and
// writes the preview file. The first element that cannot be drawn stops the
// screen, which then keeps its previous preview file. An image is read from
// disk again unless its file is unchanged since a picture of it was kept
// (KeepPictures), so edits made on disk show at once.
bool DrawScreen(const ThemePackage& screen);

// index < 0: every screen in order, stopping at the first failure. Index 0
// or 1 of a module with two screens or more: screens 0 and 1, which are always
// drawn together. Otherwise the screen index alone.
bool RedrawScreens(const ThemeModule& module, int index);

// What is done with a screen right after it was drawn, on the same thread;
// false counts as a failure of the screen.
using ScreenStep = std::function<bool(const ThemePackage&)>;

// The same with the picture just drawn and written to the preview file (its
// thumbnail is scaled from it), valid during the call only.
using DrawnScreenStep = std::function<bool(const ThemePackage&, const gfx::Image& picture)>;

// RedrawScreens with the screens drawn side by side on every core. The
// screen current, when it is one of them, is begun first (and its step run
// right after it), so the designer sees it first; then the others in order.
// When a screen fails, the screens not yet begun are not drawn, the log
// holds what drawing them one after another up to the failure would have
// logged, and the answer is false.
bool RedrawScreens(const ThemeModule& module, int index, int current, const DrawnScreenStep& then);

// The screens at these indexes, begun in this order and drawn side by side
// as RedrawScreens draws its screens; false, logged, for an index the module
// does not have.
bool RedrawTheseScreens(const ThemeModule& module, const std::vector<int>& screens,
                        const DrawnScreenStep& then);

// Called with every screen whose drawing begins, in the order they begin;
// nullptr for none. The tests watch the order with it.
void SetScreenDrawingHook(std::function<void(const ThemePackage&)> hook);

}  // namespace sw
