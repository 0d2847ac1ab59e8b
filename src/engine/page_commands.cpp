#include "engine/page_commands.h"

#include "core/paths.h"
#include "engine/color_replacement.h"
#include "engine/hit_testing.h"
#include "engine/image_replacement.h"
#include "engine/nine_patch.h"
#include "engine/page_lists.h"
#include "engine/redraw_commands.h"
#include "engine/theme_project.h"

namespace sw {

namespace {

constexpr const char* kEmptyAnswer = "[]";

const ThemeElement* FindElementOf(const ThemeProject& project, const std::string& moduleName,
                                  int screenId, int elementId) {
    const ThemeModule* module = project.FindModule(moduleName);
    return module != nullptr ? module->FindElement(screenId, elementId) : nullptr;
}

}  // namespace

bool DrawThumbNail(const std::string& moduleName, int width, int height) {
    return DrawThumbNail(*WriteProject(), moduleName, width, height);
}

bool Redraw(const std::string& moduleName, int screenId, int elementId, int imageIndex,
            const ShownScreenDrawn& shownDrawn) {
    return Redraw(*WriteProject(), moduleName, screenId, elementId, imageIndex, shownDrawn);
}

bool RedrawAll() {
    return RedrawAll(*WriteProject());
}

bool RedrawAll1() {
    return RedrawAll1(*WriteProject());
}

std::string GetElementByXY(const std::string& moduleName, int screenId,
                           const std::string& /*category*/, int x, int y) {
    Json::Value hits;
    {
        const ProjectReader project = ReadProject();
        const ThemeModule* module = project->FindModule(moduleName);
        if (module == nullptr || !HitTest(*module, screenId, x, y, hits)) {
            return kEmptyAnswer;
        }
    }
    return StyledJson(hits);
}

std::string GetRectByElementID(const std::string& moduleName, int screenId, int elementId) {
    Json::Value rects;
    {
        const ProjectReader project = ReadProject();
        const ThemeModule* module = project->FindModule(moduleName);
        if (module == nullptr || !GroupRects(*module, screenId, elementId, rects)) {
            return kEmptyAnswer;
        }
    }
    return StyledJson(rects);
}

std::string GetImageInfo(const std::string& path) {
    NinePatchImage image;
    const bool loaded = image.Load(path);
    Json::Value info(Json::objectValue);
    info["width"] = loaded ? image.width() : 0;
    info["height"] = loaded ? image.height() : 0;
    info["is9png"] = loaded && image.IsNinePatch();
    return StyledJson(info);
}

bool SaveThemeImage(const std::string& moduleName, int screenId, int elementId, int imageIndex,
                    const std::string& sourcePath, const ShownScreenDrawn& shownDrawn) {
    return ReplaceImage(*WriteProject(), moduleName, screenId, elementId, imageIndex, sourcePath,
                        shownDrawn);
}

bool SaveDeleteImage(const std::string& moduleName, int screenId, int elementId, int /*imageIndex*/,
                     const std::string& flag) {
    return SaveDeleteImage(*ReadProject(), moduleName, screenId, elementId, flag);
}

bool SaveThemeColor(const std::string& moduleName, int screenId, int elementId,
                    const std::string& colorText) {
    const ProjectWriter project = WriteProject();
    const bool changed = SetElementColor(*project, moduleName, screenId, elementId, colorText);
    // A colour that did not reach colors.xml is no success: it would be lost
    // with the next open.
    const bool saved = SaveColors(*project);
    return changed && saved;
}

std::string EditedImageName(const std::string& moduleName, int screenId, int elementId,
                            int imageIndex) {
    const ProjectReader project = ReadProject();
    const ThemeElement* element = FindElementOf(*project, moduleName, screenId, elementId);
    if (element == nullptr || element->images.empty()) {
        return "";
    }
    if (element->tag == "icon") {
        return FileNameOf(element->images.front());
    }
    if (imageIndex < 0 || static_cast<std::size_t>(imageIndex) >= element->images.size()) {
        return "";
    }
    return FileNameOf(element->images[static_cast<std::size_t>(imageIndex)]);
}

std::string EditedColorName(const std::string& moduleName, int screenId, int elementId) {
    const ProjectReader project = ReadProject();
    const ThemeElement* element = FindElementOf(*project, moduleName, screenId, elementId);
    return element != nullptr ? element->Attribute("color") : "";
}

bool BuildPageLists(std::string& resourceList, std::string& categoryList) {
    Json::Value resources;
    Json::Value categories;
    {
        const ProjectReader project = ReadProject();
        if (!project->loaded()) {
            return false;
        }
        resources = BuildResourceList(*project);
        categories = BuildCategoryList(*project);
    }
    resourceList = StyledJson(resources);
    categoryList = StyledJson(categories);
    return true;
}

bool SetElementGeometry(const std::string& moduleName, int elementId, int left, int top, int width,
                        int height, int size, bool redraw) {
    return SetElementGeometry(*WriteProject(), moduleName, elementId, left, top, width, height,
                              size, redraw);
}

bool SaveColors() {
    return SaveColors(*WriteProject());
}

}  // namespace sw
