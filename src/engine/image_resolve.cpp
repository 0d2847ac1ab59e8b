#include "engine/image_resolve.h"

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"
#include "core/project_entry.h"
#include "core/text.h"
#include "gfx/image_decode.h"

namespace sw {

namespace {

struct Suffix {
    const char* text;
    int kind;
};

constexpr const char* kImageFolders[] = {"content/res/drawable-xxhdpi",
                                         "content/res/drawable-nodpi"};
constexpr Suffix kSuffixes[] = {
    {".jpg", kImageKindJpeg},
    {".png", kImageKindPng},
    {".9.png", kImageKindNinePatch},
};

}  // namespace

bool ResolveImage(const ModuleContext& context, const std::string& baseName, bool readSize,
                  ResolvedImage& image, ImageSizeCache* sizes) {
    bool found = false;
    for (const char* folder : kImageFolders) {
        const std::string stem =
            FormatString("%s/%s/%s", context.module_path.c_str(), folder, baseName.c_str());
        for (const Suffix& suffix : kSuffixes) {
            const std::string path = stem + suffix.text;
            // An image is used only when it is a file of the project, not
            // a FIFO or a link out of the project.
            if (IsProjectFile(FolderOf(context.module_path), path)) {
                image.path = path;
                image.kind = suffix.kind;
                found = true;
                break;
            }
        }
        if (found) {
            break;
        }
    }
    if (!found) {
        LogError("image '%s' not found.\n", baseName.c_str());
        return false;
    }
    if (!readSize) {
        return true;
    }
    if (sizes != nullptr) {
        const auto known = sizes->find(image.path);
        if (known != sizes->end()) {
            image.width = known->second.width;
            image.height = known->second.height;
            return true;
        }
    }
    gfx::Image decoded;
    if (!gfx::DecodeImage(image.path, &decoded)) {
        LogError("can't get size info of '%s'\n", image.path.c_str());
        return false;
    }
    image.width = decoded.width();
    image.height = decoded.height();
    if (sizes != nullptr) {
        sizes->emplace(image.path, decoded.size());
    }
    return true;
}

}  // namespace sw
