// What a pack is asked to do, how it reports its progress, and what it ends
// with.
#pragma once

#include <functional>
#include <string>

namespace sw::pack {

// The three modules of a theme, as the pack form ticks them.
struct WantedModules {
    bool launcher = true;
    bool lockscreen = true;
    bool callscreen = true;
};

struct PackRequest {
    std::string pack_name;  // the archive's base name, also the top folder in the work area
    std::string pack_path;  // the folder that receives PackName.zip
    WantedModules modules;
};

// The steps of a pack, in the order they run.
enum class PackStep {
    kSaveColors,
    kReadProject,
    kThumbnails,
    kDescriptions,
    kResizeImages,
    kCallscreen,
    kLockscreen,
    kLauncher,
    kArchive,
    kDone,
};

// The step's name for a terminal ("resizing images") and for the pack form
// ("转换各分辨率图片").
const char* StepName(PackStep step);
const char* StepTitle(PackStep step);

// How a running pack tells where it is and learns that it is to stop.
struct PackObserver {
    // The step that runs now and the share of the whole pack done, 0 to 1.
    // Called on the packing thread.
    std::function<void(PackStep step, double done)> progress;
    // Polled between steps and between images; true stops the pack, which
    // then removes its work folder and leaves no archive. Besides this, the
    // pack stops when StopPackTools has been called since it started.
    std::function<bool()> stop;
};

struct PackResult {
    int code = -1;         // 0 for success, -1 for failure
    bool stopped = false;  // ended because it was asked to stop
    std::string archive;   // PackPath/PackName.zip on success
    std::string reason;    // why it failed, for the user
};

// PackPath/PackName.zip.
std::string ArchivePathOf(const PackRequest& request);

}  // namespace sw::pack
