#include "pack/pack_run.h"

#include <utility>

#include "core/log.h"
#include "core/process.h"

namespace sw::pack {

namespace {

// Where each step starts, as a share of the whole pack; resizing the images
// and writing the archives take most of the time.
double StepStart(PackStep step) {
    switch (step) {
        case PackStep::kSaveColors:
            return 0.0;
        case PackStep::kCopyProject:
            return 0.02;
        case PackStep::kThumbnails:
            return 0.10;
        case PackStep::kDescriptions:
            return 0.14;
        case PackStep::kResizeImages:
            return 0.15;
        case PackStep::kCallscreen:
            return 0.65;
        case PackStep::kLockscreen:
            return 0.70;
        case PackStep::kLauncher:
            return 0.75;
        case PackStep::kArchive:
            return 0.80;
        case PackStep::kDone:
            return 1.0;
    }
    return 1.0;
}

}  // namespace

const char* StepName(PackStep step) {
    switch (step) {
        case PackStep::kSaveColors:
            return "saving colours";
        case PackStep::kCopyProject:
            return "copying the project";
        case PackStep::kThumbnails:
            return "making thumbnails";
        case PackStep::kDescriptions:
            return "writing descriptions";
        case PackStep::kResizeImages:
            return "resizing images";
        case PackStep::kCallscreen:
            return "packing the call screen";
        case PackStep::kLauncher:
            return "packing the home screen";
        case PackStep::kLockscreen:
            return "packing the lock screen";
        case PackStep::kArchive:
            return "writing the archive";
        case PackStep::kDone:
            return "done";
    }
    return "";
}

const char* StepTitle(PackStep step) {
    switch (step) {
        case PackStep::kSaveColors:
            return "保存颜色";
        case PackStep::kCopyProject:
            return "复制工程文件";
        case PackStep::kThumbnails:
            return "生成缩略图";
        case PackStep::kDescriptions:
            return "写入主题描述";
        case PackStep::kResizeImages:
            return "转换各分辨率图片";
        case PackStep::kCallscreen:
            return "打包通话模块";
        case PackStep::kLauncher:
            return "打包桌面模块";
        case PackStep::kLockscreen:
            return "打包锁屏模块";
        case PackStep::kArchive:
            return "生成主题包文件";
        case PackStep::kDone:
            return "完成";
    }
    return "";
}

std::string ArchivePathOf(const PackRequest& request) {
    return request.pack_path + "/" + request.pack_name + ".zip";
}

PackFolders MakePackFolders(const std::string& workRoot, const std::string& packName) {
    PackFolders folders;
    folders.work_root = workRoot;
    folders.pack_root = workRoot + "/" + packName;
    folders.launcher_dir = folders.pack_root + "/content/launcher";
    folders.lockscreen_dir = folders.pack_root + "/content/lockscreen";
    folders.callscreen_dir = folders.pack_root + "/content/callscreen";
    return folders;
}

PackRun::PackRun(const PackRequest& request, const PackObserver& observer, PackFolders folders)
    : request_(request), observer_(observer), folders_(std::move(folders)) {}

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
