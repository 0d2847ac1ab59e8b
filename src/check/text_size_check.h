// Texts too large for their screen: the drawing clamps their size, so the
// preview cannot show them as the phone would.
#pragma once

#include "check/finding.h"
#include "engine/theme_module.h"

namespace sw::check {

// A WARN for every text of the module whose size is more than its screen's
// height, naming the element.
void CheckTextSizes(const ThemeModule& module, Findings& findings);

}  // namespace sw::check
