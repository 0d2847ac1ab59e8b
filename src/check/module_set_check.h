// What packing needs of the project as a whole: the module folders, the
// four weather-widget layouts, and a contents list in the theme's
// description that names the module folders the project has.
#pragma once

#include <string>

#include "check/finding.h"

namespace sw::check {

// ERROR findings for:
//   - a missing launcher or lockscreen module folder (one with template.xml);
//     a missing screencall folder is a WARN: only a pack that asks for the
//     call screen stops without it;
//   - a missing launcher content/res/xml/weatherconfig.xml,
//     weatherconfig1.xml, weatherconfig2.xml or weatherconfig3.xml;
//   - a "resource_contents" of launcher/meta2.json that is not the list of
//     the modules present, in the order launcher, lockscreen, callscreen
//     (the call screen's folder is screencall). A meta2.json that cannot be
//     read is reported by the description-file check.
void CheckModuleSet(const std::string& projectDir, Findings& findings);

}  // namespace sw::check
