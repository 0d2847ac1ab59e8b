// Layouts are edited with the engine's XML file helpers; TinyXML keeps every
// other attribute and element as it was.
#include "pack/text_colors.h"

#include <tinyxml.h>

#include <array>
#include <utility>

#include "core/log.h"
#include "engine/xml_file.h"

namespace sw::pack {

namespace {

struct ColorUse {
    const char* value;    // name in colors.xml
    const char* element;  // element of the layout
};

constexpr std::array<ColorUse, 5> kWidgetColors = {{
    {"widget_week_text", "TextWeek"},
    {"widget_date_text", "TextDate"},
    {"widget_city_name_text", "TextWeatherCity"},
    {"widget_weather_text", "TextWeatherDescription"},
    {"widget_temperature_text", "TextWeatherTemperature"},
}};

constexpr std::array<ColorUse, 4> kLockscreenColors = {{
    {"lock_date_text", "TextDateWeek"},
    {"lock_battery_text", "TextBattery"},
    {"TextOwnerInfo_text", "TextOwnerInfo"},
    {"TextSimAll_text_color", "TextSimAll"},
}};

// The root element of an XML file if it is named rootName and has children;
// otherwise the problem is logged with the file's short name and null.
TiXmlElement* LoadRoot(TiXmlDocument& document, const std::string& path, const char* fileName,
                       const char* rootName) {
    if (!LoadXmlFile(document, path)) {
        LogError("can not parse %s file\n", fileName);
        return nullptr;
    }
    TiXmlElement* root = document.RootElement();
    if (root == nullptr) {
        LogError("%s no root node.\n", fileName);
        return nullptr;
    }
    if (root->ValueStr() != rootName) {
        LogError("%s root node isn't <%s />\n", fileName, rootName);
        return nullptr;
    }
    if (root->FirstChildElement() == nullptr) {
        LogError("%s no child nodes for <%s />\n", fileName, rootName);
        return nullptr;
    }
    return root;
}

// The colours of uses found in one colors.xml (the last of a name counts),
// without replacing those already known.
template <std::size_t N>
void ReadColors(const std::string& path, const std::array<ColorUse, N>& uses, TextColors& colors) {
    if (path.empty()) {
        return;
    }
    TiXmlDocument document;
    TiXmlElement* root = LoadRoot(document, path, "colors.xml", "resources");
    if (root == nullptr) {
        return;
    }
    TextColors found;
    for (TiXmlElement* color = root->FirstChildElement("color"); color != nullptr;
         color = color->NextSiblingElement("color")) {
        const char* name = color->Attribute("name");
        const char* text = color->GetText();
        if (name == nullptr || text == nullptr) {
            continue;
        }
        for (const ColorUse& use : uses) {
            if (use.value == std::string(name)) {
                found[name] = text;
            }
        }
    }
    colors.merge(found);
}

template <std::size_t N>
void WriteColors(const std::string& path, const char* fileName, const std::array<ColorUse, N>& uses,
                 const TextColors& colors) {
    TiXmlDocument document;
    TiXmlElement* root = LoadRoot(document, path, fileName, "Root");
    if (root == nullptr) {
        return;
    }
    for (TiXmlElement* element = root->FirstChildElement(); element != nullptr;
         element = element->NextSiblingElement()) {
        for (const ColorUse& use : uses) {
            if (element->ValueStr() != use.element) {
                continue;
            }
            const auto color = colors.find(use.value);
            if (color == colors.end()) {
                // An empty colour would reach the phone as color="": the
                // element keeps what it had.
                LogWarn("no colour %s for %s in %s, left as it was\n", use.value, use.element,
                        path.c_str());
            } else {
                element->SetAttribute("color", color->second);
            }
        }
    }
    SaveXmlFile(document, path);
}

}  // namespace

TextColors ReadTextColors(const std::string& launcherColors, const std::string& lockscreenColors) {
    TextColors colors;
    ReadColors(lockscreenColors, kLockscreenColors, colors);
    ReadColors(launcherColors, kLockscreenColors, colors);
    ReadColors(launcherColors, kWidgetColors, colors);
    return colors;
}

void WriteWidgetColors(const std::string& launcherDir, const TextColors& colors) {
    for (const char* folder :
         {"drawable-hdpi", "drawable-xhdpi", "drawable-xxhdpi", "drawable-xxxhdpi"}) {
        WriteColors(launcherDir + "/content/res/" + folder + "/weatherconfig.xml",
                    "weatherconfig.xml", kWidgetColors, colors);
    }
}

void WriteLockscreenColors(const std::string& lockscreenDir, const TextColors& colors) {
    for (const char* folder : {"xxhdpi", "xhdpi", "hdpi_720x1280", "hdpi", "xxxhdpi_1440x2560"}) {
        WriteColors(lockscreenDir + "/content/res/" + folder + "/lockscreen.xml", "lockscreen.xml",
                    kLockscreenColors, colors);
    }
}

}  // namespace sw::pack
