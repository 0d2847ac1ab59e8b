// Images changed by other programs while the project is open: which modules
// use them, and drawing those modules again so that the previews and
// thumbnails show the files as they are now.
#pragma once

#include <string>
#include <vector>

#include "engine/theme_project.h"

namespace sw {

// True when an element of a screen of the module draws the image at path
// (an absolute path, compared after normalising).
bool ModuleUsesImage(const ThemeModule& module, const std::string& path);

// True when the file at path decodes as an image the screens can draw.
bool IsDecodableImage(const std::string& path);

// Draws every screen of each module with a page name that uses one of the
// images again, and renders its thumbnails at the project's thumbnail size
// (when the editor page set one). Returns the page names of the modules
// drawn again. A module whose screen cannot be drawn (an image missing or
// broken) keeps its previous pictures and is not named.
std::vector<std::string> RedrawModulesUsing(ThemeProject& project,
                                            const std::vector<std::string>& images);

}  // namespace sw
