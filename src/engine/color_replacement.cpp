#include "engine/color_replacement.h"

#include "core/log.h"
#include "core/paths.h"
#include "core/text.h"
#include "engine/element_groups.h"
#include "engine/screen_drawing.h"
#include "engine/thumbnails.h"
#include "engine/values.h"
#include "engine/xml_file.h"

namespace sw {

namespace {

constexpr PackedColor kAlphaMask = 0xFF000000u;

// Every colour edit is written into the values documents at once
// (SetElementColor), so colors.xml is saved from the values as edited. The
// element colours are not written over them again: two elements of different
// groups that share a value would otherwise write the old and the new colour
// in screen order, and the old one could undo the edit.
bool SaveModuleColors(const ThemeModule& module) {
    for (const auto& document : module.context.values_documents) {
        const std::string path = document->ValueStr();
        if (FileNameOf(path) != "colors.xml") {
            continue;
        }
        if (!SaveXmlFile(*document, path)) {
            LogError("save %s failed.\n", path.c_str());
            return false;
        }
    }
    return true;
}

// True when the digits after the "#" (or the whole text) are eight or more:
// ParseColor reads the first pair of eight as the alpha.
bool NamesAlpha(const std::string& colorText) {
    const std::size_t hash = colorText.find('#');
    const std::size_t digits =
        hash == std::string::npos ? colorText.size() : colorText.size() - hash - 1;
    return digits >= 8;
}

}  // namespace

bool SetElementColor(ThemeProject& project, const std::string& moduleName, int screenId,
                     int elementId, const std::string& colorText) {
    ThemeModule* module = project.FindModule(moduleName);
    if (module == nullptr) {
        return false;
    }
    ThemeElement* element = module->FindElement(screenId, elementId);
    if (element == nullptr) {
        return false;
    }
    const PackedColor parsed = ParseColor(colorText);
    const PackedColor color =
        NamesAlpha(colorText) ? parsed : (parsed & ~kAlphaMask) | (element->color & kAlphaMask);
    if (element->HasAttribute("color")) {
        SetValue(module->context, element->Attribute("color"), FormatColor(color));
    }
    element->color = color;
    if (const ElementGroup* group = FindElementGroup(*module, screenId, elementId)) {
        for (std::size_t i = 0; i < group->screen_ids.size(); ++i) {
            ThemeElement* member = module->FindElement(group->screen_ids[i], group->element_ids[i]);
            if (member != nullptr) {
                member->color = color;
            }
        }
    }
    return RedrawWithThumbnails(*module, -1, screenId, project.thumbnail_width(),
                                project.thumbnail_height());
}

bool SaveColors(ThemeProject& project) {
    for (const auto& module : project.modules()) {
        if (!SaveModuleColors(*module)) {
            return false;
        }
    }
    return true;
}

}  // namespace sw
