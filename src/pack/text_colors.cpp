// Layouts and values are read and written as the settings editors do; every
// other attribute and element stays as it was.
#include "pack/text_colors.h"

#include <tinyxml.h>

#include <array>
#include <vector>

#include "core/log.h"
#include "settings/layout_file.h"
#include "settings/values_file.h"

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

// The colours of uses in one colors.xml, without replacing those already
// known. An entry without text defines nothing.
template <std::size_t N>
void ReadColors(const std::string& path, const std::array<ColorUse, N>& uses, TextColors& colors) {
    if (path.empty()) {
        return;
    }
    std::vector<std::string> names;
    for (const ColorUse& use : uses) {
        names.push_back(use.value);
    }
    for (const auto& [name, text] :
         settings::ReadValues(path, "colors.xml", settings::kColorEntry, names)) {
        if (!text.empty()) {
            colors.emplace(name, text);
        }
    }
}

template <std::size_t N>
void WriteColors(PackTree& tree, const std::string& path, const char* fileName,
                 const std::array<ColorUse, N>& uses, const TextColors& colors) {
    const TreeFile* file = tree.FindFile(path);
    settings::LayoutFile layout;
    // A layout missing from the archive is reported as the file would be.
    if (!settings::IsUsable(
            layout.Open(file != nullptr && !file->bytes ? file->path : std::string(), fileName))) {
        return;
    }
    layout.Edit([&](TiXmlElement& element) {
        for (const ColorUse& use : uses) {
            if (!settings::IsElement(element, use.element)) {
                continue;
            }
            const auto color = colors.find(use.value);
            if (color == colors.end()) {
                // An empty colour would reach the phone as color="": the
                // element keeps what it had.
                LogWarn("no colour %s for %s in %s, left as it was\n", use.value, use.element,
                        path.c_str());
            } else {
                settings::SetTextAttribute(element, "color", color->second);
            }
        }
    });
    std::string text;
    if (layout.SaveText(text)) {
        tree.Put(path, std::move(text));
    }
}

}  // namespace

TextColors ReadTextColors(const std::string& launcherColors, const std::string& lockscreenColors) {
    TextColors colors;
    ReadColors(lockscreenColors, kLockscreenColors, colors);
    ReadColors(launcherColors, kLockscreenColors, colors);
    ReadColors(launcherColors, kWidgetColors, colors);
    return colors;
}

void WriteWidgetColors(PackTree& tree, const std::string& launcherDir, const TextColors& colors) {
    for (const char* folder :
         {"drawable-hdpi", "drawable-xhdpi", "drawable-xxhdpi", "drawable-xxxhdpi"}) {
        WriteColors(tree, launcherDir + "/content/res/" + folder + "/weatherconfig.xml",
                    "weatherconfig.xml", kWidgetColors, colors);
    }
}

void WriteLockscreenColors(PackTree& tree, const std::string& lockscreenDir,
                           const TextColors& colors) {
    for (const char* folder : {"xxhdpi", "xhdpi", "hdpi_720x1280", "hdpi", "xxxhdpi_1440x2560"}) {
        WriteColors(tree, lockscreenDir + "/content/res/" + folder + "/lockscreen.xml",
                    "lockscreen.xml", kLockscreenColors, colors);
    }
}

}  // namespace sw::pack
