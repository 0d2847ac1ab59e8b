#include "gfx/premultiply.h"

#include "gfx/premultiply_rows.h"

namespace sw::gfx {

void PremultiplyAlpha(Image& image) {
    if (image.empty() || image.alpha_state() != AlphaState::kStraight) {
        return;
    }
    for (int y = 0; y < image.height(); ++y) {
        PremultiplyRow(image.row(y), image.width());
    }
    image.set_alpha_state(AlphaState::kPremultiplied);
    image.MarkDirty();
}

void PremultiplyAlphaKeepBorder(Image& image) {
    if (image.empty() || image.alpha_state() != AlphaState::kStraight) {
        return;
    }
    for (int y = 1; y < image.height() - 1; ++y) {
        PremultiplyRowKeepBorder(image.row(y), image.width());
    }
    image.set_alpha_state(AlphaState::kPremultipliedExceptBorder);
    image.MarkDirty();
}

}  // namespace sw::gfx
