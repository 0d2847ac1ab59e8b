// Every numbered image of the pages: its number, size and how it is drawn.
#pragma once

#include <string>

namespace sw::ui_images {

// Draws every image into resDir/PNG/N.png and resDir/GIF/N.gif. Returns the
// number of files that could not be written.
int WriteCatalogue(const std::string& resDir);

}  // namespace sw::ui_images
