#include "host/app_state.h"

#include <utility>

#include "core/log.h"

namespace sw::host {

namespace {

// False, with an ERROR line, when a field is too long.
bool FieldsFit(const char* record,
               std::initializer_list<std::pair<const char*, const std::string*>> fields) {
    for (const auto& [name, value] : fields) {
        if (value->size() > kStateFieldCapacity) {
            LogError("%s.%s of %zu bytes refused: a field holds at most %zu\n", record, name,
                     value->size(), kStateFieldCapacity);
            return false;
        }
    }
    return true;
}

}  // namespace

bool AppState::SetCreateInfo(const CreateInfo& info) {
    if (!FieldsFit("CreateInfo", {{"prj_name", &info.prj_name},
                                  {"theme_name", &info.theme_name},
                                  {"version_name", &info.version_name},
                                  {"description", &info.description},
                                  {"originate", &info.originate},
                                  {"author", &info.author},
                                  {"theme_path", &info.theme_path},
                                  {"resourceid", &info.resourceid}})) {
        return false;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    create_info_ = info;
    return true;
}

CreateInfo AppState::GetCreateInfo() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return create_info_;
}

bool AppState::SetPackSettings(const PackSettings& settings) {
    if (!FieldsFit("PackSettings", {{"pack_name", &settings.pack_name},
                                    {"pack_path", &settings.pack_path},
                                    {"launcher_flag", &settings.launcher_flag},
                                    {"lockscreen_flag", &settings.lockscreen_flag},
                                    {"callscreen_flag", &settings.callscreen_flag}})) {
        return false;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    pack_settings_ = settings;
    return true;
}

PackSettings AppState::GetPackSettings() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return pack_settings_;
}

AppState& GetAppState() {
    static AppState state;
    return state;
}

std::string CreatedProjectFile(const CreateInfo& info) {
    return info.theme_path + "/" + info.prj_name + "/" + info.prj_name + ".wtpj";
}

}  // namespace sw::host
