// A project created from the repository's template/ folder in a temporary
// folder, for the benchmarks; runtime.log is written there too.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/theme_module.h"

namespace sw::bench {

class TemplateProject {
  public:
    TemplateProject();
    TemplateProject(const TemplateProject&) = delete;
    TemplateProject& operator=(const TemplateProject&) = delete;
    ~TemplateProject();

    bool ok() const { return ok_; }
    const std::string& folder() const { return folder_; }
    const std::string& project_file() const { return project_file_; }
    // The module folders of the project, in opening order.
    const std::vector<std::string>& module_folders() const { return module_folders_; }

    // Loads every module as an open does, without drawing.
    bool LoadModules(std::vector<std::unique_ptr<ThemeModule>>& modules) const;

  private:
    bool Create();

    std::string folder_;
    std::string project_file_;
    std::vector<std::string> module_folders_;
    bool ok_ = false;
};

}  // namespace sw::bench
