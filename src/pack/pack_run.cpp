#include "pack/pack_run.h"

#include <iterator>
#include <utility>

#include "core/log.h"
#include "core/process.h"

namespace sw::pack {

namespace {

struct StepInfo {
    const char* name;
    const char* title;
    // Where the step starts, as a share of the whole pack; resizing the
    // images and writing the archives take most of the time.
    double start;
};

// One row a step, in the order of PackStep.
constexpr StepInfo kSteps[] = {
    {"saving colours", "保存颜色", 0.0},
    {"reading the project", "读取工程文件", 0.02},
    {"making thumbnails", "生成缩略图", 0.10},
    {"writing descriptions", "写入主题描述", 0.14},
    {"resizing images", "转换各分辨率图片", 0.15},
    {"packing the call screen", "打包通话模块", 0.65},
    {"packing the lock screen", "打包锁屏模块", 0.70},
    {"packing the home screen", "打包桌面模块", 0.75},
    {"writing the archive", "生成主题包文件", 0.80},
    {"done", "完成", 1.0},
};
static_assert(std::size(kSteps) == static_cast<std::size_t>(PackStep::kDone) + 1);

const StepInfo& InfoOf(PackStep step) {
    return kSteps[static_cast<std::size_t>(step)];
}

double StepStart(PackStep step) {
    return InfoOf(step).start;
}

}  // namespace

const char* StepName(PackStep step) {
    return InfoOf(step).name;
}

const char* StepTitle(PackStep step) {
    return InfoOf(step).title;
}

std::string ArchivePathOf(const PackRequest& request) {
    return request.pack_path + "/" + request.pack_name + ".zip";
}

PackRun::PackRun(const PackRequest& request, const PackObserver& observer,
                 gfx::DecodedPictures& pictures)
    : request_(request), observer_(observer), pictures_(pictures) {}

void PackRun::Enter(PackStep step) {
    step_ = step;
    LogDebug("pack: %s\n", StepName(step));
    Report(StepStart(step));
}

void PackRun::Advance(double share) {
    if (step_ == PackStep::kDone) {
        return;
    }
    const double start = StepStart(step_);
    const double end = StepStart(static_cast<PackStep>(static_cast<int>(step_) + 1));
    Report(start + (end - start) * share);
}

void PackRun::Report(double done) {
    if (observer_.progress && done != reported_) {
        reported_ = done;
        observer_.progress(step_, done);
    }
}

bool PackRun::StopRequested() {
    if (!stopped_) {
        stopped_ = PackStopRequested() || (observer_.stop && observer_.stop());
    }
    return stopped_;
}

bool PackRun::Fail(const std::string& reason) {
    if (reason_.empty()) {
        reason_ = reason;
    }
    return false;
}

}  // namespace sw::pack
