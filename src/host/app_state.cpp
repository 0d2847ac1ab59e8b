#include "host/app_state.h"

#include <utility>

#include "core/log.h"

namespace sw::host {

bool AppState::SetCreateInfo(const CreateInfo& info, std::string* tooLong) {
    return sw::SetCreateInfo(info, tooLong);
}

CreateInfo AppState::GetCreateInfo() const {
    return sw::GetCreateInfo();
}

bool AppState::SetPackSettings(const PackSettings& settings) {
    const std::pair<const char*, const std::string*> fields[] = {
        {"pack_name", &settings.pack_name},
        {"pack_path", &settings.pack_path},
        {"launcher_flag", &settings.launcher_flag},
        {"lockscreen_flag", &settings.lockscreen_flag},
        {"callscreen_flag", &settings.callscreen_flag},
    };
    for (const auto& [name, value] : fields) {
        if (value->size() > kStateFieldCapacity) {
            LogError("PackSettings.%s of %zu bytes refused: a field holds at most %zu\n", name,
                     value->size(), kStateFieldCapacity);
            return false;
        }
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

}  // namespace sw::host
