// Groups of elements that show one resource, and the categories in use.
#pragma once

#include "engine/theme_module.h"

namespace sw {

// Rebuilds the module's element groups from its numbered screens: an element
// joins the first group whose founder has its category and tag and the same
// raw "res" (icon, icongroup, mask) or "color" (text, colorblock) text.
void BuildElementGroups(ThemeModule& module);

// Rebuilds the used categories: the founders' categories, each once, in group
// order.
void BuildUsedCategories(ThemeModule& module);

// The group that holds the member (screen id, element id), or nullptr.
const ElementGroup* FindElementGroup(const ThemeModule& module, int screenId, int elementId);

}  // namespace sw
