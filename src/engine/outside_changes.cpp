#include "engine/outside_changes.h"

#include <algorithm>
#include <filesystem>

#include "engine/image_resolve.h"
#include "engine/kept_pictures.h"
#include "engine/screen_drawing.h"
#include "engine/thumbnails.h"

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

// Read as the screens will draw it, so that their drawing finds the picture
// kept.
bool IsDecodableImage(const std::string& path) {
    return DrawingPictureOf(path, ImageKindOf(path)) != nullptr;
}

std::vector<std::string> RedrawModulesUsing(ThemeProject& project,
                                            const std::vector<std::string>& images,
                                            const ShownScreen& shown,
                                            const std::function<void()>& shownDrawn) {
    // The module shown is drawn before the others.
    std::vector<std::pair<ThemeModule*, std::string>> modules;
    for (const auto& module : project.modules()) {
        std::string pageName;
        if (module->PageName(pageName)) {
            const auto at = pageName == shown.module ? modules.begin() : modules.end();
            modules.insert(at, {module.get(), pageName});
        }
    }
    std::vector<std::string> drawn;
    for (const auto& [module, pageName] : modules) {
        std::vector<int> screens = ScreensUsingImages(*module, images);
        const auto shownAt = std::find(screens.begin(), screens.end(), shown.screen);
        const bool showsIt = pageName == shown.module && shownAt != screens.end();
        if (showsIt) {
            std::rotate(screens.begin(), shownAt, shownAt + 1);
        }
        const auto done = [&, showsIt](const ThemePackage& screen) {
            if (showsIt && screen.index == shown.screen && shownDrawn != nullptr) {
                shownDrawn();
            }
            return true;
        };
        // RedrawTheseScreens logs the screen that failed.
        if (screens.empty() ||
            !RedrawScreensWithThumbnails(*module, screens, project.thumbnail_width(),
                                         project.thumbnail_height(), done)) {
            continue;
        }
        drawn.push_back(pageName);
    }
    return drawn;
}

}  // namespace sw
