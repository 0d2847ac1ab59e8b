#include "engine/theme_module.h"

#include <string_view>

namespace sw {

std::string ThemeElement::Attribute(const char* name) const {
    const Json::Value* value = attributes.find(name, name + std::char_traits<char>::length(name));
    return value != nullptr && value->isString() ? value->asString() : std::string();
}

bool ThemeElement::HasAttribute(const char* name) const {
    return attributes.find(name, name + std::char_traits<char>::length(name)) != nullptr;
}

bool ThemeModule::PageName(std::string& pageName) const {
    constexpr std::string_view kName = "name";
    const Json::Value* value = template_attributes.find(kName.data(), kName.data() + kName.size());
    if (value == nullptr || !value->isString()) {
        return false;
    }
    pageName = value->asString();
    return true;
}

ThemeElement* ThemeModule::FindElement(int screenId, int elementId) {
    if (screenId < 0 || static_cast<std::size_t>(screenId) >= screens.size()) {
        return nullptr;
    }
    std::vector<ThemeElement>& elements = screens[screenId].elements;
    if (elementId < 0 || static_cast<std::size_t>(elementId) >= elements.size()) {
        return nullptr;
    }
    return &elements[elementId];
}

const ThemeElement* ThemeModule::FindElement(int screenId, int elementId) const {
    return const_cast<ThemeModule*>(this)->FindElement(screenId, elementId);
}

}  // namespace sw
