// Answers to the page's clicks: the elements under a point of a screen, and
// the places where a resource is shown.
#pragma once

#include <json/value.h>

#include "engine/theme_module.h"

namespace sw {

// The topmost element of screen screenId whose rectangle holds (x, y) and
// that is not read-only, as its ElementJson, followed by every element above
// it (topmost first) with exactly its rectangle and category, read-only ones
// included. False, with result untouched, when there is no such element or
// no such screen.
bool HitTest(const ThemeModule& module, int screenId, int x, int y, Json::Value& result);

// The rectangles where they are now (after any move by SetElementGeometry)
// of every member on screen screenId of the group that holds element
// (screenId, elementId), in member order, as objects {left, top, width,
// height}. False when the element is read-only or belongs to no group.
bool GroupRects(const ThemeModule& module, int screenId, int elementId, Json::Value& result);

}  // namespace sw
