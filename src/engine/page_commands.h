// The engine's side of the editor page's commands, one function per command
// of the main window's table and named as the command: texts and numbers in,
// texts and booleans out, ready for the host's table to call.
//
// Each runs on the process's project (theme_project.h) under its guard, so no
// command ever sees a project while an open, create or reload task puts a new
// one in place:
// - commands that draw previews or thumbnails or change the model (image
//   index, colours, thumbnail size, geometry) hold WriteProject() for their
//   whole run, so drawings never overlap and readers never see half a change;
// - commands that only read the model (hit tests, outlines, the lists,
//   SaveDeleteImage) hold ReadProject();
// - GetImageInfo reads only the file it is given.
// A thread that holds ReadProject() or WriteProject() must not call these.
#pragma once

#include <string>

#include "engine/thumbnails.h"

namespace sw {

// DrawThumbNail(package, width, height): the module's thumbnails at the
// page's preview size, which the project keeps for later redraws.
bool DrawThumbNail(const std::string& moduleName, int width, int height);

// Redraw(package, screen, element, resindex): shows another image of an
// element and redraws every screen of its module, the element's own first.
bool Redraw(const std::string& moduleName, int screenId, int elementId, int imageIndex,
            const ShownScreenDrawn& shownDrawn = nullptr);

// RedrawAll(), RedrawAll1(): the first two screens, or all screens, of every
// module drawn again with element 0 showing its first image.
bool RedrawAll();
bool RedrawAll1();

// GetElementByXY(package, screen, category, x, y): the hit elements as a
// styled JSON array, "[]" for no hit, an unknown module or screen. The
// category is not used.
std::string GetElementByXY(const std::string& moduleName, int screenId, const std::string& category,
                           int x, int y);

// GetRectByElementID(package, screen, element): the rectangles of the
// element's resource on that screen as a styled JSON array, or "[]".
std::string GetRectByElementID(const std::string& moduleName, int screenId, int elementId);

// GetImageInfo(path): {"height", "is9png", "width"} of an image file as
// styled JSON; 0, false and 0 for a file that cannot be read.
std::string GetImageInfo(const std::string& path);

// SaveThemeImage(package, screen, element, resindex, path): ReplaceImage.
bool SaveThemeImage(const std::string& moduleName, int screenId, int elementId, int imageIndex,
                    const std::string& sourcePath, const ShownScreenDrawn& shownDrawn = nullptr);

// SaveDeleteImage(package, screen, element, resindex, ischecked): "0" leaves
// the icon out of packed themes, "1" takes it in again. The image index is
// not used.
bool SaveDeleteImage(const std::string& moduleName, int screenId, int elementId, int imageIndex,
                     const std::string& flag);

// SaveThemeColor(package, screen, element, color): SetElementColor, then
// SaveColors whatever its outcome; true only when both succeeded.
bool SaveThemeColor(const std::string& moduleName, int screenId, int elementId,
                    const std::string& colorText);

// For the names of the editor's history steps: the file name of the image
// SaveThemeImage(package, screen, element, resindex) writes over (an icon's
// first image), and the name of the value that keeps the colour
// SaveThemeColor changes ("lock_date_text"). "" when there is no such
// element, image or value.
std::string EditedImageName(const std::string& moduleName, int screenId, int elementId,
                            int imageIndex);
std::string EditedColorName(const std::string& moduleName, int screenId, int elementId);

// For the list task: the ResourceList and CategoryList texts of the open
// project, both read under one hold of the guard. False, texts untouched,
// when the project is not loaded.
bool BuildPageLists(std::string& resourceList, std::string& categoryList);

// For the settings editors' threads: SetElementGeometry on the process's
// project.
bool SetElementGeometry(const std::string& moduleName, int elementId, int left, int top, int width,
                        int height, int size, bool redraw);

// For the pack worker: SaveColors on the process's project.
bool SaveColors();

}  // namespace sw
