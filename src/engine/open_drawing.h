// The drawing an open leaves to do once it answered (every screen but the
// one the editor shows first), on a thread of its own, and the state every
// reader of the pictures it writes waits on.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace sw {

class OpenDrawing {
  public:
    // pictures: the files (previews, thumbnails) the drawing writes; each is
    // pending until Drawn names it or the drawing ends.
    explicit OpenDrawing(const std::vector<std::string>& pictures);
    OpenDrawing(const OpenDrawing&) = delete;
    OpenDrawing& operator=(const OpenDrawing&) = delete;
    // Waits for the drawing to end.
    ~OpenDrawing();

    // Runs work on a thread of its own; its answer is the drawing's outcome.
    // Called once.
    void Start(std::function<bool()> work);

    // The picture at path is written.
    void Drawn(const std::string& path);

    // Whether the drawing has ended.
    bool Done() const;
    // Waits for the drawing to end; true when it succeeded.
    bool Wait() const;
    // Waits until the picture at path is no longer pending, at most limit;
    // false when it still is.
    bool WaitForPicture(const std::string& path, std::chrono::milliseconds limit) const;

  private:
    void Finish(bool outcome);

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::set<std::string> pending_;
    bool done_ = false;
    bool outcome_ = false;
    std::thread thread_;
};

}  // namespace sw
