#include "pack/pack_thumbnail.h"

#include "gfx/image_decode.h"
#include "gfx/image_encode.h"
#include "gfx/resample.h"

namespace sw::pack {

bool MakeModuleThumbnail(PackTree& tree, const std::string& moduleDir) {
    const std::string folder = moduleDir + "/preview/xxhdpi/";
    const TreeFile* preview = tree.FindFile(folder + "preview1_suit.jpg");
    gfx::Image picture;
    if (preview == nullptr || preview->bytes ||
        !gfx::DecodeImageAtLeast(preview->path, kThumbWidth, kThumbHeight, &picture)) {
        return false;
    }
    const gfx::Image thumb = gfx::ResampleLanczos(picture, kThumbWidth, kThumbHeight);
    std::string bytes;
    return !thumb.empty() && gfx::EncodeJpeg(thumb, &bytes) &&
           tree.Put(folder + "thumb.jpg", std::move(bytes));
}

}  // namespace sw::pack
