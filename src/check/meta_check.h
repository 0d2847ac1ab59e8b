// The theme's description files in the launcher folder (meta.json,
// meta2.json .. meta5.json).
#pragma once

#include <string>

#include "check/finding.h"

namespace sw::check {

// Each file must exist and hold a JSON object (ERROR otherwise); an empty
// theme name, version name or author is a WARN.
void CheckDescriptionFiles(const std::string& launcherPath, const std::string& moduleName,
                           Findings& findings);

}  // namespace sw::check
