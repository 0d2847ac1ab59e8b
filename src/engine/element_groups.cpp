#include "engine/element_groups.h"

#include <algorithm>

namespace sw {

namespace {

bool Accepts(const ThemeElement& founder, const ThemeElement& element) {
    if (founder.category != element.category || founder.tag != element.tag) {
        return false;
    }
    const char* key = nullptr;
    if (founder.tag == "icon" || founder.tag == "icongroup" || founder.tag == "mask") {
        key = "res";
    } else if (founder.tag == "text" || founder.tag == "colorblock") {
        key = "color";
    } else {
        return false;
    }
    return founder.HasAttribute(key) && element.HasAttribute(key) &&
           founder.Attribute(key) == element.Attribute(key);
}

void AddMember(ElementGroup& group, const ThemeElement& element) {
    group.rects.push_back(element.rect);
    group.screen_ids.push_back(element.screen_id);
    group.element_ids.push_back(element.element_id);
}

}  // namespace

void BuildElementGroups(ThemeModule& module) {
    module.element_groups.clear();
    for (const ThemePackage& screen : module.screens) {
        for (const ThemeElement& element : screen.elements) {
            ElementGroup* joined = nullptr;
            for (ElementGroup& group : module.element_groups) {
                const ThemeElement* founder = module.FindElement(group.screen_id, group.element_id);
                if (founder != nullptr && Accepts(*founder, element)) {
                    joined = &group;
                    break;
                }
            }
            if (joined == nullptr) {
                ElementGroup group;
                group.screen_id = element.screen_id;
                group.element_id = element.element_id;
                module.element_groups.push_back(std::move(group));
                joined = &module.element_groups.back();
            }
            AddMember(*joined, element);
        }
    }
}

void BuildUsedCategories(ThemeModule& module) {
    module.used_categories.clear();
    for (const ElementGroup& group : module.element_groups) {
        const ThemeElement* founder = module.FindElement(group.screen_id, group.element_id);
        if (founder == nullptr) {
            continue;
        }
        auto& used = module.used_categories;
        if (std::find(used.begin(), used.end(), founder->category) == used.end()) {
            used.push_back(founder->category);
        }
    }
}

const ElementGroup* FindElementGroup(const ThemeModule& module, int screenId, int elementId) {
    for (const ElementGroup& group : module.element_groups) {
        for (std::size_t i = 0; i < group.screen_ids.size(); ++i) {
            if (group.screen_ids[i] == screenId && group.element_ids[i] == elementId) {
                return &group;
            }
        }
    }
    return nullptr;
}

}  // namespace sw
