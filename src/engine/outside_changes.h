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

// The indexes of the module's screens with an element that draws one of the
// images (absolute paths, compared after normalising), in order.
std::vector<int> ScreensUsingImages(const ThemeModule& module,
                                    const std::vector<std::string>& paths);

// Draws again, with their thumbnails at the project's thumbnail size (when
// the editor page set one), the screens that use one of the images, in each
// module with a page name; the other screens keep their pictures. Returns
// the page names of the modules drawn again. A module whose screen cannot be
// drawn (an image missing or broken) keeps its previous pictures and is not
// named.
std::vector<std::string> RedrawModulesUsing(ThemeProject& project,
                                            const std::vector<std::string>& images);

}  // namespace sw
