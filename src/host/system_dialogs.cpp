#include "host/system_dialogs.h"

#include <fnmatch.h>

#include <strings.h>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <set>

#include "core/files.h"
#include "core/paths.h"
#include "core/text.h"
#include "engine/recent_colors.h"
#include "engine/theme_project.h"
#include "host/host.h"
#include "host/json_text.h"
#include "host/window.h"

namespace sw::host {

namespace {

std::mutex g_folder_mutex;
std::string g_last_folder;

void RememberFolder(const std::string& folder) {
    std::lock_guard<std::mutex> lock(g_folder_mutex);
    g_last_folder = folder;
}

// Guarded by g_folder_mutex: the canonical paths of the files chosen in a file
// dialog during this run.
std::set<std::string> g_chosen_files;

std::string CanonicalFolder(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        return "";
    }
    std::string result(resolved);
    std::free(resolved);
    return result;
}

std::vector<std::string> SplitPatterns(const std::string& text) {
    std::vector<std::string> patterns;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(';', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string pattern = Trim(text.substr(start, end - start));
        if (!pattern.empty()) {
            patterns.push_back(pattern);
        }
        start = end + 1;
    }
    return patterns;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    const int order = strcasecmp(a.c_str(), b.c_str());
    return order != 0 ? order < 0 : a < b;
}

Json::Value FiltersJson(const std::vector<FileFilter>& filters) {
    Json::Value list(Json::arrayValue);
    for (const FileFilter& filter : filters) {
        Json::Value item;
        item["description"] = filter.description;
        std::string joined;
        for (const std::string& pattern : filter.patterns) {
            joined += (joined.empty() ? "" : ";") + pattern;
        }
        item["patterns"] = joined;
        list.append(item);
    }
    return list;
}

std::string RunDialog(Host& host, Window* owner, const char* title, const char* page,
                      Json::Value parameters, int width, int height) {
    PopupOptions options;
    options.title = title;
    options.page = page;
    options.parameters = std::move(parameters);
    options.window_class = WindowClass::kDialog;
    options.width = width;
    options.height = height;
    const PopupResult result = host.OpenPopup(owner, std::move(options));
    return result.result == "ok" ? Trim(result.value) : "";
}

}  // namespace

std::vector<FileFilter> ParseFileFilter(const std::string& filter) {
    std::vector<std::string> items;
    SplitList(filter.empty() ? std::string("All Files|*.*||") : filter, items);
    std::vector<FileFilter> filters;
    for (std::size_t i = 0; i + 1 < items.size(); i += 2) {
        FileFilter entry;
        entry.description = items[i];
        entry.patterns = SplitPatterns(items[i + 1]);
        if (!entry.patterns.empty()) {
            filters.push_back(std::move(entry));
        }
    }
    if (filters.empty()) {
        filters.push_back({"All Files", {"*.*"}});
    }
    return filters;
}

bool MatchesPatterns(const std::string& name, const std::vector<std::string>& patterns) {
    for (const std::string& pattern : patterns) {
        if (pattern == "*.*" || pattern == "*") {
            return true;
        }
        if (fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0) {
            return true;
        }
    }
    return false;
}

namespace {

// The program's own folders beside the designer's: a project's history
// (NAME.history beside NAME.wtpj) and the scratch folders the program marks
// (tmp beside .tmp.skinwright).
bool IsProgramFolder(const std::string& parent, const std::string& name) {
    constexpr std::string_view kHistory = ".history";
    if (name.size() > kHistory.size() &&
        name.compare(name.size() - kHistory.size(), kHistory.size(), kHistory) == 0 &&
        IsFile(parent + "/" + name.substr(0, name.size() - kHistory.size()) + ".wtpj")) {
        return true;
    }
    return PathExists(parent + "/." + name + ".skinwright");
}

}  // namespace

