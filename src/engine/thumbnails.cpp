#include "engine/thumbnails.h"

#include <vector>

#include "core/files.h"
#include "core/log.h"
#include "core/on_all_cores.h"
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

// Renders the thumbnails of the screens side by side.
bool RenderEach(const ThemeModule& module, const std::vector<int>& screens, int width, int height) {
    return ForEachOnAllCoresInLogOrder(screens.size(), [&](std::size_t k) {
        return RenderThumbnail(module.screens[screens[k]], width, height);
    });
}

std::vector<int> AllScreens(const ThemeModule& module) {
    std::vector<int> screens;
    for (const ThemePackage& screen : module.screens) {
        screens.push_back(screen.index);
    }
    return screens;
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
    return RenderEach(module, AllScreens(module), width, height);
}

bool RedrawWithThumbnails(const ThemeModule& module, int index, int current, int width,
                          int height) {
    if (width <= 0 || height <= 0) {
        return RedrawScreens(module, index, current, nullptr);
    }
    MakeFolderPath(ThumbnailFolder(module.context));
    std::vector<char> rendered(module.screens.size(), 0);  // one thread a screen
    const auto thumbnail = [&](const ThemePackage& screen) {
        rendered[screen.index] = 1;
        return RenderThumbnail(screen, width, height);
    };
    if (!RedrawScreens(module, index, current, thumbnail)) {
        return false;
    }
    // The screens that were not drawn again get theirs at the same size.
    std::vector<int> others;
    for (const ThemePackage& screen : module.screens) {
        if (!rendered[screen.index]) {
            others.push_back(screen.index);
        }
    }
    return RenderEach(module, others, width, height);
}

bool RedrawScreensWithThumbnails(const ThemeModule& module, const std::vector<int>& screens,
                                 int width, int height) {
    if (width <= 0 || height <= 0) {
        return RedrawTheseScreens(module, screens, nullptr);
    }
    MakeFolderPath(ThumbnailFolder(module.context));
    return RedrawTheseScreens(module, screens, [&](const ThemePackage& screen) {
        return RenderThumbnail(screen, width, height);
    });
}

}  // namespace sw
