// Moving elements of a module's first screen in the open project, so that the
// previews show a layout a settings form has just saved.
#pragma once

#include <string>
#include <vector>

namespace sw::settings {

// One element of screen 0 and its new rectangle (xxhdpi pixels) and text size
// (0 for images).
struct ElementMove {
    int element = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int size = 0;
};

// Moves the elements of screen 0 of the module with this page name ("锁屏",
// "桌面", "通话") in the open project, in order, and redraws after the last.
// Without an open project or such a module, or for an element the screen does
// not have, nothing moves; the remaining moves still run.
void MovePreviewElements(const std::string& moduleName, const std::vector<ElementMove>& moves);

}  // namespace sw::settings
