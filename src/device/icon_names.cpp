#include "device/icon_names.h"

#include <tinyxml.h>

#include "core/files.h"
#include "core/log.h"
#include "core/text.h"
#include "engine/xml_file.h"

namespace sw::device {

namespace {

std::string AttributeText(const TiXmlElement& element, const char* name) {
    const char* value = element.Attribute(name);
    return value == nullptr ? std::string() : std::string(value);
}

bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string::npos;
}

}  // namespace

IconNamesRead ReadIconNames(const std::string& path, std::vector<IconName>& names) {
    names.clear();
    if (!IsFile(path)) {
        return IconNamesRead::kMissing;
    }
    TiXmlDocument document;
    if (!LoadXmlFile(document, path)) {
        LogError("can not parse template_values.xml file\n");
        return IconNamesRead::kBroken;
    }
    const TiXmlElement* root = document.RootElement();
    if (root == nullptr) {
        LogError("iconNames.xml no root node.\n");
        return IconNamesRead::kBroken;
    }
    if (root->ValueStr() != "ICONS") {
        LogError("iconNames.xml root node isn't <resources />\n");
        return IconNamesRead::kBroken;
    }
    if (root->FirstChildElement() == nullptr) {
        LogError("iconNames.xml no child nodes for <resources />\n");
        return IconNamesRead::kRead;
    }
    for (const TiXmlElement* icon = root->FirstChildElement("icon"); icon != nullptr;
         icon = icon->NextSiblingElement("icon")) {
        if (AttributeText(*icon, "type") != "Application") {
            continue;
        }
        const std::string file = AttributeText(*icon, "icon_name");
        if (!IsPlainFileName(file)) {
            LogWarn("iconNames.xml: an app with the icon name \"%s\" is passed over\n",
                    file.c_str());
            continue;
        }
        const std::string title = AttributeText(*icon, "title");
        names.push_back({title.empty() ? file : Utf8ToAnsi(title), file});
    }
    return IconNamesRead::kRead;
}

std::string IconFileList(const std::vector<IconName>& names) {
    std::string list;
    for (const IconName& name : names) {
        list += name.icon + ",";
    }
    return list;
}

std::string IconTitleList(const std::vector<IconName>& names) {
    std::string list;
    for (const IconName& name : names) {
        list += name.title + ",";
    }
    return list;
}

}  // namespace sw::device
