// Lets a caller hear of every file this thread is about to write or replace
// through WriteFileAtomic or CopyFileAtomic, before the old file is touched.
// The editor's history uses it to keep the files an edit is about to change.
#pragma once

#include <string>

namespace sw {

class FileWriteWatcher {
  public:
    virtual ~FileWriteWatcher() = default;
    // Called on the writing thread with the path as the writer was given it,
    // before anything is written. Whatever the watcher does, the write goes on.
    virtual void BeforeWrite(const std::string& path) = 0;
};

// Installs a watcher for the calling thread while it lives; the one it
// replaced (if any) hears nothing meanwhile and is put back afterwards.
class ScopedWriteWatch {
  public:
    explicit ScopedWriteWatch(FileWriteWatcher& watcher);
    ~ScopedWriteWatch();
    ScopedWriteWatch(const ScopedWriteWatch&) = delete;
    ScopedWriteWatch& operator=(const ScopedWriteWatch&) = delete;

  private:
    FileWriteWatcher* previous_;
};

// Tells the calling thread's watcher, if there is one, that path is about to
// be written. The watcher is taken away during the call, so that the files it
// writes itself are not reported to it.
void NotifyBeforeWrite(const std::string& path);

}  // namespace sw
