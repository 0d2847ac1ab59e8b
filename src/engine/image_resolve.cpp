#include "engine/image_resolve.h"

#include <cstring>

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

int ImageKindOf(const std::string& path) {
    for (const Suffix& suffix : {kSuffixes[2], kSuffixes[0]}) {
        const std::size_t length = std::strlen(suffix.text);
        if (path.size() >= length && path.compare(path.size() - length, length, suffix.text) == 0) {
            return suffix.kind;
        }
    }
    return kImageKindPng;
}

gfx::Premultiply DrawingRuleOf(int kind) {
    return kind == kImageKindNinePatch ? gfx::Premultiply::kKeepBorder : gfx::Premultiply::kAll;
}

std::string FindImageFile(const std::string& modulePath, const std::string& baseName, int* kind) {
    for (const char* folder : kImageFolders) {
        const std::string stem =
            FormatString("%s/%s/%s", modulePath.c_str(), folder, baseName.c_str());
        for (const Suffix& suffix : kSuffixes) {
            const std::string path = stem + suffix.text;
            // An image is used only when it is a file of the project, not
            // a FIFO or a link out of the project.
            if (IsProjectFile(FolderOf(modulePath), path)) {
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
        if (IsProjectFile(FolderOf(modulePath), path)) {
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
        const auto known = sizes->sizes.find(image.path);
        if (known != sizes->sizes.end()) {
            image.width = known->second.width;
            image.height = known->second.height;
            return true;
        }
    }
    gfx::Size size;
    if (sizes != nullptr && sizes->headers_only) {
        gfx::ImageInfo info;
        if (!gfx::ReadImageInfo(image.path, &info)) {
            LogError("can't get size info of '%s'\n", image.path.c_str());
            return false;
        }
        size = gfx::Size{info.width, info.height};
        sizes->to_decode.push_back(image.path);
    } else {
        gfx::Image decoded;
        if ((sizes != nullptr && sizes->unreadable.count(image.path) != 0) ||
            !gfx::DecodeImage(image.path, &decoded)) {
            LogError("can't get size info of '%s'\n", image.path.c_str());
            return false;
        }
        size = decoded.size();
    }
    image.width = size.width;
    image.height = size.height;
    if (sizes != nullptr) {
        sizes->sizes.emplace(image.path, size);
    }
    return true;
}

}  // namespace sw
