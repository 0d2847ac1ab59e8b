// Images that a module's templates and layouts name: each must exist in the
// module's drawable folders.
#pragma once

#include <string>

#include "check/finding.h"

namespace sw::check {

// Reads template.xml (and the lock screen's template1.xml .. template6.xml,
// any template*.xml that is no values file) and every lockscreen.xml layout
// below content/, and adds an ERROR for each image they name that is
// missing. A template that does not parse is an ERROR too.
void CheckImageReferences(const std::string& modulePath, const std::string& moduleName,
                          Findings& findings);

}  // namespace sw::check
