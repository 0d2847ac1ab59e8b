// A module folder like the launcher's first screen, built in a temporary
// folder for the benchmarks: a 1080 x 1920 JPEG wallpaper, ten PNG icons with
// alpha, a nine-patch dock, three texts and a colour block.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/theme_module.h"

namespace sw::bench {

class ScreenFixture {
  public:
    // Writes the module and loads it; ok() tells whether both worked.
    ScreenFixture();
    ScreenFixture(const ScreenFixture&) = delete;
    ScreenFixture& operator=(const ScreenFixture&) = delete;
    ~ScreenFixture();

    bool ok() const { return ok_; }
    const std::string& folder() const { return folder_; }
    ThemeModule& module() { return *module_; }
    const ThemePackage& screen() const { return module_->screens[0]; }
    // Every image file the screen shows, each once.
    const std::vector<std::string>& image_files() const { return image_files_; }

  private:
    bool Build();

    std::string folder_;
    std::unique_ptr<ThemeModule> module_;
    std::vector<std::string> image_files_;
    bool ok_ = false;
};

}  // namespace sw::bench
