#include "engine/redraw_commands.h"

#include "engine/screen_drawing.h"
#include "engine/thumbnails.h"

namespace sw {

namespace {

bool RenderProjectThumbnails(const ThemeProject& project, const ThemeModule& module) {
    return RenderThumbnails(module, project.thumbnail_width(), project.thumbnail_height());
}

bool HasImage(const ThemeElement& element, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < element.images.size();
}

// The walk shared by RedrawAll and RedrawAll1: screenIndex is handed to
// RedrawScreens (0: the first two screens, -1: all of them).
bool RedrawModules(ThemeProject& project, int screenIndex) {
    for (const auto& module : project.modules()) {
        std::string pageName;
        if (!module->PageName(pageName) || module->screens.empty() ||
            module->screens[0].elements.empty()) {
            continue;
        }
        module->screens[0].elements[0].image_index = 0;
        // RedrawScreens logs the screen that failed.
        if (!RedrawScreens(*module, screenIndex)) {
            continue;
        }
        if (!RenderProjectThumbnails(project, *module)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool DrawThumbNail(ThemeProject& project, const std::string& moduleName, int width, int height) {
    if (!project.loaded()) {
        return false;
    }
    if (width <= 0 || height <= 0) {
        return true;
    }
    project.SetThumbnailSize(width, height);
    const ThemeModule* module = project.FindModule(moduleName);
    return module != nullptr && RenderThumbnails(*module, width, height);
}

bool Redraw(ThemeProject& project, const std::string& moduleName, int screenId, int elementId,
            int imageIndex, const ShownScreenDrawn& shownDrawn) {
    ThemeModule* module = project.FindModule(moduleName);
    if (module == nullptr) {
        return false;
    }
    ThemeElement* element = module->FindElement(screenId, elementId);
    // An index beyond the images would leave an element that can never be
    // drawn again, and with it every later preview of its screen. Texts and
    // colour blocks have no images, and no use for the index.
    if (element == nullptr || (!element->images.empty() && !HasImage(*element, imageIndex))) {
        return false;
    }
    element->image_index = imageIndex;
    return RedrawWithThumbnails(*module, -1, screenId, project.thumbnail_width(),
                                project.thumbnail_height(), shownDrawn);
}

bool RedrawAll(ThemeProject& project) {
    return RedrawModules(project, 0);
}

bool RedrawAll1(ThemeProject& project) {
    return RedrawModules(project, -1);
}

bool SetElementGeometry(ThemeProject& project, const std::string& moduleName, int elementId,
                        int left, int top, int width, int height, int size, bool redraw) {
    ThemeModule* module = project.FindModule(moduleName);
    if (module == nullptr) {
        return false;
    }
    ThemeElement* element = module->FindElement(0, elementId);
    if (element != nullptr) {
        element->rect = Rect{left, top, left + width, top + height};
        element->image_width = width;
        element->image_height = height;
        element->size = size;
    }
    bool drawn = true;
    if (redraw) {
        drawn = RedrawWithThumbnails(*module, 0, 0, project.thumbnail_width(),
                                     project.thumbnail_height());
    }
    return element != nullptr && drawn;
}

}  // namespace sw
