#include "core/worker_pool.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace sw {

namespace {

// One call of ForEachOnAllCores.
struct Batch {
    std::size_t count = 0;
    const std::function<void(std::size_t)>* work = nullptr;
    std::atomic<std::size_t> next{0};
    // Pool threads that have taken work from the batch and not yet left it.
    int users = 0;
};

class WorkerPool {
  public:
    WorkerPool() {
        const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
        for (unsigned i = 1; i < cores; ++i) {
            threads_.emplace_back([this] { Serve(); });
        }
    }
    ~WorkerPool() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        threads_.clear();
    }
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    unsigned threads() const { return static_cast<unsigned>(threads_.size()) + 1; }

    void Run(Batch& batch, const std::function<void()>& tick, std::chrono::milliseconds interval) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            batches_.push_back(&batch);
        }
        wake_.notify_all();
        auto last = std::chrono::steady_clock::now();
        for (std::size_t i = batch.next++; i < batch.count; i = batch.next++) {
            (*batch.work)(i);
            if (tick && std::chrono::steady_clock::now() - last >= interval) {
                tick();
                last = std::chrono::steady_clock::now();
            }
        }
        std::unique_lock<std::mutex> lock(mutex_);
        Remove(batch);
        while (batch.users > 0) {
            if (tick) {
                left_.wait_for(lock, interval);
                lock.unlock();
                tick();
                lock.lock();
            } else {
                left_.wait(lock);
            }
        }
    }

  private:
    void Remove(Batch& batch) {
        const auto found = std::find(batches_.begin(), batches_.end(), &batch);
        if (found != batches_.end()) {
            batches_.erase(found);
        }
    }

    void Serve() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || !batches_.empty(); });
            if (stopping_) {
                return;
            }
            Batch& batch = *batches_.front();
            ++batch.users;
            lock.unlock();
            for (std::size_t i = batch.next++; i < batch.count; i = batch.next++) {
                (*batch.work)(i);
            }
            lock.lock();
            // Every index is taken: no thread need look at this batch again.
            Remove(batch);
            --batch.users;
            left_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable left_;
    std::deque<Batch*> batches_;
    bool stopping_ = false;
    std::vector<std::jthread> threads_;
};

WorkerPool& Pool() {
    static WorkerPool pool;
    return pool;
}

}  // namespace

void ForEachOnAllCores(std::size_t count, const std::function<void(std::size_t)>& work,
                       const std::function<void()>& tick, std::chrono::milliseconds interval) {
    if (count == 0) {
        return;
    }
    Batch batch;
    batch.count = count;
    batch.work = &work;
    Pool().Run(batch, tick, interval);
}

unsigned WorkerCount() {
    return Pool().threads();
}

}  // namespace sw
