#include "host/window.h"

#include "host/json_text.h"

namespace sw::host {

Window::Window(Host& host, std::string id, WindowClass windowClass)
    : host_(&host),
      id_(std::move(id)),
      class_(windowClass),
      lost_since_(std::chrono::steady_clock::now()) {}

Window::~Window() {
    StopCommandThread();
    DropPage();
}

void Window::SetPopup(PopupInfo info, Window* root) {
    std::lock_guard<std::mutex> lock(mutex_);
    popup_ = std::move(info);
    root_ = root;
}

PopupInfo Window::popup_info() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return popup_;
}

void Window::SetPopupSize(int width, int height) {
    std::lock_guard<std::mutex> lock(mutex_);
    popup_.width = width;
    popup_.height = height;
}

std::shared_ptr<PageLink> Window::page() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return link_;
}

std::shared_ptr<PageLink> Window::AttachPage(std::shared_ptr<PageLink> link) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::shared_ptr<PageLink> old = std::move(link_);
    link_ = std::move(link);
    lost_since_.reset();
    if (old) {
        FailCallsLocked(old);
    }
    return old;
}

void Window::DetachPage(const std::shared_ptr<PageLink>& link) {
    std::lock_guard<std::mutex> lock(mutex_);
    FailCallsLocked(link);
    if (link_ == link) {
        link_.reset();
        lost_since_ = std::chrono::steady_clock::now();
    }
}

void Window::DropPage() {
    std::shared_ptr<PageLink> old;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        old = std::move(link_);
        link_.reset();
        if (!lost_since_) {
            lost_since_ = std::chrono::steady_clock::now();
        }
        FailCallsLocked(nullptr);
    }
    if (old) {
        old->Close();
    }
}

std::optional<std::chrono::steady_clock::time_point> Window::page_lost_since() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lost_since_;
}

bool Window::SendToPage(const std::string& message) {
    std::shared_ptr<PageLink> link = page();
    if (!link) {
        return false;
    }
    link->Send(message);
    return true;
}

void Window::StartCommandThread(CommandRunner run) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (thread_.joinable()) {
        return;
    }
    runner_ = std::move(run);
    stop_ = false;
    thread_ = std::thread([this] { CommandLoop(); });
}

bool Window::Enqueue(PageCommand command) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stop_ || !thread_.joinable()) {
            return true;
        }
        if (queue_.size() >= kMaxWaitingCommands) {
            return false;
        }
        queue_.push_back(std::move(command));
    }
    queue_cv_.notify_one();
    return true;
}

void Window::StopCommandThread() {
    std::thread thread;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        queue_.clear();
        thread = std::move(thread_);
    }
    queue_cv_.notify_all();
    if (thread.joinable()) {
        if (thread.get_id() == std::this_thread::get_id()) {
            thread.detach();
        } else {
            thread.join();
        }
    }
}

void Window::CommandLoop() {
    for (;;) {
        PageCommand command;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            queue_cv_.wait(lock, [this] { return stop_ || !queue_.empty(); });
            if (stop_) {
                return;
            }
            command = std::move(queue_.front());
            queue_.pop_front();
        }
        runner_(*this, command);
    }
}

PageCallOutcome Window::CallPage(Json::Value message, std::chrono::milliseconds timeout,
                                 std::string& value) {
    value.clear();
    auto call = std::make_shared<PendingCall>();
    std::uint64_t id = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!link_) {
            return PageCallOutcome::kNoPage;
        }
        id = next_call_++;
        call->link = link_;
        calls_[id] = call;
    }
    message[message.isMember("code") ? "eval" : "invoke"] = Json::Value::UInt64(id);
    call->link->Send(CompactJson(message));

    std::unique_lock<std::mutex> lock(mutex_);
    const bool answered = calls_cv_.wait_for(lock, timeout, [&] { return call->done; });
    calls_.erase(id);
    if (!answered) {
        return PageCallOutcome::kNoPage;
    }
    value = std::move(call->value);
    return call->outcome;
}

void Window::CompleteCall(std::uint64_t id, const std::shared_ptr<PageLink>& link,
                          PageCallOutcome outcome, std::string value) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = calls_.find(id);
        if (found == calls_.end() || found->second->link != link || found->second->done) {
            return;
        }
        found->second->done = true;
        found->second->outcome = outcome;
        found->second->value = std::move(value);
    }
    calls_cv_.notify_all();
}

void Window::FailCallsLocked(const std::shared_ptr<PageLink>& link) {
    bool failed = false;
    for (auto& [id, call] : calls_) {
        if (!call->done && (!link || call->link == link)) {
            call->done = true;
            call->outcome = PageCallOutcome::kNoPage;
            failed = true;
        }
    }
    if (failed) {
        calls_cv_.notify_all();
    }
}

void Window::End(const std::string& result, const std::string& value) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (ended_) {
            return;
        }
        ended_ = true;
        result_ = result;
        end_value_ = value;
    }
    end_cv_.notify_all();
}

void Window::Reopen() {
    std::lock_guard<std::mutex> lock(mutex_);
    ended_ = false;
    result_.clear();
    end_value_.clear();
}

bool Window::ended() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return ended_;
}

std::string Window::result() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return result_;
}

std::string Window::end_value() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return end_value_;
}

bool Window::WaitForEnd(const std::function<bool()>& check, std::chrono::milliseconds poll) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (end_cv_.wait_for(lock, poll, [this] { return ended_; })) {
            return true;
        }
        lock.unlock();
        const bool give_up = check && check();
        lock.lock();
        if (ended_) {
            return true;
        }
        if (give_up) {
            return false;
        }
    }
}

}  // namespace sw::host
