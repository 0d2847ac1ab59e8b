#include "engine/create_project.h"

#include <json/value.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <random>

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"
#include "core/text.h"
#include "engine/edit_history.h"
#include "engine/json_file.h"

namespace sw {

namespace {

std::mutex& InfoMutex() {
    static std::mutex mutex;
    return mutex;
}

CreateInfo& Info() {
    static CreateInfo info;
    return info;
}

// The C atoi rule (leading blanks, a sign, digits; 0 without digits), with a
// number beyond the int range held at its end instead of overflowing.
int AtoiText(const std::string& text) {
    long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

int ResourceId(const std::string& text) {
    if (text != "0") {
        return AtoiText(text);
    }
    std::minstd_rand random(static_cast<std::minstd_rand::result_type>(
        std::chrono::system_clock::now().time_since_epoch().count()));
    return 1000001 + static_cast<int>(random() % 100000);
}

// A project name is one folder name: it may not climb out of the parent
// folder or reach into other folders.
bool IsFolderName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

// Reads a description file; a file that cannot be read, does not parse or
// whose top level is not an object fails.
bool ReadMeta(const std::string& path, Json::Value& document) {
    std::string text;
    if (!ReadFileText(path, text)) {
        return false;
    }
    return ParseJsonFileText(text, document) && document.isObject();
}

struct MetaStep {
    const char* file;
    const char* category;  // nullptr: not touched
    bool mustRead;         // a failed read ends the creation
    bool mustWrite;        // a failed write ends the creation
    const char* saveFailure;
};

// The order in which the description files are stamped.
const MetaStep kMetaSteps[] = {
    {"meta.json", nullptr, true, true, "save meta.json failed.\n"},
    {"meta2.json", "themesuite", true, true, "save meta.json2 failed.\n"},
    {"meta4.json", "themesuite", true, true, "save meta.json4 failed.\n"},
    {"meta3.json", "lockscreen", false, false, "save meta.json3 failed.\n"},
    {"meta5.json", "callscreen", false, false, "save meta.json5 failed.\n"},
};

bool StampMeta(const std::string& projectDir, const CreateInfo& info, const MetaStep& step,
               int resourceId) {
    std::string path = FormatString("%s/launcher/%s", projectDir.c_str(), step.file);
    Json::Value document;
    if (!ReadMeta(path, document)) {
        LogError("load %s failed.\n", step.file);
        if (step.mustRead) {
            return false;
        }
        document = Json::Value(Json::objectValue);
    }
    auto setText = [&](const char* member, const std::string& text) {
        if (!text.empty()) {
            document[member] = AnsiToUtf8(text);
        }
    };
    setText("resource_name", info.theme_name);
    setText("resource_versionname", info.version_name);
    setText("resource_description", info.description);
    setText("resource_originate", info.originate);
    setText("resource_developer", info.author);
    setText("resource_designer", info.author);
    if (step.category != nullptr) {
        document["resource_category"] = step.category;
    }
    document["resource_version"] = 1;
    document["resource_id"] = resourceId;
    if (!WriteJsonFile(path, document)) {
        LogError("%s", step.saveFailure);
        return !step.mustWrite;
    }
    return true;
}

}  // namespace

bool SetCreateInfo(const CreateInfo& info, std::string* tooLong) {
    const std::pair<const char*, const std::string*> fields[] = {
        {"prj_name", &info.prj_name},         {"theme_name", &info.theme_name},
        {"version_name", &info.version_name}, {"description", &info.description},
        {"originate", &info.originate},       {"author", &info.author},
        {"theme_path", &info.theme_path},     {"resourceid", &info.resourceid},
    };
    for (const auto& [name, text] : fields) {
        if (text->size() > kCreateInfoCapacity) {
            LogError("create info refused: %s of %zu bytes is longer than %zu bytes\n", name,
                     text->size(), kCreateInfoCapacity);
            if (tooLong != nullptr) {
                *tooLong = name;
            }
            std::lock_guard<std::mutex> lock(InfoMutex());
            Info() = CreateInfo();
            return false;
        }
    }
    std::lock_guard<std::mutex> lock(InfoMutex());
    Info() = info;
    return true;
}

CreateInfo GetCreateInfo() {
    std::lock_guard<std::mutex> lock(InfoMutex());
    return Info();
}

std::string CreatedProjectPath(const CreateInfo& info) {
    return FormatString("%s/%s/%s.wtpj", info.theme_path.c_str(), info.prj_name.c_str(),
                        info.prj_name.c_str());
}

bool CreateProject() {
    CreateInfo info = GetCreateInfo();
    if (!IsFolderName(info.prj_name) || info.theme_path.empty()) {
        LogError("can not create theme: invalid project name or folder.\n");
        return false;
    }
    std::string templateDir = ExePath("template");
    std::string projectDir = FormatString("%s/%s/%s", info.theme_path.c_str(),
                                          info.prj_name.c_str(), info.prj_name.c_str());
    if (!IsFolder(templateDir) || !CopyPath(templateDir, projectDir)) {
        LogError("can not create theme: fail to copy template.\n");
        return false;
    }
    // A project made afresh where another was starts without its history.
    if (PathExists(HistoryFolderOf(projectDir))) {
        DeletePath(HistoryFolderOf(projectDir));
    }

    Json::Value project(Json::objectValue);
    project["name"] = info.prj_name;
    project["dpi"] = "xxhdpi";
    project["density"] = 320;
    if (!WriteJsonFile(CreatedProjectPath(info), project)) {
        LogError("can not create theme: fail to crate .wtpj file\n");
        return false;
    }

    int resourceId = ResourceId(info.resourceid);
    for (const MetaStep& step : kMetaSteps) {
        if (!StampMeta(projectDir, info, step, resourceId)) {
            return false;
        }
    }
    return true;
}

}  // namespace sw
