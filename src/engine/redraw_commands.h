// The editor's redraw work on a project: thumbnails at the page's size,
// redraws after the page picked another image or files changed behind the
// editor's back, and the moves the settings editors make.
//
// These work on the project they are given; the page's commands of the same
// names (page_commands.h) run them on the process's project under its guard.
#pragma once

#include <string>

#include "engine/theme_project.h"
#include "engine/thumbnails.h"

namespace sw {

// False when the project is not loaded. A width or height of 0 or less is
// true without anything else. Otherwise the size becomes the project's
// thumbnail size and the module's thumbnails are rendered at it; an unknown
// module is false.
bool DrawThumbNail(ThemeProject& project, const std::string& moduleName, int width, int height);

// Shows image imageIndex of element (screenId, elementId), redraws every
// screen of the module (screenId first, shownDrawn told as soon as it is
// drawn) and renders its thumbnails. False for an unknown module or element,
// an image index an image element does not have, or a drawing failure.
bool Redraw(ThemeProject& project, const std::string& moduleName, int screenId, int elementId,
            int imageIndex, const ShownScreenDrawn& shownDrawn = nullptr);

// For every module with a page name: shows image 0 of element 0 of its first
// screen, redraws its first two screens (RedrawAll) or all of its screens
// (RedrawAll1) and renders its thumbnails. A module whose screens cannot be
// drawn is logged and passed over; a failed thumbnail ends the walk, false.
bool RedrawAll(ThemeProject& project);
bool RedrawAll1(ThemeProject& project);

// Moves element elementId of the module's first screen to (left, top) with
// the given size (which becomes its image size too) and font size. The
// element groups keep the rectangles of the load. With redraw, the first two
// screens are drawn again and the thumbnails rendered. False for an unknown
// module, an element the first screen lacks (the redraw still runs: the
// editors move several elements and redraw with the last) or a drawing
// failure.
bool SetElementGeometry(ThemeProject& project, const std::string& moduleName, int elementId,
                        int left, int top, int width, int height, int size, bool redraw);

}  // namespace sw
