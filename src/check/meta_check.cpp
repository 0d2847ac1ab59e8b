#include "check/meta_check.h"

#include "core/files.h"
#include "core/paths.h"
#include "core/text.h"
#include "engine/json_file.h"

namespace sw::check {

namespace {

struct DescribedField {
    const char* member;
    const char* what;
};

// The fields the phone's theme list shows.
constexpr DescribedField kFields[] = {
    {"resource_name", "主题名称"},
    {"resource_versionname", "版本"},
    {"resource_developer", "作者"},
};

bool IsEmptyText(const Json::Value& value) {
    if (value.isNull()) {
        return true;
    }
    if (value.isString()) {
        return Trim(value.asString()).empty();
    }
    return value.isArray() || value.isObject();
}

}  // namespace

void CheckDescriptionFiles(const std::string& launcherPath, const std::string& moduleName,
                           Findings& findings) {
    for (int number = 1; number <= 5; ++number) {
        const std::string fileName =
            number == 1 ? std::string("meta.json") : FormatString("meta%d.json", number);
        auto add = [&](Level level, const std::string& message) {
            findings.push_back({level, moduleName, fileName, message, "", -1, -1});
        };
        std::string text;
        if (!ReadFileText(launcherPath + "/" + fileName, text, FolderOf(launcherPath))) {
            add(Level::kError, "描述文件缺失或无法读取");
            continue;
        }
        Json::Value document;
        if (!ParseJsonFileText(text, document, false)) {
            add(Level::kError, "描述文件不是有效的JSON");
            continue;
        }
        if (!document.isObject()) {
            add(Level::kError, "描述文件的内容须是一个JSON对象（{ ... }）");
            continue;
        }
        for (const DescribedField& field : kFields) {
            if (IsEmptyText(document[field.member])) {
                add(Level::kWarn, std::string(field.what) + "为空（" + field.member + "）");
            }
        }
    }
}

}  // namespace sw::check
