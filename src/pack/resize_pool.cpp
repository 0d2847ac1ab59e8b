#include "pack/resize_pool.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "core/log.h"
#include "core/process.h"
#include "core/worker_pool.h"
#include "gfx/image_encode.h"
#include "gfx/resample.h"

namespace sw::pack {

namespace {

bool IsCopy(const ResizeJob& job, const ResizeTarget& target) {
    return job.source_is_png && target.width == job.source_width &&
           target.height == job.source_height;
}

// One target to make by resampling.
struct Task {
    std::size_t job = 0;
    std::size_t target = 0;
};

double Pixels(const ResizeTarget& target) {
    return static_cast<double>(target.width) * target.height;
}

class ResizeBatch {
  public:
    ResizeBatch(const std::vector<ResizeJob>& jobs, gfx::DecodedPictures& pictures)
        : jobs_(jobs), pictures_(pictures), outputs_(jobs.size()), pending_(jobs.size()) {
        for (std::size_t j = 0; j < jobs.size(); ++j) {
            outputs_[j].resize(jobs[j].targets.size());
            int pending = 0;
            for (std::size_t t = 0; t < jobs[j].targets.size(); ++t) {
                if (!IsCopy(jobs[j], jobs[j].targets[t])) {
                    tasks_.push_back({j, t});
                    ++pending;
                }
            }
            pending_[j] = pending;
        }
        // The largest images first, so that no core is left with one big
        // image at the end.
        std::stable_sort(tasks_.begin(), tasks_.end(), [&](const Task& a, const Task& b) {
            return Pixels(jobs[a.job].targets[a.target]) > Pixels(jobs[b.job].targets[b.target]);
        });
    }

    std::size_t size() const { return tasks_.size(); }
    std::size_t done() const { return done_; }

    void Make(std::size_t i) {
        if (failed_ || stopped_ || PackStopRequested()) {
            return;
        }
        const Task& task = tasks_[i];
        const ResizeJob& job = jobs_[task.job];
        const ResizeTarget& target = job.targets[task.target];
        const std::shared_ptr<const gfx::Image> picture = pictures_.Decode(job.source_file.path);
        if (!picture) {
            Fail("resize: can not read " + job.source_file.path, "can not read " + job.source);
            return;
        }
        std::string& bytes = outputs_[task.job][task.target];
        bool made;
        if (picture->width() == target.width && picture->height() == target.height) {
            made = gfx::EncodePng(*picture, &bytes, gfx::PngCompression::kFast);
        } else {
            const gfx::Image scaled = gfx::ResampleLanczos(*picture, target.width, target.height);
            made = !scaled.empty() && gfx::EncodePng(scaled, &bytes, gfx::PngCompression::kFast);
        }
        if (!made) {
            Fail("resize: can not make " + target.destination + " (" +
                     std::to_string(target.width) + "x" + std::to_string(target.height) + ")",
                 "can not make " + target.destination);
            return;
        }
        ++done_;
        if (--pending_[task.job] == 0) {
            // Its last size is made: the decoded picture may go.
            pictures_.Release(job.source_file.path);
        }
    }

    bool failed() const { return failed_; }
    // Work not yet begun is dropped.
    void Stop() { stopped_ = true; }
    std::string reason() {
        std::lock_guard<std::mutex> lock(mutex_);
        return reason_;
    }

    // Every target into the tree, in the order of the jobs.
    bool Place(PackTree& tree) {
        for (std::size_t j = 0; j < jobs_.size(); ++j) {
            const ResizeJob& job = jobs_[j];
            for (std::size_t t = 0; t < job.targets.size(); ++t) {
                const ResizeTarget& target = job.targets[t];
                const bool placed = IsCopy(job, target)
                                        ? tree.Copy(job.source, target.destination)
                                        : tree.Put(target.destination, std::move(outputs_[j][t]));
                if (!placed) {
                    LogError("resize: can not write %s (%dx%d)\n", target.destination.c_str(),
                             target.width, target.height);
                    reason_ = "can not write " + target.destination;
                    return false;
                }
            }
        }
        return true;
    }

  private:
    void Fail(const std::string& line, const std::string& reason) {
        LogError("%s\n", line.c_str());
        std::lock_guard<std::mutex> lock(mutex_);
        if (!failed_) {
            reason_ = reason;
        }
        failed_ = true;
    }

    const std::vector<ResizeJob>& jobs_;
    gfx::DecodedPictures& pictures_;
    std::vector<Task> tasks_;
    std::vector<std::vector<std::string>> outputs_;
    // How many resampled targets of each job are still to be made.
    std::vector<std::atomic<int>> pending_;
    std::atomic<std::size_t> done_{0};
    std::atomic<bool> failed_{false};
    std::atomic<bool> stopped_{false};
    std::mutex mutex_;
    std::string reason_;
};

}  // namespace

unsigned ResizeThreads() {
    return WorkerCount();
}

bool RunResizes(const std::vector<ResizeJob>& jobs, PackRun& run) {
    for (const ResizeJob& job : jobs) {
        run.pictures().Keep(job.source_file.path);
    }
    ResizeBatch batch(jobs, run.pictures());
    ForEachOnAllCores(
        batch.size(), [&batch](std::size_t i) { batch.Make(i); },
        [&] {
            run.Advance(static_cast<double>(batch.done()) /
                        static_cast<double>(std::max<std::size_t>(batch.size(), 1)));
            if (run.StopRequested()) {
                batch.Stop();
            }
        });
    if (run.StopRequested()) {
        return false;
    }
    if (batch.failed()) {
        return run.Fail(batch.reason());
    }
    run.Advance(1.0);
    if (!batch.Place(run.tree())) {
        return run.Fail(batch.reason());
    }
    return true;
}

}  // namespace sw::pack
