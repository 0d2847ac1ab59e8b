#include "engine/thumbnails.h"

#include "core/files.h"
#include "core/log.h"
#include "core/text.h"
#include "engine/screen_drawing.h"
#include "gfx/image_decode.h"
#include "gfx/image_encode.h"
#include "gfx/stretch.h"

namespace sw {

namespace {

std::string ThumbnailFolder(const ModuleContext& context) {
    return FormatString("%s/%s/thumbnail", context.module_path.c_str(), "preview/xxhdpi");
}

bool RenderThumbnail(const ThemePackage& screen, int width, int height) {
    const std::string preview = PreviewPath(screen);
    if (!IsFile(preview) && !DrawScreen(screen)) {
        return false;
    }
    // A JPEG preview is decoded straight at a reduced scale near the
    // thumbnail's size, so the smoothing stretch has little left to do.
    gfx::Image image;
    if (!gfx::DecodeImageAtLeast(preview, width, height, &image)) {
        LogError("fail to load %s\n", preview.c_str());
        return false;
    }
    const std::string output = ThumbnailPath(screen);
    const gfx::Image thumbnail = gfx::SmoothStretch(image, width, height);
    if (thumbnail.empty() || !gfx::SaveJpeg(thumbnail, output)) {
        LogError("can not save thumbnail %s\n", output.c_str());
        return false;
    }
    return true;
}

}  // namespace

std::string ThumbnailPath(const ThemePackage& screen) {
    return FormatString("%s/preview%d.jpg", ThumbnailFolder(*screen.context).c_str(),
                        screen.index + 1);
}

bool RenderThumbnails(const ThemeModule& module, int width, int height) {
    if (width <= 0 || height <= 0) {
        return true;
    }
    MakeFolderPath(ThumbnailFolder(module.context));
    for (const ThemePackage& screen : module.screens) {
        if (!RenderThumbnail(screen, width, height)) {
            return false;
        }
    }
    return true;
}

}  // namespace sw
