// Finding an element's image file by its base name.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/theme_module.h"
#include "gfx/geometry.h"
#include "gfx/image_decode.h"

namespace sw {

struct ResolvedImage {
    std::string path;
    int width = 0;  // read only when asked for
    int height = 0;
    int kind = kImageKindPng;
};

// What one module load knows of the image files it sized.
struct ImageSizeCache {
    // Sizes by path: of files decoded whole, or, while headers_only, read
    // from their headers.
    std::map<std::string, gfx::Size> sizes;
    // Files a whole decode refused.
    std::set<std::string> unreadable;
    // Sizes are read from the file headers, and the files recorded in
    // to_decode (in the order they were first met) to be decoded whole
    // later, all side by side.
    bool headers_only = false;
    std::vector<std::string> to_decode;
};

// The kind of an image file by its name: ".9.png", ".jpg", else PNG.
int ImageKindOf(const std::string& path);

// How drawing decodes an image of a kind: 32-bit pictures premultiplied, a
// nine-patch all but its border of marks.
gfx::Premultiply DrawingRuleOf(int kind);

// Tries drawable-xxhdpi and then drawable-nodpi of the module, each with
// ".jpg", ".png" and ".9.png"; the first plain file wins. With readSize the
// image is decoded whole for its size (so a damaged file is refused here),
// unless sizes already holds the file (or, with headers_only, its header is
// read and the whole decode left to the caller). Failures are logged at
// ERROR.
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
