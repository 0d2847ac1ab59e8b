#include "host/live_project.h"

#include <json/value.h>

#include <chrono>
#include <memory>
#include <vector>

#include "core/folder_watch.h"
#include "core/log.h"
#include "engine/edit_history.h"
#include "engine/kept_pictures.h"
#include "engine/outside_changes.h"
#include "engine/theme_project.h"
#include "host/json_text.h"
#include "host/outside_changes_batch.h"
#include "host/project_refresh.h"
#include "host/script_bridge.h"
#include "host/window.h"

namespace sw::host {

namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

// How long the watch waits for more writes before it handles a batch: a
// short spell while the batch is one image saved whole (the common save of
// an image editor, shown at once), a longer one as soon as more files or
// anything that reloads the project come, so that a checkout or an unzip
// still gives one batch. A stream of writes holds a batch back at most
// kLongestBatch.
constexpr milliseconds kQuietSpellOneImage{30};
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

// The module and screen the editor page shows; none when the page cannot
// say.
ShownScreen ShownScreenOf(Window& main) {
    std::string answer;
    Json::Value shown;
    if (!CallPageFunction(&main, "ShownScreen", {}, &answer) || !ParseJson(answer, shown) ||
        !shown.isObject() || !shown["module"].isString() || !shown["screen"].isInt()) {
        return {};
    }
    return {shown["module"].asString(), shown["screen"].asInt()};
}

void HandleBatch(Window& main, const std::string& folder, const OutsideBatch& batch) {
    for (const std::string& own : batch.own) {
        RememberProjectFile(folder, own);
    }
    if (batch.empty()) {
        return;
    }
    bool reloaded = false;
    std::vector<std::string> modules;
    if (batch.reload) {
        // The change becomes a step of the history before the project is
        // read again, so that the lists' undo button names it.
        RecordOutsideStep(folder, batch.files);
        LogInfo("%zu files of the project changed outside the editor: reloading\n",
                batch.files.size());
        reloaded = ReloadAndSendLists(main);
    } else {
        const std::vector<std::string> images = ChangedImages(batch);
        // The screen the designer looks at is drawn first, and the page
        // shows it while the others are drawn.
        const ShownScreen shown = images.empty() ? ShownScreen{} : ShownScreenOf(main);
        const ProjectWriter project = WriteProject();
        if (!images.empty()) {
            modules = RedrawModulesUsing(*project, images, shown, [&main] {
                CallPageFunction(&main, "OnShownScreenDrawn", {});
            });
        }
        // The change becomes a step of the history once the designer sees
        // it, still under the project's write lock: undo and the editor's
        // own edits wait for it, so that none comes between the change and
        // its step.
        RecordOutsideStep(folder, batch.files);
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
            std::vector<FolderEvent> more =
                watch->Read(IsOneImageSaved(folder, events) ? kQuietSpellOneImage : kQuietSpell);
            if (more.empty()) {
                break;
            }
            events.insert(events.end(), more.begin(), more.end());
        }
        // A file written in place within one tick of the clock keeps its
        // stamp: the pictures kept of the files touched are let go of before
        // the batch reads them.
        std::vector<std::string> touched;
        for (const FolderEvent& event : events) {
            touched.push_back(event.path);
        }
        ForgetPictures(touched);
        const OutsideBatch batch = SortOutsideEvents(folder, events);
        if (!stop_) {
            HandleBatch(main_, folder, batch);
        }
    }
}

}  // namespace sw::host
