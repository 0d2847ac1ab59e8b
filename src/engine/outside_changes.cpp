#include "engine/outside_changes.h"

#include <algorithm>
#include <filesystem>

#include "engine/screen_drawing.h"
#include "engine/thumbnails.h"
#include "gfx/image.h"
#include "gfx/image_decode.h"

namespace sw {

namespace {

std::string Normal(const std::string& path) {
    return std::filesystem::path(path).lexically_normal().string();
}

}  // namespace

std::vector<int> ScreensUsingImages(const ThemeModule& module,
                                    const std::vector<std::string>& paths) {
    std::vector<std::string> wanted;
    for (const std::string& path : paths) {
        wanted.push_back(Normal(path));
    }
    const auto isWanted = [&wanted](const std::string& image) {
        return std::find(wanted.begin(), wanted.end(), Normal(image)) != wanted.end();
    };
    std::vector<int> screens;
    for (const ThemePackage& screen : module.screens) {
        if (std::any_of(screen.elements.begin(), screen.elements.end(),
                        [&isWanted](const ThemeElement& element) {
                            return std::any_of(element.images.begin(), element.images.end(),
                                               isWanted);
                        })) {
            screens.push_back(screen.index);
        }
    }
    return screens;
}

bool ModuleUsesImage(const ThemeModule& module, const std::string& path) {
    return !ScreensUsingImages(module, {path}).empty();
}

bool IsDecodableImage(const std::string& path) {
    gfx::Image image;
    return gfx::DecodeImage(path, &image);
}

std::vector<std::string> RedrawModulesUsing(ThemeProject& project,
                                            const std::vector<std::string>& images) {
    std::vector<std::string> drawn;
    for (const auto& module : project.modules()) {
        std::string pageName;
        if (!module->PageName(pageName)) {
            continue;
        }
        const std::vector<int> screens = ScreensUsingImages(*module, images);
        // RedrawTheseScreens logs the screen that failed.
        if (screens.empty() ||
            !RedrawScreensWithThumbnails(*module, screens, project.thumbnail_width(),
                                         project.thumbnail_height())) {
            continue;
        }
        drawn.push_back(pageName);
    }
    return drawn;
}

}  // namespace sw
