#include "gfx/decoded_pictures.h"

#include <stdlib.h>

#include <memory>

#include "gfx/image_decode.h"

namespace sw::gfx {

namespace {

// One file reached by two paths is one picture.
std::string KeyOf(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : path;
}

}  // namespace

void DecodedPictures::Keep(const std::string& named) {
    const std::string path = KeyOf(named);
    std::lock_guard<std::mutex> lock(mutex_);
    entries_[path].keep = true;
}

std::shared_ptr<const Image> DecodedPictures::Decode(const std::string& named) {
    const std::string path = KeyOf(named);
    const FileStamp identity = FileStampOf(path);
    const bool known = identity.exists;
    std::unique_lock<std::mutex> lock(mutex_);
    Entry& entry = entries_[path];
    decoded_.wait(lock, [&entry] { return !entry.decoding; });
    if (known && entry.picture && entry.identity == identity) {
        return entry.picture;
    }
    entry.decoding = true;
    lock.unlock();
    // Decoded outside the lock: pictures are decoded side by side.
    auto picture = std::make_shared<Image>();
    const bool decoded = DecodeImage(path, picture.get(), Premultiply::kAll);
    lock.lock();
    entry.decoding = false;
    decoded_.notify_all();
    ++entry.decodes;
    if (!decoded) {
        entry.picture.reset();
        entry.sound = false;
        return nullptr;
    }
    entry.sound = known;
    entry.sound_identity = identity;
    entry.size = picture->size();
    if (entry.keep && known) {
        entry.identity = identity;
        entry.picture = picture;
    }
    return picture;
}

bool DecodedPictures::IsSound(const std::string& named, Size& size) {
    const std::string path = KeyOf(named);
    if (const FileStamp identity = FileStampOf(path); identity.exists) {
        std::unique_lock<std::mutex> lock(mutex_);
        const auto found = entries_.find(path);
        if (found != entries_.end()) {
            Entry& entry = found->second;
            decoded_.wait(lock, [&entry] { return !entry.decoding; });
            if (entry.sound && entry.sound_identity == identity) {
                size = entry.size;
                return true;
            }
        }
    }
    const std::shared_ptr<const Image> picture = Decode(path);
    if (!picture) {
        return false;
    }
    size = picture->size();
    return true;
}

void DecodedPictures::Release(const std::string& named) {
    const std::string path = KeyOf(named);
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = entries_.find(path);
    if (found != entries_.end()) {
        found->second.keep = false;
        found->second.picture.reset();
    }
}

std::size_t DecodedPictures::DecodeCount(const std::string& named) const {
    const std::string path = KeyOf(named);
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = entries_.find(path);
    return found == entries_.end() ? 0 : found->second.decodes;
}

bool DecodedPictures::KeptSize(const std::string& named, int& width, int& height) const {
    const std::string path = KeyOf(named);
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = entries_.find(path);
    if (found == entries_.end() || !found->second.picture) {
        return false;
    }
    width = found->second.picture->width();
    height = found->second.picture->height();
    return true;
}

}  // namespace sw::gfx
