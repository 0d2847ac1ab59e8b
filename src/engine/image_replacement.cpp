#include "engine/image_replacement.h"

#include <cstdlib>

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"
#include "engine/icon_exclusion_list.h"
#include "engine/screen_drawing.h"
#include "engine/thumbnails.h"
#include "gfx/image_decode.h"

namespace sw {

namespace {

constexpr const char* kNoDpiFolder = "content/res/drawable-nodpi";
constexpr const char* kXxhdpiFolder = "content/res/drawable-xxhdpi";

// True when source is a whole image file: checked before anything is
// copied, so a truncated or foreign file never replaces the module's only
// copy of an image (which would leave the module unopenable).
bool IsReadableImage(const std::string& source) {
    gfx::Image image;
    if (IsFile(source) && gfx::DecodeImage(source, &image)) {
        return true;
    }
    LogError("save theme image %s refused: not a readable image\n", source.c_str());
    return false;
}

bool CopyImage(const std::string& source, const std::string& destination) {
    // A folder chosen as the source would be copied as a whole tree in place
    // of the image file. The copy is written beside the old file and renamed
    // over it.
    if (!IsFile(source) || !CopyPath(source, destination)) {
        LogError("save theme image %s -> %s failed\n", source.c_str(), destination.c_str());
        return false;
    }
    return true;
}

bool CopyOverIcon(const ThemeElement& element, const std::string& source) {
    for (const std::string& image : element.images) {
        if (!CopyImage(source, image)) {
            return false;
        }
        std::string twin;
        if (NoDpiTwin(image, twin) && !CopyImage(source, twin)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool NoDpiTwin(const std::string& path, std::string& twin) {
    const std::size_t folder = path.find(kNoDpiFolder);
    if (folder == std::string::npos) {
        return false;
    }
    const std::string rest = path.substr(folder + std::char_traits<char>::length(kNoDpiFolder));
    std::size_t extension = rest.find(".9.png");
    if (extension == std::string::npos) {
        extension = rest.rfind('.');
    }
    if (extension == std::string::npos) {
        return false;
    }
    const std::string name = rest.substr(0, extension);
    const std::string suffix = "_no";
    if (name.size() <= 3 || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return false;
    }
    twin = path.substr(0, folder) + kXxhdpiFolder + name.substr(0, name.size() - suffix.size()) +
           rest.substr(extension);
    return true;
}

bool ReplaceImage(ThemeProject& project, const std::string& moduleName, int screenId, int elementId,
                  int imageIndex, const std::string& sourcePath,
                  const ShownScreenDrawn& shownDrawn) {
    const ThemeModule* module = project.FindModule(moduleName);
    if (module == nullptr) {
        return false;
    }
    const ThemeElement* element = module->FindElement(screenId, elementId);
    if (element == nullptr) {
        return false;
    }
    const bool icon = element->tag == "icon";
    if (!icon &&
        (imageIndex < 0 || static_cast<std::size_t>(imageIndex) >= element->images.size())) {
        return false;
    }
    if (!IsReadableImage(sourcePath)) {
        return false;
    }
    if (icon ? !CopyOverIcon(*element, sourcePath)
             : !CopyImage(sourcePath, element->images[imageIndex])) {
        return false;
    }
    // Element 0 is the wallpaper, which every screen shows.
    const int redrawIndex = elementId > 0 ? screenId : -1;
    return RedrawWithThumbnails(*module, redrawIndex, screenId, project.thumbnail_width(),
                                project.thumbnail_height(), shownDrawn);
}

bool SaveDeleteImage(const ThemeProject& project, const std::string& moduleName, int screenId,
                     int elementId, const std::string& flag) {
    const ThemeModule* module = project.FindModule(moduleName);
    if (module == nullptr) {
        return false;
    }
    const ThemeElement* element = module->FindElement(screenId, elementId);
    if (element == nullptr) {
        return false;
    }
    if (element->tag != "icon") {
        return true;
    }
    const int choice = std::atoi(flag.c_str());
    bool listed = true;
    for (const std::string& image : element->images) {
        const std::string name = FileNameOf(image);
        if (choice == 0) {
            listed = IconExclusionList::Add(name) && listed;
        } else if (choice == 1) {
            IconExclusionList::Remove(name);
        }
    }
    return listed;
}

}  // namespace sw
