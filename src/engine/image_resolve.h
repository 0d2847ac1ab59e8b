// Finding an element's image file by its base name.
#pragma once

#include <map>
#include <string>

#include "engine/theme_module.h"
#include "gfx/geometry.h"

namespace sw {

struct ResolvedImage {
    std::string path;
    int width = 0;  // read only when asked for
    int height = 0;
    int kind = kImageKindPng;
};

// Sizes of the image files decoded so far, by path, kept for the length of
// one module load.
using ImageSizeCache = std::map<std::string, gfx::Size>;

// Tries drawable-xxhdpi and then drawable-nodpi of the module, each with
// ".jpg", ".png" and ".9.png"; the first plain file wins. With readSize the
// image is decoded whole for its size (so a damaged file is refused here),
// unless sizes already holds the file. Failures are logged at ERROR.
bool ResolveImage(const ModuleContext& context, const std::string& baseName, bool readSize,
                  ResolvedImage& image, ImageSizeCache* sizes = nullptr);

// The lookup of ResolveImage alone, without a log line: the path of the
// image file the module folder holds for baseName, "" when none.
std::string FindImageFile(const std::string& modulePath, const std::string& baseName,
                          int* kind = nullptr);

// A file named with its suffix ("a.png") in the same two folders, in the
// same order; "" when neither holds it.
std::string FindFileInImageFolders(const std::string& modulePath, const std::string& fileName);

}  // namespace sw
