// One running pack: what was asked, where it works, how far it got, and why
// it failed. Shared by the steps of the pipeline; internal to packing.
#pragma once

#include <string>

#include "pack/pack_request.h"

namespace sw::pack {

// The folders of one pack. Everything below pack_root becomes the archive's
// top level; the three module copies live in pack_root/content.
struct PackFolders {
    std::string work_root;       // <home>/tmp/XXXXXXXXXX, new for every pack
    std::string pack_root;       // work_root/PackName
    std::string launcher_dir;    // pack_root/content/launcher
    std::string lockscreen_dir;  // pack_root/content/lockscreen
    std::string callscreen_dir;  // pack_root/content/callscreen
};

PackFolders MakePackFolders(const std::string& workRoot, const std::string& packName);

class PackRun {
  public:
    PackRun(const PackRequest& request, const PackObserver& observer, PackFolders folders);

    const PackRequest& request() const { return request_; }
    const WantedModules& wanted() const { return request_.modules; }
    const PackFolders& folders() const { return folders_; }

    // A step begins; its share of the whole is fixed here.
    void Enter(PackStep step);
    // share (0 to 1) of the current step is done.
    void Advance(double share);

    // True once the observer or StopPackTools asked the pack to stop; stays
    // true afterwards.
    bool StopRequested();

    // Keeps the first reason given and returns false, so that a step can
    // end with `return run.Fail("...")`.
    bool Fail(const std::string& reason);
    const std::string& reason() const { return reason_; }

  private:
    void Report(double done);

    const PackRequest& request_;
    const PackObserver& observer_;
    PackFolders folders_;
    PackStep step_ = PackStep::kSaveColors;
    double reported_ = -1.0;
    bool stopped_ = false;
    std::string reason_;
};

}  // namespace sw::pack
