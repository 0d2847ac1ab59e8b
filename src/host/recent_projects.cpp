#include "host/recent_projects.h"

#include <json/value.h>
#include <sys/stat.h>

#include <chrono>
#include <mutex>

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"
#include "engine/json_file.h"
#include "host/json_text.h"

namespace sw::host {

namespace {

// Reads and writes of the list do not overlap.
std::mutex& ListMutex() {
    static std::mutex mutex;
    return mutex;
}

bool UsablePath(const std::string& path) {
    return !path.empty() && path.front() == '/' && path.size() <= kPathCapacity &&
           path.find('\0') == std::string::npos;
}

std::vector<RecentProject> ReadListLocked() {
    std::vector<RecentProject> list;
    const std::string file = RecentProjectsFile();
    struct stat status {};
    if (file.empty() || ::stat(file.c_str(), &status) != 0) {
        return list;
    }
    if (!S_ISREG(status.st_mode) ||
        static_cast<std::size_t>(status.st_size) > kRecentProjectsFileBytes) {
        LogWarn("the list of recent projects %s is not a small file; it is not read\n",
                file.c_str());
        return list;
    }
    std::string text;
    Json::Value root;
    if (!ReadFileText(file, text) || text.size() > kRecentProjectsFileBytes ||
        !ParseJsonFileText(text, root, false) || !root.isObject() || !root["projects"].isArray()) {
        LogWarn("the list of recent projects %s cannot be read; it starts again\n", file.c_str());
        return list;
    }
    for (const Json::Value& entry : root["projects"]) {
        if (list.size() == kRecentProjectsKept) {
            break;
        }
        if (!entry.isObject() || !entry["path"].isString() || !entry["opened"].isInt64()) {
            continue;
        }
        RecentProject project{entry["path"].asString(), entry["opened"].asInt64()};
        if (UsablePath(project.path)) {
            list.push_back(std::move(project));
        }
    }
    return list;
}

bool WriteListLocked(const std::vector<RecentProject>& list) {
    Json::Value root(Json::objectValue);
    Json::Value& projects = root["projects"] = Json::Value(Json::arrayValue);
    for (const RecentProject& project : list) {
        Json::Value entry(Json::objectValue);
        entry["path"] = project.path;
        entry["opened"] = Json::Int64(project.opened);
        projects.append(entry);
    }
    const std::string file = RecentProjectsFile();
    if (file.empty() || !MakeFolderPath(FolderOf(file)) || !WriteJsonFile(file, root)) {
        LogError("cannot write the list of recent projects %s\n", file.c_str());
        return false;
    }
    return true;
}

void Drop(std::vector<RecentProject>& list, const std::string& path) {
    std::erase_if(list, [&path](const RecentProject& p) { return p.path == path; });
}

}  // namespace

std::string RecentProjectsFile() {
    return HomePath("recent-projects.json");
}

std::vector<RecentProject> ReadRecentProjects() {
    std::lock_guard<std::mutex> lock(ListMutex());
    return ReadListLocked();
}

bool RememberRecentProject(const std::string& path) {
    if (!UsablePath(path)) {
        return false;
    }
    std::lock_guard<std::mutex> lock(ListMutex());
    std::vector<RecentProject> list = ReadListLocked();
    Drop(list, path);
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    list.insert(list.begin(),
                {path, std::chrono::duration_cast<std::chrono::seconds>(now).count()});
    if (list.size() > kRecentProjectsKept) {
        list.resize(kRecentProjectsKept);
    }
    return WriteListLocked(list);
}

bool ForgetRecentProject(const std::string& path) {
    std::lock_guard<std::mutex> lock(ListMutex());
    std::vector<RecentProject> list = ReadListLocked();
    Drop(list, path);
    return WriteListLocked(list);
}

std::string RecentProjectsJson() {
    Json::Value answer(Json::arrayValue);
    for (const RecentProject& project : ReadRecentProjects()) {
        std::string name = FileNameOf(project.path);
        if (name.size() > 5 && name.ends_with(".wtpj")) {
            name.resize(name.size() - 5);
        }
        Json::Value entry(Json::objectValue);
        entry["path"] = project.path;
        entry["name"] = name;
        entry["folder"] = FolderOf(project.path);
        entry["opened"] = Json::Int64(project.opened);
        entry["missing"] = !IsFile(project.path);
        answer.append(entry);
    }
    return CompactJson(answer);
}

}  // namespace sw::host
