#include "pack/pack_thumbnail.h"

#include "gfx/image_decode.h"
#include "gfx/image_encode.h"
#include "gfx/resample.h"

namespace sw::pack {

bool MakeModuleThumbnail(const std::string& moduleDir) {
    const std::string folder = moduleDir + "/preview/xxhdpi/";
    gfx::Image preview;
    if (!gfx::DecodeImageAtLeast(folder + "preview1_suit.jpg", kThumbWidth, kThumbHeight,
                                 &preview)) {
        return false;
    }
    const gfx::Image thumb = gfx::ResampleLanczos(preview, kThumbWidth, kThumbHeight);
    return !thumb.empty() && gfx::SaveJpeg(thumb, folder + "thumb.jpg");
}

}  // namespace sw::pack
