// Entries of a project that nothing may read, copy or pack: FIFOs, sockets
// and devices, which would stall a reader, and symbolic links that lead out
// of the project or nowhere.
#pragma once

#include <string>

#include "check/finding.h"

namespace sw::check {

// One ERROR per such entry below projectDir, naming it: the module is the
// entry's first folder, the file the rest of its path.
void CheckProjectEntries(const std::string& projectDir, Findings& findings);

}  // namespace sw::check
