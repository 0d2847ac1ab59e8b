// Colours of text and colour-block elements: the designer's choice applied
// to an element and every element that shows the same colour, and the
// colours written back to the modules' colors.xml.
#pragma once

#include <string>

#include "engine/theme_project.h"

namespace sw {

// Gives element (screenId, elementId) and every member of its group the
// colour of colorText (ParseColor). A text of eight digits (AARRGGBB, the
// colour field) sets the alpha too; a shorter one (RRGGBB, the colour
// dialog) keeps the element's own alpha, so an 85 % opaque text stays so;
// writes the new colour into the value its "color" attribute names (in
// memory); redraws every screen of the module and renders its thumbnails.
// False for an unknown module or element, or a drawing failure.
bool SetElementColor(ThemeProject& project, const std::string& moduleName, int screenId,
                     int elementId, const std::string& colorText);

// For every module: every values document named colors.xml is saved as the
// colour edits left it (no other values file is written), so the last edit
// of a value always stands. Stops at the first file that cannot be written,
// false (logged).
bool SaveColors(ThemeProject& project);

}  // namespace sw
