#include "host/live_project.h"

#include <chrono>
#include <memory>
#include <vector>

#include "core/folder_watch.h"
#include "core/log.h"
#include "engine/edit_history.h"
#include "engine/kept_pictures.h"
#include "engine/outside_changes.h"
#include "engine/theme_project.h"
#include "host/outside_changes_batch.h"
#include "host/project_refresh.h"
#include "host/script_bridge.h"
#include "host/window.h"

namespace sw::host {

namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

// How long the watch waits for more writes before it handles a batch, and
// how long a stream of writes may hold a batch back at most.
constexpr milliseconds kQuietSpell{100};
constexpr milliseconds kLongestBatch{1000};
// How often the watch looks whether another project was opened.
constexpr milliseconds kIdlePoll{100};

// The images of the batch that can be drawn.
std::vector<std::string> ChangedImages(const OutsideBatch& batch) {
    std::vector<std::string> paths;
    for (const OutsideImage& image : batch.images) {
        if (image.state == OutsideImage::State::kChanged) {
            paths.push_back(image.path);
        } else {
            LogWarn(
                "the image %s changed outside the editor is %s; its screens keep their "
                "pictures\n",
                image.path.c_str(),
                image.state == OutsideImage::State::kMissing ? "missing" : "broken");
        }
    }
    return paths;
}

void HandleBatch(Window& main, const std::string& folder, const OutsideBatch& batch) {
    for (const std::string& own : batch.own) {
        RememberProjectFile(folder, own);
    }
    if (batch.empty()) {
        return;
    }
    // The change becomes a step of the history before anything is drawn, so
    // that the page's undo button names it.
    RecordOutsideStep(folder, batch.files);
    bool reloaded = false;
    std::vector<std::string> modules;
    if (batch.reload) {
        LogInfo("%zu files of the project changed outside the editor: reloading\n",
                batch.files.size());
        reloaded = ReloadAndSendLists(main);
    } else {
        const std::vector<std::string> images = ChangedImages(batch);
        ForgetPictures(images);
        if (!images.empty()) {
            const ProjectWriter project = WriteProject();
            modules = RedrawModulesUsing(*project, images);
        }
        LogInfo("%zu images of the project changed outside the editor; %zu modules drawn again\n",
                batch.images.size(), modules.size());
    }
    CallPageFunction(&main, "OnProjectFilesChanged", {OutsideBatchJson(batch, reloaded, modules)});
}

}  // namespace

LiveProject::LiveProject(Window& main, std::size_t maxFolders)
    : main_(main), max_folders_(maxFolders), thread_([this] { Run(); }) {}

LiveProject::~LiveProject() {
    stop_ = true;
    thread_.join();
}

void LiveProject::Run() {
    std::string folder;
    std::unique_ptr<FolderWatch> watch;
    while (!stop_) {
        const std::string open = OpenProjectFolder();
        if (open != folder) {
            folder = open;
            watch.reset();
            if (!folder.empty()) {
                watch = std::make_unique<FolderWatch>(
                    folder, [folder](const std::string& f) { return IsPreviewFolder(folder, f); },
                    max_folders_);
                RememberProjectFiles(folder);
                if (watch->complete()) {
                    LogInfo("watching %zu folders of %s\n", watch->folder_count(), folder.c_str());
                } else {
                    CallPageFunction(&main_, "OnProjectWatchLimited", {});
                }
            }
        }
        if (!watch) {
            std::this_thread::sleep_for(kIdlePoll);
            continue;
        }
        std::vector<FolderEvent> events = watch->Read(kIdlePoll);
        if (events.empty()) {
            continue;
        }
        const Clock::time_point first = Clock::now();
        while (!stop_ && Clock::now() - first < kLongestBatch) {
            std::vector<FolderEvent> more = watch->Read(kQuietSpell);
            if (more.empty()) {
                break;
            }
            events.insert(events.end(), more.begin(), more.end());
        }
        const OutsideBatch batch = SortOutsideEvents(folder, events);
        if (!stop_) {
            HandleBatch(main_, folder, batch);
        }
    }
}

}  // namespace sw::host
