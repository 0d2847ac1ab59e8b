#include "engine/open_drawing.h"

#include <filesystem>
#include <utility>

namespace sw {

namespace {

// One name for a file however it is reached (through links, "." or "..").
std::string SameFileName(const std::string& path) {
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path : canonical.string();
}

}  // namespace

OpenDrawing::OpenDrawing(const std::vector<std::string>& pictures) {
    for (const std::string& picture : pictures) {
        pending_.insert(SameFileName(picture));
    }
}

OpenDrawing::~OpenDrawing() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void OpenDrawing::Start(std::function<bool()> work) {
    thread_ = std::thread([this, work = std::move(work)] { Finish(work()); });
}

void OpenDrawing::Finish(bool outcome) {
    {
        std::lock_guard lock(mutex_);
        pending_.clear();
        done_ = true;
        outcome_ = outcome;
    }
    changed_.notify_all();
}

void OpenDrawing::Drawn(const std::string& path) {
    const std::string name = SameFileName(path);
    {
        std::lock_guard lock(mutex_);
        pending_.erase(name);
    }
    changed_.notify_all();
}

bool OpenDrawing::Done() const {
    std::lock_guard lock(mutex_);
    return done_;
}

bool OpenDrawing::Wait() const {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return done_; });
    return outcome_;
}

bool OpenDrawing::WaitForPicture(const std::string& path, std::chrono::milliseconds limit) const {
    const std::string name = SameFileName(path);
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return pending_.count(name) == 0; });
}

}  // namespace sw
