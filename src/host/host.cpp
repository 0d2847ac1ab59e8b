#include "host/host.h"

#include <algorithm>
#include <exception>

#include "core/log.h"
#include "core/paths.h"
#include "engine/kept_pictures.h"
#include "engine/theme_project.h"
#include "host/json_text.h"
#include "host/page_text.h"

namespace sw::host {

namespace {

// The decoded pictures the editor keeps between drawings of the open
// project's screens: the template's every module fits several times over.
constexpr std::size_t kKeptPictureBytes = std::size_t{384} << 20;

std::string ValueText(const Json::Value& value) {
    if (value.isNull()) {
        return "";
    }
    if (value.isString()) {
        return FromPageText(value.asString());
    }
    return FromPageText(CompactJson(value));
}

}  // namespace

Host::Host(HostOptions options, CommandTables tables)
    : options_(std::move(options)),
      tables_(std::move(tables)),
      server_(*this, AccessSecrets()),
      start_(std::make_shared<Window>(*this, "start", WindowClass::kStart)),
      main_(std::make_shared<Window>(*this, "main", WindowClass::kMain)),
      top_(start_.get()) {
    windows_[start_->id()] = start_;
    windows_[main_->id()] = main_;
    // Previews, thumbnails and resource images live below the open project's
    // folder; the template's images below the data folder.
    image_files_.SetRootsProvider([] {
        return std::vector<std::string>{ExePath(), OpenProjectFolder()};
    });
}

Host::~Host() {
    Stop();
}

bool Host::Start() {
    if (started_) {
        return true;
    }
    if (!tables_.built() && !tables_.Build()) {
        LogError("the command tables are broken; the host does not start\n");
        return false;
    }
    if (!server_.secrets().valid()) {
        LogError("no random bits for the access token; the host does not start\n");
        return false;
    }
    if (!server_.Start(options_.port)) {
        return false;
    }
    // An edit draws its screens again from pictures already decoded.
    KeepPictures(kKeptPictureBytes);
    auto runner = [this](Window& window, PageCommand& command) { RunCommand(window, command); };
    start_->StartCommandThread(runner);
    main_->StartCommandThread(runner);
    if (options_.watch_project) {
        live_ = std::make_unique<LiveProject>(*main_, options_.watch_folder_limit);
    }
    started_ = true;
    LogInfo("host listening at http://127.0.0.1:%u/\n", static_cast<unsigned>(port()));
    return true;
}

void Host::Stop() {
    {
        std::lock_guard<std::mutex> lock(stop_mutex_);
        if (stopped_) {
            return;
        }
        stopped_ = true;
        stopping_ = true;
    }
    std::vector<std::shared_ptr<Window>> popups;
    {
        std::lock_guard<std::mutex> lock(popups_mutex_);
        popups = popups_;
    }
    for (const auto& popup : popups) {
        popup->End("cancel");
    }
    start_->End("cancel");
    main_->End("cancel");
    server_.Stop();
    std::vector<std::shared_ptr<Window>> windows;
    {
        std::lock_guard<std::mutex> lock(windows_mutex_);
        for (const auto& [id, window] : windows_) {
            windows.push_back(window);
        }
    }
    for (const auto& window : windows) {
        window->DropPage();
    }
    live_.reset();
    JoinTasks();
    start_->StopCommandThread();
    main_->StopCommandThread();
    for (const auto& window : windows) {
        window->StopCommandThread();
    }
}

void Host::TellPagesClosed() {
    std::vector<Window*> told;
    for (Window* window : {start_.get(), main_.get()}) {
        if (window->SendToPage("{\"closed\":true}")) {
            told.push_back(window);
        }
    }
    // The pages close their sockets when told; a page that does not is cut
    // off by Stop a moment later.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    for (Window* window : told) {
        while (window->page() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
}

unsigned short Host::port() const {
    return server_.port();
}

std::string Host::Address() const {
    return "http://127.0.0.1:" + std::to_string(port()) + "/?token=" + server_.secrets().token();
}

std::shared_ptr<Window> Host::FindWindow(const std::string& id) const {
    std::lock_guard<std::mutex> lock(windows_mutex_);
    auto found = windows_.find(id);
    return found == windows_.end() ? nullptr : found->second;
}

Window& Host::top_window() const {
    return *top_.load();
}

void Host::SetTopWindow(Window& window) {
    if (window.is_popup()) {
        return;
    }
    Window* previous = top_.exchange(&window);
    if (previous != &window && previous != nullptr) {
        // The tab that showed the previous window follows to the new one:
        // the editor after the start page, and back when the editor closes.
        Json::Value message;
        message["navigate"] = PageAddressOf(window);
        previous->SendToPage(CompactJson(message));
    }
}

std::string Host::PageAddressOf(const Window& window) const {
    switch (window.window_class()) {
        case WindowClass::kStart:
            return "/page/106?window=start";
        case WindowClass::kMain:
            return "/page/104?window=main";
        case WindowClass::kPopup:
        case WindowClass::kDialog:
            break;
    }
    return window.popup_info().page_address;
}

std::string Host::TopPageAddress() const {
    return PageAddressOf(top_window());
}

std::string Host::PopupOpenMessage(const Window& popup) const {
    const PopupInfo info = popup.popup_info();
    Json::Value message;
    message["popup"] = "open";
    message["window"] = popup.id();
    message["title"] = ToPageText(info.title);
    message["width"] = info.width;
    message["height"] = info.height;
    message["src"] = info.page_address;
    return CompactJson(message);
}

PopupResult Host::OpenPopup(Window* owner, PopupOptions options) {
    if (stopping()) {
        return {"cancel", ""};
    }
    Window& parent = owner != nullptr ? *owner : top_window();
    Window* root = parent.is_popup() ? parent.popup_root() : &parent;
    std::shared_ptr<Window> popup;
    {
        std::lock_guard<std::mutex> lock(windows_mutex_);
        const std::string id = "popup-" + std::to_string(next_popup_++);
        popup = std::make_shared<Window>(*this, id, options.window_class);
        windows_[id] = popup;
    }
    PopupInfo info;
    info.title = std::move(options.title);
    info.message = std::move(options.message);
    info.page_id = options.page_id;
    info.parameters = std::move(options.parameters);
    info.page_address =
        (options.page.empty() ? std::string("/page/108") : options.page) + "?window=" + popup->id();
    info.width = options.width;
    info.height = options.height;
    popup->SetPopup(std::move(info), root);
    popup->StartCommandThread(
        [this](Window& window, PageCommand& command) { RunCommand(window, command); });
    {
        std::lock_guard<std::mutex> lock(popups_mutex_);
        popups_.push_back(popup);
        root->SendToPage(PopupOpenMessage(*popup));
    }

    const auto grace = options_.lost_page_grace;
    const bool ended = popup->WaitForEnd(
        [this, root, grace] {
            if (stopping()) {
                return true;
            }
            const auto since = root->page_lost_since();
            return since && std::chrono::steady_clock::now() - *since > grace;
        },
        options_.poll);
    if (!ended) {
        if (!stopping()) {
            LogWarn("popup %s closed: no page has shown it\n", popup->id().c_str());
        }
        popup->End("cancel");
    }

    {
        std::lock_guard<std::mutex> lock(popups_mutex_);
        popups_.erase(std::remove(popups_.begin(), popups_.end(), popup), popups_.end());
        Json::Value message;
        message["popup"] = "close";
        message["window"] = popup->id();
        root->SendToPage(CompactJson(message));
    }
    {
        std::lock_guard<std::mutex> lock(windows_mutex_);
        windows_.erase(popup->id());
    }
    if (ended) {
        // The command that ended the popup finishes and its page hears the
        // result before the page is let go.
        popup->StopCommandThread();
        popup->DropPage();
    } else {
        popup->DropPage();
        popup->StopCommandThread();
    }
    return {popup->result(), popup->end_value()};
}

bool Host::EndPopupsOf(const Window& root) {
    std::vector<std::shared_ptr<Window>> open;
    {
        std::lock_guard<std::mutex> lock(popups_mutex_);
        for (const auto& popup : popups_) {
            if (popup->popup_root() == &root) {
                open.push_back(popup);
            }
        }
    }
    for (const auto& popup : open) {
        popup->End("cancel");
    }
    return open.empty();
}

void Host::ResizePopup(Window& popup, int width, int height) {
    popup.SetPopupSize(width, height);
    Window* root = popup.popup_root();
    if (root == nullptr) {
        return;
    }
    Json::Value message;
    message["popup"] = "size";
    message["window"] = popup.id();
    message["width"] = width;
    message["height"] = height;
    std::lock_guard<std::mutex> lock(popups_mutex_);
    root->SendToPage(CompactJson(message));
}

bool Host::StartTask(std::function<void()> task) {
    std::lock_guard<std::mutex> lock(tasks_mutex_);
    if (stopping()) {
        return false;
    }
    // Threads that have ended are joined here, so the list stays short.
    for (auto it = tasks_.begin(); it != tasks_.end();) {
        if (it->done->load()) {
            it->thread.join();
            it = tasks_.erase(it);
        } else {
            ++it;
        }
    }
    Task entry;
    entry.done = std::make_shared<std::atomic<bool>>(false);
    entry.thread = std::thread([task = std::move(task), done = entry.done] {
        try {
            task();
        } catch (const std::exception& error) {
            LogError("a task failed: %s\n", error.what());
        }
        done->store(true);
    });
    tasks_.push_back(std::move(entry));
    return true;
}

void Host::JoinTasks() {
    for (;;) {
        std::vector<Task> tasks;
        {
            std::lock_guard<std::mutex> lock(tasks_mutex_);
            tasks.swap(tasks_);
        }
        if (tasks.empty()) {
            return;
        }
        for (Task& task : tasks) {
            task.thread.join();
        }
    }
}

HttpReply Host::HandleHttp(const std::string& target) {
    return RouteRequest(target, *this);
}

bool Host::OnPageOpen(const std::string& windowId, std::shared_ptr<PageLink> link) {
    std::shared_ptr<Window> window = FindWindow(windowId);
    if (!window || stopping() || (window->is_popup() && window->ended())) {
        return false;
    }
    std::shared_ptr<PageLink> old;
    if (window->is_popup()) {
        old = window->AttachPage(link);
    } else {
        // The page learns which popups are open (a reloaded or reconnected
        // page drops the ones that ended meanwhile), then sees each of them.
        std::lock_guard<std::mutex> lock(popups_mutex_);
        old = window->AttachPage(link);
        Json::Value sync;
        sync["popup"] = "sync";
        sync["windows"] = Json::Value(Json::arrayValue);
        std::vector<const Window*> shown;
        for (const auto& popup : popups_) {
            if (popup->popup_root() == window.get() && !popup->ended()) {
                sync["windows"].append(popup->id());
                shown.push_back(popup.get());
            }
        }
        link->Send(CompactJson(sync));
        for (const Window* popup : shown) {
            link->Send(PopupOpenMessage(*popup));
        }
    }
    Window* top = top_.load();
    const bool editorCame = window.get() == start_.get() && top == main_.get();
    const bool editorClosed = window.get() == main_.get() && top == start_.get() && main_->ended();
    if (editorCame || editorClosed) {
        // A page of the window that is no longer on top (re)connects: it
        // follows to the one that is.
        Json::Value message;
        message["navigate"] = PageAddressOf(*top);
        link->Send(CompactJson(message));
    }
    if (old) {
        LogInfo("another tab took over window %s\n", windowId.c_str());
        old->Send("{\"takenOver\":true}");
        old->Close();
    }
    return true;
}

void Host::OnPageMessage(const std::string& windowId, const std::shared_ptr<PageLink>& link,
                         const std::string& text) {
    std::shared_ptr<Window> window = FindWindow(windowId);
    if (!window || window->page() != link) {
        return;
    }
    Json::Value message;
    if (!ParseJson(text, message) || !message.isObject()) {
        LogWarn("unreadable message from the page of %s\n", windowId.c_str());
        return;
    }
    try {
        if (message.isMember("call")) {
            PageCommand command;
            command.id = message["id"].asUInt64();
            command.name = message["call"].asString();
            command.args = message["args"];
            command.from = link;
            const std::uint64_t id = command.id;
            const std::string name = command.name;
            if (!window->Enqueue(std::move(command))) {
                LogWarn("the page of %s has %zu commands waiting: %s refused\n", windowId.c_str(),
                        kMaxWaitingCommands, name.c_str());
                if (id != 0) {
                    Json::Value reply;
                    reply["result"] = Json::Value::UInt64(id);
                    reply["error"] = "too many commands are waiting; " + name + " was not run";
                    link->Send(CompactJson(reply));
                }
            }
        } else if (message.isMember("return")) {
            const std::uint64_t id = message["return"].asUInt64();
            if (message.isMember("error")) {
                const bool unknown = message["error"].asString() == "unknown";
                window->CompleteCall(
                    id, link, unknown ? PageCallOutcome::kUnknown : PageCallOutcome::kThrew, "");
            } else {
                window->CompleteCall(id, link, PageCallOutcome::kAnswered,
                                     ValueText(message["value"]));
            }
        } else if (message.isMember("closePopup")) {
            std::shared_ptr<Window> popup = FindWindow(message["closePopup"].asString());
            if (popup && popup->is_popup() && popup->popup_root() == window.get()) {
                PageCommand command;
                command.name = "CloseWindow";
                if (!popup->Enqueue(std::move(command))) {
                    LogWarn("popup %s has %zu commands waiting: its close was refused\n",
                            popup->id().c_str(), kMaxWaitingCommands);
                }
            }
        }
    } catch (const std::exception& error) {
        LogWarn("malformed message from the page of %s: %s\n", windowId.c_str(), error.what());
    }
}

void Host::OnPageClose(const std::string& windowId, const std::shared_ptr<PageLink>& link) {
    if (std::shared_ptr<Window> window = FindWindow(windowId)) {
        window->DetachPage(link);
    }
}

void Host::RunCommand(Window& window, PageCommand& command) {
    Json::Value reply;
    reply["result"] = Json::Value::UInt64(command.id);
    const CommandRow* row = tables_.Find(window.window_class(), command.name);
    if (window.window_class() == WindowClass::kStart && window.ended()) {
        // A click that reached the start window after it ended (the editor
        // is on its way) must not start a second open or create.
        LogWarn("the start window has ended: %s not run\n", command.name.c_str());
        reply["error"] = "the start window has ended";
    } else if (row == nullptr) {
        LogWarn("the page of %s called the unknown command %s\n", window.id().c_str(),
                command.name.c_str());
        reply["error"] = "unknown command " + command.name;
    } else {
        std::vector<ArgValue> args;
        std::string error;
        if (!ConvertArguments(*row, command.args, args, error)) {
            LogWarn("command %s refused: %s\n", row->name.c_str(), error.c_str());
            reply["error"] = error;
        } else {
            try {
                CommandCall call(window, row->name, std::move(args));
                const CommandResult result = row->handler(call);
                const Json::Value value = ResultToJson(*row, result);
                if (row->result != ResultKind::kNone) {
                    reply["value"] = value;
                }
            } catch (const std::exception& failure) {
                LogError("command %s failed: %s\n", row->name.c_str(), failure.what());
                reply["error"] = "command " + row->name + " failed";
            }
        }
    }
    if (command.id != 0 && command.from) {
        command.from->Send(CompactJson(reply));
    }
}

}  // namespace sw::host
