// The lists the editor page builds its panels from: every editable resource
// of every module (ResourceList), every module's category tabs
// (CategoryList), and the object that stands for one element (ElementJson),
// which the hit test answers with too.
#pragma once

#include <json/value.h>

#include <string>

#include "engine/theme_module.h"
#include "engine/theme_project.h"

namespace sw {

// Screen and element ids, tag, category, rectangle, flags and image index,
// then by tag: colour ("#aarrggbb"), text, size and first description for
// text and colour blocks; first image size, image kind, image paths and one
// description per image for icon, icongroup and mask elements.
Json::Value ElementToJson(const ThemeElement& element);

// One member per module, keyed by its page name ("" without one): the
// module's editable resources by category (the first element of every group
// that is not read-only; "其他" stands for the empty category), its folder,
// template version, screen size and number of screens.
Json::Value BuildResourceList(const ThemeProject& project);

// One member per module, keyed by its page name: its category list in
// template order.
Json::Value BuildCategoryList(const ThemeProject& project);

// The value in the styled layout the pages read: three-blank indent, object
// members in key order, a line end at the end. Texts other than ASCII are
// written as \u escapes, so the result reads the same in any code page.
std::string StyledJson(const Json::Value& value);

}  // namespace sw
