// Running independent pieces of work on every core: drawing the screens of a
// module, decoding the pictures of a project. The helper threads live for the
// whole run, so what a thread keeps for itself (a screen canvas) is made once.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>

namespace sw {

// Runs work(i) once for every i below count, on the calling thread and the
// helper threads; returns when all are done. Indices are taken in increasing
// order, so work(0) is always begun first. work must not throw. A work that
// itself calls ForEachOnAllCores is served by its own thread at least, so
// nesting never waits for ever.
void ForEachOnAllCores(std::size_t count, const std::function<void(std::size_t)>& work);

// ForEachOnAllCores that also calls tick on the calling thread about every
// interval while the work runs, to report progress or ask for a stop; tick
// must not block.
void ForEachOnAllCores(std::size_t count, const std::function<void(std::size_t)>& work,
                       const std::function<void()>& tick,
                       std::chrono::milliseconds interval = std::chrono::milliseconds(50));

// ForEachOnAllCores for work that answers whether it succeeded and logs:
// the log reads as if work(0), work(1) ... had run one after another up to
// the first that failed, whose lines are the last written. True when every
// work succeeded.
bool ForEachOnAllCoresInLogOrder(std::size_t count, const std::function<bool(std::size_t)>& work);

// The number of threads ForEachOnAllCores runs on (the caller counted).
std::size_t CoreCount();

}  // namespace sw
