// One window of the editor: the start window, the main window or a popup.
//
// A window has an id ("start", "main", "popup-N"), the class whose command
// table its page calls, one page link (the WebSocket of the page that shows it,
// replaced when another tab takes it over) and a command thread that runs the
// page's commands one at a time in arrival order. Host-to-page calls are
// answered on the I/O thread, so a command may call its own page.
#pragma once

#include <json/value.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "host/command_table.h"
#include "host/page_link.h"

namespace sw::host {

class Host;

// A page's command waiting for the window's thread.
struct PageCommand {
    std::uint64_t id = 0;  // 0: nobody waits for the result
    std::string name;
    Json::Value args;
    std::shared_ptr<PageLink> from;  // where the result goes; null for none
};

// How a host-to-page call ended.
enum class PageCallOutcome {
    kAnswered,  // the page function returned; value holds its result
    kNoPage,    // no page was connected, it went away, or did not answer in time
    kUnknown,   // the page has no function of that name
    kThrew,     // the page function threw
    kNotSent,   // the window has no page by design (a window-less target)
};

// What the opener of a popup sets before it is shown.
struct PopupInfo {
    std::string title;
    std::string message;       // HTML fragment; when empty page_id is used
    int page_id = -1;          // HTML resource of a settings page, -1 for none
    Json::Value parameters;    // handed to the page by GetParameter; null when unset
    std::string page_address;  // the page shown in the popup's frame
    int width = 400;
    int height = 220;
};

// How many commands of a page may wait for a window's thread: a page that
// sends faster than its commands run is refused rather than let the host's
// memory grow without end.
inline constexpr std::size_t kMaxWaitingCommands = 256;

class Window {
  public:
    Window(Host& host, std::string id, WindowClass windowClass);
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    ~Window();

    const std::string& id() const { return id_; }
    WindowClass window_class() const { return class_; }
    Host& host() const { return *host_; }
    bool is_popup() const {
        return class_ == WindowClass::kPopup || class_ == WindowClass::kDialog;
    }

    // Popup fields; the root is the start or main window whose page draws
    // the popup.
    void SetPopup(PopupInfo info, Window* root);
    PopupInfo popup_info() const;
    Window* popup_root() const { return root_; }
    void SetPopupSize(int width, int height);

    // The page link. AttachPage makes link the window's page and returns the
    // page it replaced (null when none); the replaced page's pending calls fail.
    std::shared_ptr<PageLink> page() const;
    std::shared_ptr<PageLink> AttachPage(std::shared_ptr<PageLink> link);
    // Forgets link when it is still the window's page; its pending calls fail.
    void DetachPage(const std::shared_ptr<PageLink>& link);
    // Forgets and closes whatever page the window has.
    void DropPage();
    // When the window last lost its page (or was made, when it never had one).
    std::optional<std::chrono::steady_clock::time_point> page_lost_since() const;

    // Sends a message to the page when there is one; false when there is none.
    bool SendToPage(const std::string& message);

    // The command thread: run is called on it for each queued command.
    using CommandRunner = std::function<void(Window&, PageCommand&)>;
    void StartCommandThread(CommandRunner run);
    // Queues a command for the thread; false when kMaxWaitingCommands are
    // already waiting (the command is dropped; the caller tells the page).
    // A window whose thread has stopped drops the command and returns true.
    bool Enqueue(PageCommand command);
    // Runs the command in progress to its end, drops the queue and joins the
    // thread. Called from any thread but the window's own.
    void StopCommandThread();

    // A call into the page: message is {"fn":NAME,"args":[...]} or
    // {"code":TEXT}; the id is added here. Waits at most timeout for the answer.
    PageCallOutcome CallPage(Json::Value message, std::chrono::milliseconds timeout,
                             std::string& value);
    // The page's answer to call id, received from link.
    void CompleteCall(std::uint64_t id, const std::shared_ptr<PageLink>& link,
                      PageCallOutcome outcome, std::string value);

    // Ends the window with a result ("ok", "cancel") and, for dialogs, a
    // value; the first end counts. Waiters of WaitForEnd wake.
    void End(const std::string& result, const std::string& value = "");
    bool ended() const;
    // Makes an ended start or main window ready to be shown again (the
    // editor closed, back to the start page).
    void Reopen();
    std::string result() const;
    std::string end_value() const;
    // Waits until the window ended or until check (called at least every
    // poll) returns true; true when the window ended.
    bool WaitForEnd(const std::function<bool()>& check, std::chrono::milliseconds poll);

  private:
    struct PendingCall {
        std::shared_ptr<PageLink> link;
        bool done = false;
        PageCallOutcome outcome = PageCallOutcome::kNoPage;
        std::string value;
    };

    void CommandLoop();
    // Fails every pending call sent through link (all when link is null).
    void FailCallsLocked(const std::shared_ptr<PageLink>& link);

    Host* host_;
    const std::string id_;
    const WindowClass class_;
    Window* root_ = nullptr;

    mutable std::mutex mutex_;
    std::condition_variable queue_cv_;
    std::condition_variable calls_cv_;
    std::condition_variable end_cv_;
    PopupInfo popup_;
    std::shared_ptr<PageLink> link_;
    std::optional<std::chrono::steady_clock::time_point> lost_since_;
    std::deque<PageCommand> queue_;
    bool stop_ = false;
    CommandRunner runner_;
    std::thread thread_;
    std::uint64_t next_call_ = 1;
    std::map<std::uint64_t, std::shared_ptr<PendingCall>> calls_;
    bool ended_ = false;
    std::string result_;
    std::string end_value_;
};

}  // namespace sw::host
