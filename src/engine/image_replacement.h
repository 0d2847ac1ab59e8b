// Replacing an element's images with a file the designer chose, and the
// designer's choice of launcher icons to leave out of packed themes.
#pragma once

#include <string>

#include "engine/theme_project.h"
#include "engine/thumbnails.h"

namespace sw {

// The no-dpi twin of an image path: for a file of content/res/drawable-nodpi
// whose name ends in "_no" ("clock_bg_no.png"), the file of the same name
// without "_no" in content/res/drawable-xxhdpi ("clock_bg.png"). The
// extension starts at the first ".9.png", else at the last ".". False when
// the path has no twin.
bool NoDpiTwin(const std::string& path, std::string& twin);

// Copies the file at sourcePath over image imageIndex of element
// (screenId, elementId) or, for an icon element, over every one of its
// images and their no-dpi twins; then redraws (every screen when the element
// is element 0, else the element's screen by the first-two-screens rule) and
// renders the thumbnails at the project's size. The source is decoded first:
// one that is no whole image is refused (logged) before any file is touched.
// Each copy is written beside the old file and renamed over it. False for an
// unknown module, element or image, an unreadable source, a failed copy
// (logged; earlier copies stay) or a failed drawing. Screen screenId is drawn
// first, and shownDrawn (when given) told as soon as it is.
bool ReplaceImage(ThemeProject& project, const std::string& moduleName, int screenId, int elementId,
                  int imageIndex, const std::string& sourcePath,
                  const ShownScreenDrawn& shownDrawn = nullptr);

// For an icon element: flag text 0 adds the file name of each of its images
// to the IconExclusionList, 1 removes them; other flags (C atoi rule) do
// nothing. Other tags are left alone. No file is touched and nothing drawn.
// False for an unknown module or element, or a name the list refuses.
bool SaveDeleteImage(const ThemeProject& project, const std::string& moduleName, int screenId,
                     int elementId, const std::string& flag);

}  // namespace sw
