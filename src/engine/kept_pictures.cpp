#include "engine/kept_pictures.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <utility>

#include "core/file_stamp.h"

namespace sw {

namespace {

struct Kept {
    FileStamp stamp;
    KeptPicture picture;
    std::size_t bytes = 0;
    std::uint64_t last_use = 0;
};

struct Store {
    std::mutex mutex;
    std::size_t room = 0;
    std::size_t bytes = 0;
    std::uint64_t uses = 0;
    std::map<std::pair<std::string, int>, Kept> pictures;

    void Drop(std::map<std::pair<std::string, int>, Kept>::iterator at) {
        bytes -= at->second.bytes;
        pictures.erase(at);
    }

    // Lets the least recently used go until wanted more bytes fit.
    bool MakeRoom(std::size_t wanted) {
        if (wanted > room) {
            return false;
        }
        while (bytes + wanted > room && !pictures.empty()) {
            auto oldest = pictures.begin();
            for (auto at = pictures.begin(); at != pictures.end(); ++at) {
                if (at->second.last_use < oldest->second.last_use) {
                    oldest = at;
                }
            }
            Drop(oldest);
        }
        return true;
    }
};

Store& Pictures() {
    static Store store;
    return store;
}

std::size_t BytesOf(const gfx::Image& image) {
    return static_cast<std::size_t>(image.stride()) * static_cast<std::size_t>(image.height());
}

}  // namespace

void KeepPictures(std::size_t bytes) {
    Store& store = Pictures();
    std::lock_guard lock(store.mutex);
    store.room = bytes;
    store.MakeRoom(0);
    if (bytes == 0) {
        store.pictures.clear();
        store.bytes = 0;
    }
}

KeptPicture KeptOrDecoded(const std::string& path, int kind,
                          const std::function<KeptPicture()>& decode) {
    Store& store = Pictures();
    const std::pair<std::string, int> key{path, kind};
    // Stamped before the read: a file written while it is read is read again
    // next time.
    const FileStamp stamp = FileStampOf(path);
    {
        std::lock_guard lock(store.mutex);
        if (store.room == 0) {
            // Nothing kept: decode below.
        } else if (auto found = store.pictures.find(key); found != store.pictures.end()) {
            if (stamp.exists && found->second.stamp == stamp) {
                found->second.last_use = ++store.uses;
                return found->second.picture;
            }
            store.Drop(found);
        }
    }
    KeptPicture picture = decode();
    if (picture == nullptr || !stamp.exists) {
        return picture;
    }
    std::lock_guard lock(store.mutex);
    const std::size_t bytes = BytesOf(*picture);
    if (store.room > 0 && !store.pictures.contains(key) && store.MakeRoom(bytes)) {
        store.pictures[key] = Kept{stamp, picture, bytes, ++store.uses};
        store.bytes += bytes;
    }
    return picture;
}

void ForgetPictures(const std::vector<std::string>& paths) {
    Store& store = Pictures();
    std::lock_guard lock(store.mutex);
    for (auto at = store.pictures.begin(); at != store.pictures.end();) {
        auto next = std::next(at);
        for (const std::string& path : paths) {
            if (at->first.first == path) {
                store.Drop(at);
                break;
            }
        }
        at = next;
    }
}

KeptPictureCount CountKeptPictures() {
    Store& store = Pictures();
    std::lock_guard lock(store.mutex);
    return {store.pictures.size(), store.bytes};
}

}  // namespace sw
