#include "settings/theme_meta.h"

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"
#include "core/scratch_folder.h"
#include "core/text.h"
#include "engine/json_file.h"

namespace sw::settings {

std::string MetaFilePath(const std::string& name, const std::string& path, int number) {
    if (number == 1) {
        return FormatString("%s/%s/launcher/meta.json", path.c_str(), name.c_str());
    }
    return FormatString("%s/%s/launcher/meta%d.json", path.c_str(), name.c_str(), number);
}

bool ReadMetaFile(const std::string& path, Json::Value& document) {
    std::string text;
    if (!ReadFileText(path, text) || !ParseJsonFileText(text, document) || !document.isObject()) {
        LogError("load meta.json failed.\n");
        return false;
    }
    return true;
}

std::string MetaText(const Json::Value& document, const char* member) {
    const Json::Value& value = document[member];
    if (value.isString() || value.isNumeric() || value.isBool()) {
        return Utf8ToAnsi(value.asString());
    }
    return "";
}

bool CreateFormFields(std::vector<FormField>& fields) {
    fields.clear();
    Json::Value document;
    if (!ReadMetaFile(ExePath("template/launcher/meta.json"), document)) {
        return false;
    }
    fields = {{"theme_name", MetaText(document, "resource_name")},
              {"version_name", MetaText(document, "resource_versionname")},
              {"description", MetaText(document, "resource_description")},
              {"originate", MetaText(document, "resource_originate")},
              {"author", MetaText(document, "resource_developer")},
              {"resourceid", "0"}};
    return true;
}

bool PackFormFields(const std::string& name, const std::string& path,
                    std::vector<FormField>& fields) {
    fields.clear();
    Json::Value document;
    if (!ReadMetaFile(MetaFilePath(name, path, 1), document)) {
        return false;
    }
    fields = {{"theme_name", MetaText(document, "resource_name")},
              {"version", MetaText(document, "resource_versionname")},
              {"description", MetaText(document, "resource_description")},
              {"developer", MetaText(document, "resource_developer")}};
    return true;
}

bool SaveMetaJson(const std::string& name, const std::string& path, const std::string& version,
                  const std::string& description, const std::string& developer,
                  const std::string& themeName) {
    // Pushing and packing start afresh from here; a folder that cannot be
    // emptied is no reason to stop.
    EmptyScratchFolders();
    bool written = true;
    for (int number = 1; number <= 5; ++number) {
        std::string file = MetaFilePath(name, path, number);
        Json::Value document;
        if (!ReadMetaFile(file, document)) {
            return false;
        }
        document["resource_versionname"] = AnsiToUtf8(version);
        document["resource_developer"] = AnsiToUtf8(developer);
        document["resource_description"] = AnsiToUtf8(description);
        document["resource_name"] = AnsiToUtf8(themeName);
        if (!WriteJsonFile(file, document)) {
            LogError("save meta.json failed.\n");
            written = false;
        }
    }
    return written;
}

}  // namespace sw::settings
