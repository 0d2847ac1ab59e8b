// State shared by the windows, their tasks and the engine for the whole run:
// the texts of the create form (CreateInfo) and of the pack form
// (PackSettings). Each record is read and written whole, under a lock, so a
// task never sees half of an update. The open project is the engine's
// (engine/theme_project.h); the top window is the host's.
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace sw::host {

// A field of either record holds at most this many bytes.
inline constexpr std::size_t kStateFieldCapacity = 511;

struct CreateInfo {
    std::string prj_name;
    std::string theme_name;
    std::string version_name;
    std::string description;
    std::string originate;
    std::string author;
    std::string theme_path;
    std::string resourceid;
};

struct PackSettings {
    std::string pack_name;
    std::string pack_path;
    std::string launcher_flag;
    std::string lockscreen_flag;
    std::string callscreen_flag;
};

class AppState {
  public:
    // Replaces the record. A field longer than kStateFieldCapacity refuses
    // the whole update: an ERROR line names the field, the old record stays
    // and the result is false.
    bool SetCreateInfo(const CreateInfo& info);
    CreateInfo GetCreateInfo() const;

    bool SetPackSettings(const PackSettings& settings);
    PackSettings GetPackSettings() const;

  private:
    mutable std::mutex mutex_;
    CreateInfo create_info_;
    PackSettings pack_settings_;
};

// The process's state, made at first use and never reset.
AppState& GetAppState();

// The path of the project file that CreateInfo describes once the project
// was created: theme_path/prj_name/prj_name.wtpj.
std::string CreatedProjectFile(const CreateInfo& info);

}  // namespace sw::host
