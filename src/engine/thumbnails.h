// Thumbnails: the screen previews scaled to the size of the page's preview
// area, preview/xxhdpi/thumbnail/preview{N}.jpg in the module folder
// (N = screen id + 1), which is what the editor page shows.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/screen_drawing.h"
#include "engine/theme_module.h"

namespace sw {

// The thumbnail file of a screen.
std::string ThumbnailPath(const ThemePackage& screen);

// Scales every screen's preview to exactly width x height (the aspect ratio
// is not kept) with a smoothing filter and saves it as JPEG. A screen whose
// preview file is missing is drawn first. Nothing is done, and the answer is
// true, for a width or height of 0 or less. Stops at the first screen that
// cannot be drawn, read or written (logged).
bool RenderThumbnails(const ThemeModule& module, int width, int height);

// Told on the drawing thread as soon as the preview file of the screen the
// designer looks at is written, while the other screens are still drawn.
using ShownScreenDrawn = std::function<void()>;

// RedrawScreens (module, index) and then RenderThumbnails (module, width,
// height), with every screen's thumbnail made as soon as the screen is drawn
// (scaled from the picture drawn) and the screen current begun first: the
// work of an edit, side by side on every core. currentDrawn (when given)
// hears when the screen current is drawn, before its thumbnail is made. No
// thumbnail is made when the size is 0 or less. False when a screen cannot
// be drawn or a thumbnail cannot be made (logged).
bool RedrawWithThumbnails(const ThemeModule& module, int index, int current, int width, int height,
                          const ShownScreenDrawn& currentDrawn = nullptr);

// Draws the screens at these indexes again side by side (RedrawTheseScreens),
// each with its thumbnail right after it (none for a size of 0 or less) and
// then done (when given); the module's other screens and thumbnails are left
// as they are.
bool RedrawScreensWithThumbnails(const ThemeModule& module, const std::vector<int>& screens,
                                 int width, int height, const ScreenStep& done = nullptr);

}  // namespace sw