std::string ListFolderJson(const std::string& folder, const std::string& patterns) {
    Json::Value listing;
    const std::string path = Trim(folder);
    const std::string canonical = path.empty() || path[0] != '/' ? "" : CanonicalFolder(path);
    std::vector<std::string> names;
    if (canonical.empty() || !IsFolder(canonical) || !ListFolder(canonical, names)) {
        listing["error"] = "not a folder: " + path;
        return CompactJson(listing);
    }
    const std::vector<std::string> wanted = SplitPatterns(patterns);
    std::vector<std::string> folders;
    std::vector<std::string> files;
    for (const std::string& name : names) {
        if (name.empty() || name[0] == '.') {
            continue;
        }
        const std::string entry = canonical == "/" ? "/" + name : canonical + "/" + name;
        if (IsFolder(entry)) {
            if (!IsProgramFolder(canonical == "/" ? "" : canonical, name)) {
                folders.push_back(name);
            }
        } else if (!wanted.empty() && MatchesPatterns(name, wanted)) {
            files.push_back(name);
        }
    }
    std::sort(folders.begin(), folders.end(), LessIgnoringCase);
    std::sort(files.begin(), files.end(), LessIgnoringCase);
    listing["path"] = canonical;
    listing["parent"] =
        canonical == "/" ? "" : (FolderOf(canonical).empty() ? "/" : FolderOf(canonical));
    listing["folders"] = Json::Value(Json::arrayValue);
    for (const std::string& name : folders) {
        listing["folders"].append(name);
    }
    listing["files"] = Json::Value(Json::arrayValue);
    for (const std::string& name : files) {
        listing["files"].append(name);
    }
    return CompactJson(listing);
}

bool WasChosenInFileDialog(const std::string& path) {
    const std::string canonical = CanonicalFolder(path);
    std::lock_guard<std::mutex> lock(g_folder_mutex);
    return !canonical.empty() && g_chosen_files.count(canonical) != 0;
}

std::string DialogStartFolder() {
    {
        std::lock_guard<std::mutex> lock(g_folder_mutex);
        if (!g_last_folder.empty() && IsFolder(g_last_folder)) {
            return g_last_folder;
        }
    }
    const std::string work = WorkFolder();
    if (IsFolder(work)) {
        return work;
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && IsFolder(home)) {
        return home;
    }
    return "/";
}

std::string ChooseFileToOpen(Host& host, Window* owner, const std::string& filter) {
    Json::Value parameters;
    parameters["kind"] = "file";
    parameters["folder"] = DialogStartFolder();
    parameters["filters"] = FiltersJson(ParseFileFilter(filter));
    return RunDialog(host, owner, "打开", "/shell/file-dialog.html", std::move(parameters), 640,
                     480);
}

std::string BrowseForFolder(Host& host, Window* owner) {
    Json::Value parameters;
    parameters["kind"] = "folder";
    parameters["folder"] = DialogStartFolder();
    parameters["prompt"] = "请选择：";
    return RunDialog(host, owner, "浏览文件夹", "/shell/folder-dialog.html", std::move(parameters),
                     480, 460);
}

namespace {

// The open project's recent colours, newest first; none without a project.
Json::Value RecentColorsJson() {
    Json::Value list(Json::arrayValue);
    const std::string project = OpenProjectFolder();
    if (!project.empty()) {
        for (const std::string& color : ReadRecentColors(project)) {
            list.append(color);
        }
    }
    return list;
}

}  // namespace

std::string ShowColorDialog(Host& host, Window* owner) {
    Json::Value parameters;
    parameters["kind"] = "color";
    parameters["color"] = "ffffff";
    parameters["recent"] = RecentColorsJson();
    return RunDialog(host, owner, "颜色", "/shell/color-dialog.html", std::move(parameters), 460,
                     400);
}

bool EndDialogWith(Window& dialog, const std::string& value) {
    const Json::Value parameters = dialog.popup_info().parameters;
    const std::string kind = parameters.isObject() ? parameters.get("kind", "").asString() : "";
    std::string chosen = Trim(value);
    if (kind == "file") {
        if (chosen.empty() || chosen[0] != '/' || !IsFile(chosen)) {
            return false;
        }
        RememberFolder(FolderOf(chosen).empty() ? "/" : FolderOf(chosen));
        dialog.host().image_files().AllowFile(chosen);
        const std::string canonical = CanonicalFolder(chosen);
        std::lock_guard<std::mutex> lock(g_folder_mutex);
        g_chosen_files.insert(canonical);
    } else if (kind == "folder") {
        while (chosen.size() > 1 && chosen.back() == '/') {
            chosen.pop_back();
        }
        if (chosen.empty() || chosen[0] != '/' || !IsFolder(chosen)) {
            return false;
        }
        RememberFolder(chosen);
    } else if (kind == "color") {
        if (!chosen.empty() && chosen[0] == '#') {
            chosen.erase(0, 1);
        }
        if (chosen.size() != 6 ||
            chosen.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            return false;
        }
        for (char& c : chosen) {
            if (c >= 'A' && c <= 'F') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
    } else {
        return false;
    }
    if (kind == "color") {
        AddRecentColor(OpenProjectFolder(), chosen);
    }
    dialog.End("ok", chosen);
    return true;
}

}  // namespace sw::host
