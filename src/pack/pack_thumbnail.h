// The thumbnail a packed module shows in the phone's theme list.
#pragma once

#include <string>

#include "pack/pack_tree.h"

namespace sw::pack {

inline constexpr int kThumbWidth = 316;
inline constexpr int kThumbHeight = 562;

// Scales moduleDir/preview/xxhdpi/preview1_suit.jpg of the archive, the
// whole picture into the whole thumbnail, into preview/xxhdpi/thumb.jpg of
// the same folder. False when the preview cannot be read or the thumbnail
// not made.
bool MakeModuleThumbnail(PackTree& tree, const std::string& moduleDir);

}  // namespace sw::pack
