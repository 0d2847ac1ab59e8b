#include "engine/thumbnails.h"

#include <utility>
#include <vector>

#include "core/files.h"
#include "core/log.h"
#include "core/on_all_cores.h"
#include "core/text.h"
#include "engine/screen_drawing.h"
#include "gfx/area_average.h"
#include "gfx/image_decode.h"
#include "gfx/image_encode.h"
#include "gfx/stretch.h"

namespace sw {

namespace {

std::string ThumbnailFolder(const ModuleContext& context) {
    return FormatString("%s/%s/thumbnail", context.module_path.c_str(), "preview/xxhdpi");
}

// The picture scaled to the thumbnail's size: shrunk by averaging (a
// thumbnail is smaller than its screen), smoothly stretched otherwise.
gfx::Image ScaledToThumbnail(const gfx::Image& picture, int width, int height) {
    gfx::Image shrunk = gfx::ShrinkByAreaAverage(picture, width, height);
    return shrunk.empty() ? gfx::SmoothStretch(picture, width, height) : std::move(shrunk);
}

// Scales the screen's picture (its preview, or the canvas it was just drawn
// on) to the thumbnail and writes it.
bool SaveThumbnail(const ThemePackage& screen, const gfx::Image& picture, int width, int height) {
    const std::string output = ThumbnailPath(screen);
    const gfx::Image thumbnail = ScaledToThumbnail(picture, width, height);
    if (thumbnail.empty() || !gfx::SaveJpeg(thumbnail, output)) {
        LogError("can not save thumbnail %s\n", output.c_str());
        return false;
    }
    return true;
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
    return SaveThumbnail(screen, image, width, height);
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

bool RedrawWithThumbnails(const ThemeModule& module, int index, int current, int width, int height,
                          const ShownScreenDrawn& currentDrawn) {
    const bool thumbnails = width > 0 && height > 0;
    if (thumbnails) {
        MakeFolderPath(ThumbnailFolder(module.context));
    }
    std::vector<char> rendered(module.screens.size(), 0);  // one thread a screen
    // The preview of the screen current is told of before its thumbnail is
    // made; thumbnails are scaled from the picture just drawn, not read back.
    const auto thumbnail = [&](const ThemePackage& screen, const gfx::Image& picture) {
        if (screen.index == current && currentDrawn != nullptr) {
            currentDrawn();
        }
        rendered[screen.index] = 1;
        return !thumbnails || SaveThumbnail(screen, picture, width, height);
    };
    if (!RedrawScreens(module, index, current, thumbnail)) {
        return false;
    }
    if (!thumbnails) {
        return true;
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
                                 int width, int height, const ScreenStep& done) {
    const bool thumbnails = width > 0 && height > 0;
    if (thumbnails) {
        MakeFolderPath(ThumbnailFolder(module.context));
    }
    if (!thumbnails && done == nullptr) {
        return RedrawTheseScreens(module, screens, nullptr);
    }
    return RedrawTheseScreens(
        module, screens, [&](const ThemePackage& screen, const gfx::Image& picture) {
            return (!thumbnails || SaveThumbnail(screen, picture, width, height)) &&
                   (done == nullptr || done(screen));
        });
}

}  // namespace sw
