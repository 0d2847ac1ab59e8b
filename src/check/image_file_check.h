// The image files of a module's drawable folders: each must hold what its
// name says (PNG for .png, JPEG for .jpg), decode whole, and a .9.png must
// carry valid nine-patch marks.
#pragma once

#include <map>
#include <string>

#include "check/finding.h"
#include "gfx/decoded_pictures.h"
#include "gfx/geometry.h"

namespace sw::check {

// The sizes of the image files that decoded, by absolute path.
using ImageSizes = std::map<std::string, gfx::Size>;

// Checks every file of content/res/drawable-* below the module folder and
// adds an ERROR for each fault. The sizes of the sound files go to sizes.
// Pictures are decoded through pictures, which keeps those a later step
// (a pack) has asked for.
void CheckImageFiles(const std::string& modulePath, const std::string& moduleName,
                     Findings& findings, ImageSizes& sizes, gfx::DecodedPictures& pictures);

}  // namespace sw::check
