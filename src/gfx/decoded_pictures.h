// Pictures decoded once and handed to everyone who needs them in one run:
// the check decodes every image of a project to see that it is sound, and a
// pack then resizes some of the same files. The pictures a later step will
// want are marked beforehand; the cache keeps those once decoded and lets
// the others go at once, so a check of a large project holds no more than it
// did; of the others it remembers only that they are sound, so a check after
// an open that drew them decodes them no more. Pictures are decoded with every
// pixel premultiplied (Premultiply::kAll).
// Safe to use from several threads at once.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "core/file_stamp.h"
#include "gfx/image.h"

namespace sw::gfx {

class DecodedPictures {
  public:
    // The picture of the file at path (a real path, as the caller reads it)
    // is kept once decoded, until Release.
    void Keep(const std::string& path);
    // The file's picture: the kept one when the file is still the one that
    // was decoded (same inode, size and time), else decoded now. Null when
    // the file is no sound PNG or JPEG.
    std::shared_ptr<const Image> Decode(const std::string& path);
    // Whether the file at path is a sound PNG or JPEG, and its size: known
    // without decoding when this cache decoded the same file (same inode,
    // size and time) before, even when its picture went; else decoded now as
    // Decode does.
    bool IsSound(const std::string& path, Size& size);
    // Lets the picture go once its last user has it no more.
    void Release(const std::string& path);
    // How often the file at path was decoded through this cache.
    std::size_t DecodeCount(const std::string& path) const;
    // The file's size in pixels from a kept picture, without decoding.
    bool KeptSize(const std::string& path, int& width, int& height) const;

  private:
    struct Entry {
        bool keep = false;
        FileStamp identity;
        std::shared_ptr<const Image> picture;
        std::size_t decodes = 0;
        bool decoding = false;
        // The last sound decode: of which file, and its size.
        bool sound = false;
        FileStamp sound_identity;
        Size size;
    };

    mutable std::mutex mutex_;
    // Signalled when a decode ends: a second asker of the same file waits
    // for the first instead of decoding it too.
    std::condition_variable decoded_;
    std::map<std::string, Entry> entries_;
};

}  // namespace sw::gfx
