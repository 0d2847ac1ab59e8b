#include "pack/resize_pool.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "core/files.h"
#include "core/log.h"
#include "core/process.h"
#include "gfx/image_decode.h"
#include "gfx/image_encode.h"
#include "gfx/resample.h"

namespace sw::pack {

namespace {

constexpr int kDecode = -1;

// One piece of work: decoding a job's source, or making one of its targets.
struct Task {
    std::size_t job = 0;
    int target = kDecode;
};

bool IsCopy(const ResizeJob& job, const ResizeTarget& target) {
    return job.source_is_png && target.width == job.source_width &&
           target.height == job.source_height;
}

class ResizeBatch {
  public:
    explicit ResizeBatch(const std::vector<ResizeJob>& jobs)
        : jobs_(jobs), images_(jobs.size()), pending_(jobs.size(), 0) {
        // The largest sources first, so that no core is left with one big
        // image at the end.
        std::vector<std::size_t> order(jobs.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            order[i] = i;
        }
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return Work(jobs[a]) > Work(jobs[b]);
        });
        for (std::size_t j : order) {
            bool decode = false;
            for (std::size_t t = 0; t < jobs[j].targets.size(); ++t) {
                if (IsCopy(jobs[j], jobs[j].targets[t])) {
                    queue_.push_back({j, static_cast<int>(t)});
                } else {
                    decode = true;
                    ++pending_[j];
                }
                ++total_;
            }
            if (decode) {
                queue_.push_back({j, kDecode});
            }
        }
    }

    std::size_t total() const { return total_; }

    // Runs on every pool thread until the queue is empty or the batch aborts.
    void Work() {
        for (;;) {
            Task task;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                cv_.wait(lock, [&] { return !queue_.empty() || running_ == 0 || aborted_; });
                if (queue_.empty() || aborted_) {
                    cv_.notify_all();
                    return;
                }
                task = queue_.front();
                queue_.pop_front();
                ++running_;
            }
            if (PackStopRequested()) {
                Abort("");
            } else if (task.target == kDecode) {
                Decode(task.job);
            } else {
                Make(task.job, static_cast<std::size_t>(task.target));
            }
            std::lock_guard<std::mutex> lock(mutex_);
            --running_;
            cv_.notify_all();
        }
    }

    // Called by the waiting thread: the targets done so far; whether the
    // batch has ended.
    bool Wait(std::chrono::milliseconds interval, std::size_t& done) {
        std::unique_lock<std::mutex> lock(mutex_);
        cv_.wait_for(lock, interval);
        done = done_;
        return (queue_.empty() || aborted_) && running_ == 0;
    }

    void Abort(const std::string& reason) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!aborted_ && !reason.empty()) {
            reason_ = reason;
        }
        aborted_ = true;
        queue_.clear();
        cv_.notify_all();
    }

    bool aborted() {
        std::lock_guard<std::mutex> lock(mutex_);
        return aborted_;
    }
    std::string reason() {
        std::lock_guard<std::mutex> lock(mutex_);
        return reason_;
    }

  private:
    static double Work(const ResizeJob& job) {
        double pixels = static_cast<double>(job.source_width) * job.source_height;
        for (const ResizeTarget& target : job.targets) {
            pixels += static_cast<double>(target.width) * target.height;
        }
        return pixels;
    }

    void Decode(std::size_t j) {
        const ResizeJob& job = jobs_[j];
        auto image = std::make_shared<gfx::Image>();
        if (!gfx::DecodeImage(job.source, image.get(), gfx::Premultiply::kAll)) {
            LogError("resize: can not read %s\n", job.source.c_str());
            Abort("can not read " + job.source);
            return;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        images_[j] = std::move(image);
        // Its sizes go first, so the decoded image is let go of soon.
        for (std::size_t t = job.targets.size(); t-- > 0;) {
            if (!IsCopy(job, job.targets[t])) {
                queue_.push_front({j, static_cast<int>(t)});
            }
        }
        cv_.notify_all();
    }

    void Make(std::size_t j, std::size_t t) {
        const ResizeJob& job = jobs_[j];
        const ResizeTarget& target = job.targets[t];
        bool made;
        if (IsCopy(job, target)) {
            made = CopyPath(job.source, target.destination);
        } else {
            std::shared_ptr<gfx::Image> image;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                image = images_[j];
            }
            if (image->width() == target.width && image->height() == target.height) {
                made = gfx::SavePng(*image, target.destination, gfx::PngCompression::kFast);
            } else {
                const gfx::Image scaled = gfx::ResampleLanczos(*image, target.width, target.height);
                made = !scaled.empty() &&
                       gfx::SavePng(scaled, target.destination, gfx::PngCompression::kFast);
            }
        }
        if (!made) {
            LogError("resize: can not write %s (%dx%d)\n", target.destination.c_str(), target.width,
                     target.height);
            Abort("can not write " + target.destination);
            return;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        ++done_;
        if (!IsCopy(job, target) && --pending_[j] == 0) {
            images_[j].reset();
        }
    }

    const std::vector<ResizeJob>& jobs_;
    std::vector<std::shared_ptr<gfx::Image>> images_;
    // How many resampled targets of each job are still to be made.
    std::vector<int> pending_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<Task> queue_;
    std::size_t total_ = 0;
    std::size_t done_ = 0;
    int running_ = 0;
    bool aborted_ = false;
    std::string reason_;
};

}  // namespace

unsigned ResizeThreads() {
    return std::max(1U, std::thread::hardware_concurrency());
}

bool RunResizes(const std::vector<ResizeJob>& jobs, PackRun& run) {
    ResizeBatch batch(jobs);
    if (batch.total() == 0) {
        return !run.StopRequested();
    }
    std::vector<std::jthread> threads;
    for (unsigned i = 0; i < ResizeThreads(); ++i) {
        threads.emplace_back([&batch] { batch.Work(); });
    }
    std::size_t done = 0;
    for (;;) {
        const bool ended = batch.Wait(std::chrono::milliseconds(50), done);
        run.Advance(static_cast<double>(done) / static_cast<double>(batch.total()));
        if (ended) {
            break;
        }
        if (run.StopRequested()) {
            batch.Abort("");
        }
    }
    threads.clear();
    if (run.StopRequested()) {
        return false;
    }
    if (batch.aborted()) {
        return run.Fail(batch.reason());
    }
    return true;
}

}  // namespace sw::pack
