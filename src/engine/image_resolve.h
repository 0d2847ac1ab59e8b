// Finding an element's image file by its base name.
#pragma once

#include <string>

#include "engine/theme_module.h"

namespace sw {

struct ResolvedImage {
    std::string path;
    int width = 0;  // read only when asked for
    int height = 0;
    int kind = kImageKindPng;
};

// Tries drawable-xxhdpi and then drawable-nodpi of the module, each with
// ".jpg", ".png" and ".9.png"; the first plain file wins. With readSize the
// image is decoded for its size. Failures are logged at ERROR.
bool ResolveImage(const ModuleContext& context, const std::string& baseName, bool readSize,
                  ResolvedImage& image);

}  // namespace sw
