// One push at a time: the staging folder is shared by every push of this
// program and of any other skinwright that uses the same home folder, so a
// push holds an exclusive lock on a file beside it while it runs.
#pragma once

#include <utility>

#include "core/unique_fd.h"

namespace sw::device {

class PushLock {
  public:
    // Takes the lock when nobody holds it; held() tells whether it was had,
    // busy() whether another push holds it (otherwise the lock file could not
    // be made).
    static PushLock TryTake();

    PushLock() = default;
    PushLock(PushLock&&) noexcept = default;
    PushLock& operator=(PushLock&&) noexcept = default;

    bool held() const { return fd_.valid(); }
    bool busy() const { return busy_; }

  private:
    PushLock(UniqueFd fd, bool busy) : fd_(std::move(fd)), busy_(busy) {}

    // The lock lasts as long as the descriptor is open.
    UniqueFd fd_;
    bool busy_ = false;
};

}  // namespace sw::device
