#include "engine/hit_testing.h"

#include "engine/element_groups.h"
#include "engine/page_lists.h"

namespace sw {

namespace {

bool Contains(const Rect& rect, int x, int y) {
    return rect.left <= x && x < rect.right && rect.top <= y && y < rect.bottom;
}

}  // namespace

bool HitTest(const ThemeModule& module, int screenId, int x, int y, Json::Value& result) {
    if (screenId < 0 || static_cast<std::size_t>(screenId) >= module.screens.size()) {
        return false;
    }
    const std::vector<ThemeElement>& elements = module.screens[screenId].elements;
    int hit = static_cast<int>(elements.size()) - 1;
    while (hit >= 0 && !(Contains(elements[hit].rect, x, y) && !elements[hit].readonly)) {
        --hit;
    }
    if (hit < 0) {
        return false;
    }
    const ThemeElement& found = elements[hit];
    Json::Value hits(Json::arrayValue);
    hits.append(ElementToJson(found));
    for (int k = static_cast<int>(elements.size()) - 1; k > hit; --k) {
        const ThemeElement& above = elements[k];
        if (above.rect == found.rect && above.category == found.category) {
            hits.append(ElementToJson(above));
        }
    }
    result = std::move(hits);
    return true;
}

bool GroupRects(const ThemeModule& module, int screenId, int elementId, Json::Value& result) {
    const ElementGroup* group = FindElementGroup(module, screenId, elementId);
    const ThemeElement* element = module.FindElement(screenId, elementId);
    if (group == nullptr || element == nullptr || element->readonly) {
        return false;
    }
    Json::Value rects(Json::arrayValue);
    for (std::size_t i = 0; i < group->screen_ids.size(); ++i) {
        if (group->screen_ids[i] != screenId) {
            continue;
        }
        // Where the member is now: a settings form may have moved it since
        // the group was recorded.
        const ThemeElement* member = module.FindElement(screenId, group->element_ids[i]);
        const Rect& r = member != nullptr ? member->rect : group->rects[i];
        Json::Value rect(Json::objectValue);
        rect["left"] = r.left;
        rect["top"] = r.top;
        rect["width"] = r.width();
        rect["height"] = r.height();
        rects.append(rect);
    }
    result = std::move(rects);
    return true;
}

}  // namespace sw
