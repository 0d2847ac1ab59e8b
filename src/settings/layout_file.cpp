#include "settings/layout_file.h"

#include <cstring>

namespace sw::settings {

namespace {

constexpr char kLayoutRoot[] = "Root";

}  // namespace

DocumentState LayoutFile::Open(const std::string& path, const std::string& displayName) {
    return document_.Open(path, displayName, kLayoutRoot);
}

void LayoutFile::Edit(const std::function<void(TiXmlElement&)>& editor) {
    TiXmlElement* root = document_.root();
    if (root == nullptr) {
        return;
    }
    for (TiXmlElement* element = root->FirstChildElement(); element != nullptr;
         element = element->NextSiblingElement()) {
        editor(*element);
    }
}

bool IsElement(const TiXmlElement& element, const char* tag, const char* name) {
    if (element.ValueStr() != tag) {
        return false;
    }
    if (name == nullptr) {
        return true;
    }
    const char* own = element.Attribute("name");
    return own != nullptr && std::strcmp(own, name) == 0;
}

void SetIntAttribute(TiXmlElement& element, const char* attribute, int value) {
    element.SetAttribute(attribute, value);
}

void SetTextAttribute(TiXmlElement& element, const char* attribute, const std::string& text) {
    element.SetAttribute(attribute, text.c_str());
}

}  // namespace sw::settings
