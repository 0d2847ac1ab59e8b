// Makes the density images of a pack on a small pool of threads.
#pragma once

#include <vector>

#include "pack/density_plan.h"
#include "pack/pack_run.h"

namespace sw::pack {

// Runs every job and waits for all of them, reporting the share done to the
// run's current step. Each source is decoded once; its sizes are then made
// side by side, one thread a core. A size equal to a PNG source's own is a
// plain copy of the file. False when the pack was asked to stop (work not
// yet begun is dropped) or an image could not be read or written (the run's
// reason names it, and the ERROR line is in the log).
bool RunResizes(const std::vector<ResizeJob>& jobs, PackRun& run);

// The number of threads RunResizes uses.
unsigned ResizeThreads();

}  // namespace sw::pack
