#include "core/write_watch.h"

namespace sw {

namespace {

thread_local FileWriteWatcher* current_watcher = nullptr;

}  // namespace

ScopedWriteWatch::ScopedWriteWatch(FileWriteWatcher& watcher) : previous_(current_watcher) {
    current_watcher = &watcher;
}

ScopedWriteWatch::~ScopedWriteWatch() {
    current_watcher = previous_;
}

void NotifyBeforeWrite(const std::string& path) {
    FileWriteWatcher* watcher = current_watcher;
    if (watcher == nullptr) {
        return;
    }
    current_watcher = nullptr;
    watcher->BeforeWrite(path);
    current_watcher = watcher;
}

}  // namespace sw
