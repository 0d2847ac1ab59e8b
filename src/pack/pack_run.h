// One running pack: what was asked, where it works, how far it got, and why
// it failed. Shared by the steps of the pipeline; internal to packing.
#pragma once

#include <string>

#include "gfx/decoded_pictures.h"
#include "pack/pack_request.h"
#include "pack/pack_tree.h"

namespace sw::pack {

class PackRun {
  public:
    // pictures: where the images to resize are decoded; a check that ran
    // before may have decoded them already.
    PackRun(const PackRequest& request, const PackObserver& observer,
            gfx::DecodedPictures& pictures);

    const PackRequest& request() const { return request_; }
    const WantedModules& wanted() const { return request_.modules; }
    // The archive as it is being made.
    PackTree& tree() { return tree_; }
    gfx::DecodedPictures& pictures() { return pictures_; }

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
    gfx::DecodedPictures& pictures_;
    PackTree tree_;
    PackStep step_ = PackStep::kSaveColors;
    double reported_ = -1.0;
    bool stopped_ = false;
    std::string reason_;
};

}  // namespace sw::pack
