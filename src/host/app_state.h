// State shared by the windows, their tasks and the engine for the whole run.
//
// - CreateInfo, the create form's eight texts: the engine keeps the record
//   (engine/create_project.h) because project creation reads it; AppState
//   reads and writes that one record.
// - PackSettings, the pack form's five texts.
// - The open project is the engine's (engine/theme_project.h); the top window
//   and the window-less reload target are the host's (Host::top_window, a
//   null Window* for the reload).
// Each record is read and written whole under a lock, so a task never sees
// half of an update.
#pragma once

#include <mutex>
#include <string>

#include "engine/create_project.h"

namespace sw::host {

// A field of either record holds at most this many bytes.
inline constexpr std::size_t kStateFieldCapacity = kCreateInfoCapacity;

using sw::CreateInfo;

struct PackSettings {
    std::string pack_name;
    std::string pack_path;
    std::string launcher_flag;
    std::string lockscreen_flag;
    std::string callscreen_flag;
};

class AppState {
  public:
    // Replaces the create record as sw::SetCreateInfo does: a field longer
    // than kStateFieldCapacity empties it, names the field in tooLong and
    // gives false.
    bool SetCreateInfo(const CreateInfo& info, std::string* tooLong = nullptr);
    CreateInfo GetCreateInfo() const;

    bool SetPackSettings(const PackSettings& settings);
    PackSettings GetPackSettings() const;

  private:
    mutable std::mutex mutex_;
    PackSettings pack_settings_;
};

// The process's state, made at first use and never reset.
AppState& GetAppState();

}  // namespace sw::host
