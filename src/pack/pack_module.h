// The module step of a pack: the project's modules taken into the archive
// being made, their thumbnails and descriptions, the density images, and
// each module's resources cleaned and archived.
#pragma once

#include <string>
#include <vector>

#include "pack/pack_run.h"

namespace sw::pack {

// source: the project's launcher module folder; the lock screen and the call
// screen are its siblings "lockscreen" and "screencall". Only the wanted
// modules are taken and processed; the launcher's previews are taken
// always, since its thumbnail stands for the theme when no module is. Files
// listed in skip (real paths: the pack's own output) are never taken. False
// when the pack failed (the run's reason says why) or was asked to stop.
bool PackModule(PackRun& run, const std::string& source, const std::vector<std::string>& skip);

}  // namespace sw::pack
