#include "check/module_set_check.h"

#include <json/value.h>

#include "core/files.h"
#include "core/text.h"
#include "engine/json_file.h"

namespace sw::check {

namespace {

// A pack stops without a module it is asked for. The launcher holds the
// theme's descriptions and every pack needs it; a theme without a lock screen
// is no theme for the phone. A theme may leave the call screen out, and only
// a pack that asks for it stops.
struct PackedModule {
    const char* folder;  // in the project
    const char* packed;  // in "resource_contents"
    Level missing;
};

constexpr PackedModule kModules[] = {
    {"launcher", "launcher", Level::kError},
    {"lockscreen", "lockscreen", Level::kError},
    {"screencall", "callscreen", Level::kWarn},
};

constexpr const char* kWeatherLayouts[] = {"weatherconfig.xml", "weatherconfig1.xml",
                                           "weatherconfig2.xml", "weatherconfig3.xml"};

bool IsModuleFolder(const std::string& folder) {
    return IsFolder(folder) && IsFile(folder + "/template.xml");
}

std::string ListText(const std::vector<std::string>& names) {
    std::string text = "[";
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "\"" : ", \"") + names[i] + "\"";
    }
    return text + "]";
}

void CheckContents(const std::string& projectDir, const std::vector<std::string>& present,
                   Findings& findings) {
    std::string text;
    Json::Value document;
    if (!ReadFileText(projectDir + "/launcher/meta2.json", text, projectDir) ||
        !ParseJsonFileText(text, document) || !document.isObject()) {
        return;
    }
    const Json::Value& contents = document["resource_contents"];
    std::vector<std::string> listed;
    bool readable = contents.isArray();
    for (Json::ArrayIndex i = 0; readable && i < contents.size(); ++i) {
        readable = contents[i].isString();
        if (readable) {
            listed.push_back(contents[i].asString());
        }
    }
    if (!readable || listed != present) {
        findings.push_back(
            {Level::kError, "launcher", "meta2.json",
             "resource_contents应为" + ListText(present) + "，与项目中的模块文件夹一致", "", -1,
             -1});
    }
}

}  // namespace

void CheckModuleSet(const std::string& projectDir, Findings& findings) {
    std::vector<std::string> present;
    for (const PackedModule& module : kModules) {
        if (IsModuleFolder(projectDir + "/" + module.folder)) {
            present.push_back(module.packed);
        } else {
            const char* format = module.missing == Level::kError
                                     ? "缺少模块文件夹%s（含template.xml），无法打包"
                                     : "缺少模块文件夹%s（含template.xml），打包时不能选择这个模块";
            findings.push_back({module.missing, module.folder, "",
                                FormatString(format, module.folder), "", -1, -1});
        }
    }
    const std::string launcher = projectDir + "/launcher";
    if (IsModuleFolder(launcher)) {
        for (const char* layout : kWeatherLayouts) {
            const std::string file = std::string("content/res/xml/") + layout;
            if (!IsFile(launcher + "/" + file)) {
                findings.push_back(
                    {Level::kError, "launcher", file, "缺少天气挂件布局文件", "", -1, -1});
            }
        }
    }
    CheckContents(projectDir, present, findings);
}

}  // namespace sw::check
