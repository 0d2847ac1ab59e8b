// Loading a module folder: template.xml with its screens, elements, resource
// groups and categories, and the values documents that give them geometry and
// colours.
#pragma once

#include <string>

#include "engine/theme_module.h"

namespace sw {

// Fills module from the folder at path. The caller sets the context's screen
// width, screen height and density first; everything else is replaced. Every
// failure is logged at ERROR where it happens and gives false, after which the
// module is of no use.
bool LoadModule(ThemeModule& module, const std::string& path);

}  // namespace sw
