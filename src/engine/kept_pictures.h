// Decoded pictures kept between drawings of the screens: an edit that moves
// an element or changes a colour draws its screens again from pictures
// already decoded, instead of reading every image file once more. A kept
// picture is used only while its file is as it was when it was read (same
// file, size and modification time); the least recently used go first when
// the room is full. Nothing is kept until KeepPictures gives room, so the
// command-line check and pack keep their memory.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gfx/image.h"

namespace sw {

using KeptPicture = std::shared_ptr<const gfx::Image>;

// Lets up to bytes of decoded pictures be kept; 0 keeps none and lets go of
// every one kept.
void KeepPictures(std::size_t bytes);

// The picture of path read as kind: the kept one when the file is unchanged,
// otherwise decode's (null when it cannot be read), kept when it fits.
// Callable from several threads at once.
KeptPicture KeptOrDecoded(const std::string& path, int kind,
                          const std::function<KeptPicture()>& decode);

// Lets go of the pictures of these files (written by another program).
void ForgetPictures(const std::vector<std::string>& paths);

// How many pictures and bytes are kept now.
struct KeptPictureCount {
    std::size_t pictures = 0;
    std::size_t bytes = 0;
};
KeptPictureCount CountKeptPictures();

}  // namespace sw
