#include "engine/image_resolve.h"

#include "core/files.h"
#include "core/log.h"
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

std::string FindImageFile(const std::string& modulePath, const std::string& baseName, int* kind) {
    for (const char* folder : kImageFolders) {
        const std::string stem =
            FormatString("%s/%s/%s", modulePath.c_str(), folder, baseName.c_str());
        for (const Suffix& suffix : kSuffixes) {
            const std::string path = stem + suffix.text;
            if (IsFile(path)) {
                if (kind != nullptr) {
                    *kind = suffix.kind;
                }
                return path;
            }
        }
    }
    return "";
}

std::string FindFileInImageFolders(const std::string& modulePath, const std::string& fileName) {
    for (const char* folder : kImageFolders) {
        const std::string path = modulePath + "/" + folder + "/" + fileName;
        if (IsFile(path)) {
            return path;
        }
    }
    return "";
}

bool ResolveImage(const ModuleContext& context, const std::string& baseName, bool readSize,
                  ResolvedImage& image, ImageSizeCache* sizes) {
    image.path = FindImageFile(context.module_path, baseName, &image.kind);
    if (image.path.empty()) {
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
