#include "engine/page_lists.h"

#include <json/writer.h>

#include <string_view>

#include "core/text.h"
#include "engine/element_groups.h"

namespace sw {

namespace {

constexpr const char* kOtherCategory = "其他";

// The model keeps texts in the host code page; JSON texts are UTF-8 (the
// conversion changes nothing when the host code page is UTF-8).
std::string JsonText(const std::string& text) {
    return AnsiToUtf8(text);
}

bool HasImages(const ThemeElement& element) {
    return element.tag == "icon" || element.tag == "icongroup" || element.tag == "mask";
}

std::string PageColor(PackedColor color) {
    return FormatString("#%02x%02x%02x%02x", AlphaOf(color), RedOf(color), GreenOf(color),
                        BlueOf(color));
}

// The module's key in both lists.
std::string ModuleKey(const ThemeModule& module) {
    std::string name;
    module.PageName(name);
    return JsonText(name);
}

Json::Value ModuleResources(const ThemeModule& module) {
    Json::Value categories(Json::objectValue);
    // One array is carried from category to category and emptied before
    // each: a category without listed elements is therefore sent as null
    // until some category of the module has listed one, and as [] after.
    Json::Value items;
    for (const std::string& category : module.used_categories) {
        items.clear();
        for (const ElementGroup& group : module.element_groups) {
            const ThemeElement* first = module.FindElement(group.screen_id, group.element_id);
            if (first != nullptr && first->category == category && !first->readonly) {
                items.append(ElementToJson(*first));
            }
        }
        categories[category.empty() ? std::string(kOtherCategory) : JsonText(category)] = items;
    }
    Json::Value result(Json::objectValue);
    result["category"] = categories;
    result["path"] = JsonText(module.path);
    constexpr std::string_view kVersion = "version";
    const Json::Value* version =
        module.template_attributes.find(kVersion.data(), kVersion.data() + kVersion.size());
    result["version"] =
        version != nullptr && version->isString() ? JsonText(version->asString()) : "";
    result["screen_width"] = module.context.screen_width;
    result["screen_height"] = module.context.screen_height;
    result["screen_count"] = static_cast<int>(module.screens.size());
    return result;
}

}  // namespace

Json::Value ElementToJson(const ThemeElement& element) {
    Json::Value json(Json::objectValue);
    json["mScreenID"] = element.screen_id;
    json["mElementID"] = element.element_id;
    json["mTag"] = element.tag;
    json["mCategory"] = JsonText(element.category);
    json["left"] = element.rect.left;
    json["top"] = element.rect.top;
    json["width"] = element.rect.width();
    json["height"] = element.rect.height();
    json["mReadOnly"] = element.readonly;
    json["mResIndex"] = element.image_index;
    json["mRedraw"] = element.redraw;
    if (element.tag == "text" || element.tag == "colorblock") {
        json["color"] = PageColor(element.color);
        if (element.tag == "text") {
            json["mText"] = JsonText(element.text);
            json["mSize"] = element.size;
        }
        json["mDesc"] =
            element.descriptions.empty() ? std::string() : JsonText(element.descriptions[0]);
    } else if (HasImages(element)) {
        json["mWidth"] = element.image_width;
        json["mHeight"] = element.image_height;
        json["mImgType"] = element.image_kind;
        Json::Value res(Json::arrayValue);
        Json::Value desc(Json::arrayValue);
        for (std::size_t i = 0; i < element.images.size(); ++i) {
            res.append(JsonText(element.images[i]));
            desc.append(i < element.descriptions.size() ? JsonText(element.descriptions[i])
                                                        : std::string());
        }
        json["mRes"] = res;
        json["mDesc"] = desc;
    }
    return json;
}

Json::Value BuildResourceList(const ThemeProject& project) {
    Json::Value list(Json::objectValue);
    for (const auto& module : project.modules()) {
        list[ModuleKey(*module)] = ModuleResources(*module);
    }
    return list;
}

Json::Value BuildCategoryList(const ThemeProject& project) {
    Json::Value list(Json::objectValue);
    for (const auto& module : project.modules()) {
        Json::Value categories(Json::arrayValue);
        for (const std::string& category : module->category_list) {
            categories.append(JsonText(category));
        }
        list[ModuleKey(*module)] = categories;
    }
    return list;
}

std::string StyledJson(const Json::Value& value) {
    Json::StyledWriter writer;
    return writer.write(value);
}

}  // namespace sw
