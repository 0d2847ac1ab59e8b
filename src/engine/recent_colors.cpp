#include "engine/recent_colors.h"

#include <json/value.h>

#include <algorithm>

#include "core/files.h"
#include "core/log.h"
#include "engine/edit_history.h"
#include "engine/json_file.h"

namespace sw {

namespace {

// The colour as kept: six lower-case hex digits without "#" and without an
// alpha; "" for no colour.
std::string NormalColor(std::string text) {
    if (!text.empty() && text[0] == '#') {
        text.erase(0, 1);
    }
    if (text.size() != 6 && text.size() != 8) {
        return {};
    }
    if (text.size() == 8) {
        text.erase(0, 2);
    }
    for (char& c : text) {
        if (c >= 'A' && c <= 'F') {
            c = static_cast<char>(c - 'A' + 'a');
        } else if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return {};
        }
    }
    return text;
}

}  // namespace

std::string RecentColorsFile(const std::string& projectDir) {
    return HistoryFolderOf(projectDir) + "/recent-colors.json";
}

std::vector<std::string> ReadRecentColors(const std::string& projectDir) {
    const std::string path = RecentColorsFile(projectDir);
    std::vector<std::string> colors;
    if (!IsFile(path)) {
        return colors;
    }
    std::string text;
    Json::Value list;
    if (!ReadFileText(path, text) || !ParseJsonFileText(text, list, false) || !list.isArray()) {
        LogWarn("recent colours: %s is damaged, the list starts empty\n", path.c_str());
        return colors;
    }
    for (const Json::Value& entry : list) {
        const std::string color = entry.isString() ? NormalColor(entry.asString()) : std::string();
        if (color.empty()) {
            LogWarn("recent colours: %s holds an entry that is no colour, left out\n",
                    path.c_str());
            continue;
        }
        if (std::find(colors.begin(), colors.end(), color) == colors.end() &&
            colors.size() < kRecentColors) {
            colors.push_back(color);
        }
    }
    return colors;
}

bool AddRecentColor(const std::string& projectDir, const std::string& color) {
    const std::string added = NormalColor(color);
    if (added.empty() || projectDir.empty()) {
        return false;
    }
    std::vector<std::string> colors = ReadRecentColors(projectDir);
    colors.erase(std::remove(colors.begin(), colors.end(), added), colors.end());
    colors.insert(colors.begin(), added);
    if (colors.size() > kRecentColors) {
        colors.resize(kRecentColors);
    }
    Json::Value list(Json::arrayValue);
    for (const std::string& kept : colors) {
        list.append(kept);
    }
    MakeFolderPath(HistoryFolderOf(projectDir));
    return WriteJsonFile(RecentColorsFile(projectDir), list);
}

}  // namespace sw
