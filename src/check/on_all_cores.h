// Runs work(i) for every i below count on every core of the machine, each
// index once; returns when all are done. Decoding pictures is most of a
// check's time, and the pictures are independent of one another.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

namespace sw::check {

template <typename Work>
void ForEachOnAllCores(std::size_t count, const Work& work) {
    const std::size_t threads =
        std::min<std::size_t>(count, std::max(1U, std::thread::hardware_concurrency()));
    std::atomic<std::size_t> next{0};
    auto run = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            work(i);
        }
    };
    std::vector<std::jthread> helpers;
    for (std::size_t i = 1; i < threads; ++i) {
        helpers.emplace_back(run);
    }
    run();
}

}  // namespace sw::check
