#include "core/on_all_cores.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/log.h"

namespace sw {

namespace {

// One call of ForEachOnAllCores: the next index to take and how many are
// finished. Helpers that come late find nothing left and return at once.
struct Batch {
    Batch(std::size_t count, const std::function<void(std::size_t)>& work)
        : count(count), work(work) {}

    // Takes indices until none is left; tick, when given, is called
    // between them about every interval.
    void Run(const std::function<void()>* tick = nullptr,
             std::chrono::milliseconds interval = std::chrono::milliseconds(0)) {
        auto last = std::chrono::steady_clock::now();
        for (std::size_t i = next++; i < count; i = next++) {
            work(i);
            if (++finished == count) {
                std::lock_guard lock(mutex);
                done.notify_all();
            }
            if (tick != nullptr && std::chrono::steady_clock::now() - last >= interval) {
                (*tick)();
                last = std::chrono::steady_clock::now();
            }
        }
    }

    // Waits for the indices other threads took; tick, when given, is called
    // about every interval meanwhile.
    void Wait(const std::function<void()>* tick = nullptr,
              std::chrono::milliseconds interval = std::chrono::milliseconds(0)) {
        std::unique_lock lock(mutex);
        if (tick == nullptr) {
            done.wait(lock, [&] { return finished.load() == count; });
            return;
        }
        while (!done.wait_for(lock, interval, [&] { return finished.load() == count; })) {
            lock.unlock();
            (*tick)();
            lock.lock();
        }
    }

    const std::size_t count;
    const std::function<void(std::size_t)>& work;
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> finished{0};
    std::mutex mutex;
    std::condition_variable done;
};

// The helper threads: one fewer than the cores, since the caller works too.
class Helpers {
  public:
    Helpers() {
        const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
        for (unsigned i = 1; i < cores; ++i) {
            threads_.emplace_back([this] { Serve(); });
        }
    }

    ~Helpers() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        for (std::thread& thread : threads_) {
            thread.join();
        }
    }

    std::size_t size() const { return threads_.size(); }

    void Offer(const std::shared_ptr<Batch>& batch, std::size_t helpers) {
        {
            std::lock_guard lock(mutex_);
            for (std::size_t i = 0; i < helpers; ++i) {
                queue_.push_back(batch);
            }
        }
        wake_.notify_all();
    }

  private:
    void Serve() {
        for (;;) {
            std::shared_ptr<Batch> batch;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
                if (queue_.empty()) {
                    return;
                }
                batch = std::move(queue_.front());
                queue_.pop_front();
            }
            batch->Run();
        }
    }

    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::shared_ptr<Batch>> queue_;
    bool stopping_ = false;
};

Helpers& SharedHelpers() {
    static Helpers helpers;
    return helpers;
}

}  // namespace

std::size_t CoreCount() {
    return SharedHelpers().size() + 1;
}

void ForEachOnAllCores(std::size_t count, const std::function<void(std::size_t)>& work) {
    ForEachOnAllCores(count, work, {});
}

void ForEachOnAllCores(std::size_t count, const std::function<void(std::size_t)>& work,
                       const std::function<void()>& tick, std::chrono::milliseconds interval) {
    if (count == 0) {
        return;
    }
    Helpers& helpers = SharedHelpers();
    // The batch outlives this call for helpers that take it up late; they
    // find no index left and never touch work.
    auto batch = std::make_shared<Batch>(count, work);
    if (count > 1) {
        helpers.Offer(batch, std::min(count - 1, helpers.size()));
    }
    const std::function<void()>* progress = tick ? &tick : nullptr;
    batch->Run(progress, interval);
    batch->Wait(progress, interval);
}

bool ForEachOnAllCoresInLogOrder(std::size_t count, const std::function<bool(std::size_t)>& work) {
    struct Outcome {
        bool succeeded = false;
        std::vector<std::string> log_lines;
    };
    std::vector<Outcome> outcomes(count);
    ForEachOnAllCores(count, [&](std::size_t i) {
        HeldLogLines held;
        outcomes[i].succeeded = work(i);
        outcomes[i].log_lines = held.Take();
    });
    for (const Outcome& outcome : outcomes) {
        WriteLogLines(outcome.log_lines);
        if (!outcome.succeeded) {
            return false;
        }
    }
    return true;
}

}  // namespace sw
