// The program's one pool of worker threads, one a core: decoding pictures
// for the check, and the density images of a pack, run on it.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>

namespace sw {

// Runs work(i) for every i below count, each index once, on the pool's
// threads and on the calling thread; returns when all are done. tick, when
// given, is called on the calling thread about every interval while the
// work runs (to report progress; it must not block). A work item may itself
// call ForEachOnAllCores: the calling thread always takes part, so nested
// and concurrent batches finish without waiting for one another.
void ForEachOnAllCores(std::size_t count, const std::function<void(std::size_t)>& work,
                       const std::function<void()>& tick = {},
                       std::chrono::milliseconds interval = std::chrono::milliseconds(50));

// The number of threads a batch runs on: the pool's and the caller's.
unsigned WorkerCount();

}  // namespace sw
