#include "core/on_all_cores.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace sw {
namespace {

TEST(OnAllCoresTest, EveryIndexRunsOnceAndAllAreDoneOnReturn) {
    for (std::size_t count : {0U, 1U, 2U, 7U, 100U}) {
        std::vector<std::atomic<int>> runs(count);
        ForEachOnAllCores(count, [&](std::size_t i) {
            std::this_thread::yield();
            ++runs[i];
        });
        for (std::size_t i = 0; i < count; ++i) {
            EXPECT_EQ(runs[i].load(), 1) << "index " << i << " of " << count;
        }
    }
}

// Work that itself spreads over the cores (a module's screens inside a walk
// over modules) finishes although every helper is busy with the outer work.
TEST(OnAllCoresTest, NestedCallsFinish) {
    std::atomic<int> inner{0};
    ForEachOnAllCores(4, [&](std::size_t) { ForEachOnAllCores(5, [&](std::size_t) { ++inner; }); });
    EXPECT_EQ(inner.load(), 20);
}

TEST(OnAllCoresTest, SpreadsOverMoreThanOneThreadWhenThereAreCores) {
    if (CoreCount() < 2) {
        GTEST_SKIP() << "one core";
    }
    // Each piece waits until another thread has begun one too, which only
    // side-by-side work can give.
    std::atomic<int> begun{0};
    ForEachOnAllCores(2, [&](std::size_t) {
        ++begun;
        while (begun.load() < 2) {
            std::this_thread::yield();
        }
    });
    EXPECT_EQ(begun.load(), 2);
}

}  // namespace
}  // namespace sw
