#include "gfx/decoded_pictures.h"

#include <sys/stat.h>

#include "gfx/image_decode.h"

namespace sw::gfx {

bool DecodedPictures::IdentityOf(const std::string& path, FileIdentity& identity) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return false;
    }
    identity = {
        static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino),
        static_cast<unsigned long long>(info.st_size), static_cast<long long>(info.st_mtim.tv_sec),
        static_cast<long long>(info.st_mtim.tv_nsec)};
    return true;
}

void DecodedPictures::Keep(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_[path].keep = true;
}

std::shared_ptr<const Image> DecodedPictures::Decode(const std::string& path) {
    FileIdentity identity;
    const bool known = IdentityOf(path, identity);
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
        return nullptr;
    }
    if (entry.keep && known) {
        entry.identity = identity;
        entry.picture = picture;
    }
    return picture;
}

void DecodedPictures::Release(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = entries_.find(path);
    if (found != entries_.end()) {
        found->second.keep = false;
        found->second.picture.reset();
    }
}

std::size_t DecodedPictures::DecodeCount(const std::string& path) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = entries_.find(path);
    return found == entries_.end() ? 0 : found->second.decodes;
}

bool DecodedPictures::KeptSize(const std::string& path, int& width, int& height) const {
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
