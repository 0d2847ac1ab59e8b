// Makes the density images of a pack on the program's worker threads.
#pragma once

#include <vector>

#include "pack/density_plan.h"
#include "pack/pack_run.h"

namespace sw::pack {

// Makes every job's targets and puts them into the run's tree, reporting the
// share done to the run's current step. Each source is decoded once, through
// the run's pictures (a check may have decoded it already), and let go of
// when its last size is made. A size equal to a PNG source's own is the
// source file itself. False when the pack was asked to stop (work not yet
// begun is dropped) or an image could not be read or made (the run's reason
// names it, and the ERROR line is in the log).
bool RunResizes(const std::vector<ResizeJob>& jobs, PackRun& run);

// The number of threads RunResizes uses.
unsigned ResizeThreads();

}  // namespace sw::pack
