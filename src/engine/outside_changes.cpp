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

bool ModuleUsesImage(const ThemeModule& module, const std::string& path) {
    const std::string wanted = Normal(path);
    for (const ThemePackage& screen : module.screens) {
        for (const ThemeElement& element : screen.elements) {
            if (std::any_of(
                    element.images.begin(), element.images.end(),
                    [&wanted](const std::string& image) { return Normal(image) == wanted; })) {
                return true;
            }
        }
    }
    return false;
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
        if (!module->PageName(pageName) ||
            std::none_of(images.begin(), images.end(), [&module](const std::string& image) {
                return ModuleUsesImage(*module, image);
            })) {
            continue;
        }
        // RedrawScreens logs the screen that failed.
        if (!RedrawScreens(*module, -1)) {
            continue;
        }
        if (project.thumbnail_width() > 0 && project.thumbnail_height() > 0 &&
            !RenderThumbnails(*module, project.thumbnail_width(), project.thumbnail_height())) {
            continue;
        }
        drawn.push_back(pageName);
    }
    return drawn;
}

}  // namespace sw
