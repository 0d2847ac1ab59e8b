// The host: the web server, the editor's windows and their command tables,
// popups and tasks.
//
// The start and main windows exist for the whole run; popups come and go.
// The tab shows the current top window (start, later main); popups are drawn
// inside the tab by the bridge of that root page.
#pragma once

#include <json/value.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/folder_watch.h"
#include "host/command_table.h"
#include "host/image_files.h"
#include "host/live_project.h"
#include "host/routes.h"
#include "host/server.h"
#include "host/window.h"

namespace sw::host {

struct HostOptions {
    unsigned short port = 0;  // 0: a free port
    // How long a host-to-page call waits for the page's answer.
    std::chrono::milliseconds page_call_timeout{30000};
    // How long a popup waits for a tab when its root window has no page.
    std::chrono::milliseconds lost_page_grace{60000};
    // How often waiting popups look at their root's page.
    std::chrono::milliseconds poll{200};
    // Base address of the update server ("" for none).
    std::string update_server;
    // Whether the open project's folders are watched for other programs'
    // writes, and how many folders one watch may take at most.
    bool watch_project = true;
    std::size_t watch_folder_limit = FolderWatch::kNoLimit;
};

// What the opener of a popup gives.
struct PopupOptions {
    std::string title;
    std::string message;     // HTML fragment shown through SetMessage
    int page_id = -1;        // HTML resource shown when message is empty
    Json::Value parameters;  // for GetParameter; null when unset
    // The page in the popup's frame: "" for the popup shell page 108. The
    // window id is appended as "?window=ID".
    std::string page;
    WindowClass window_class = WindowClass::kPopup;
    int width = 400;
    int height = 220;
};

struct PopupResult {
    std::string result;  // "ok" or "cancel"
    std::string value;   // what a dialog chose
};

class Host : public ServerHandler, public RouteContext {
  public:
    // tables are built here when they were not.
    Host(HostOptions options, CommandTables tables);
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;
    ~Host() override;

    // Checks the command tables, listens and starts the windows' threads.
    // False (logged) when the tables are broken or the port cannot be had.
    bool Start();
    // Tells the root pages that the editor ends and waits (briefly) until
    // they have let go of their connections.
    void TellPagesClosed();
    // Ends every window and popup, closes every page, joins every thread.
    void Stop();
    bool stopping() const { return stopping_.load(); }

    const HostOptions& options() const { return options_; }
    const CommandTables& tables() const { return tables_; }
    unsigned short port() const;
    // "http://127.0.0.1:PORT/?token=TOKEN"
    std::string Address() const;

    Window& start_window() const { return *start_; }
    Window& main_window() const { return *main_; }
    std::shared_ptr<Window> FindWindow(const std::string& id) const;

    // The window over which alerts appear and which the tab shows.
    Window& top_window() const;
    // Makes window (start or main) the top window; when the main window
    // follows the start window, the start page is sent to the main page.
    void SetTopWindow(Window& window);
    // The page address of a window ("/page/104?window=main").
    std::string PageAddressOf(const Window& window) const;

    // Shows a popup over owner (the top window when null) and waits on the
    // calling thread until it ends. A popup whose tab stays away longer than
    // lost_page_grace ends with "cancel".
    PopupResult OpenPopup(Window* owner, PopupOptions options);
    // Ends every popup drawn over root with "cancel" (a pack in one stops);
    // true when none of them is left open.
    bool EndPopupsOf(const Window& root);
    void ResizePopup(Window& popup, int width, int height);

    // Runs task on a thread of its own; false when the host is stopping.
    bool StartTask(std::function<void()> task);

    ImageFileAccess& image_files() { return image_files_; }

    // ServerHandler
    HttpReply HandleHttp(const std::string& target) override;
    bool OnPageOpen(const std::string& windowId, std::shared_ptr<PageLink> link) override;
    void OnPageMessage(const std::string& windowId, const std::shared_ptr<PageLink>& link,
                       const std::string& text) override;
    void OnPageClose(const std::string& windowId, const std::shared_ptr<PageLink>& link) override;

    // RouteContext
    std::string TopPageAddress() const override;
    const ImageFileAccess& image_files() const override { return image_files_; }

  private:
    struct Task {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    void RunCommand(Window& window, PageCommand& command);
    std::string PopupOpenMessage(const Window& popup) const;
    void JoinTasks();

    HostOptions options_;
    CommandTables tables_;
    Server server_;
    ImageFileAccess image_files_;
    std::shared_ptr<Window> start_;
    std::shared_ptr<Window> main_;
    std::atomic<Window*> top_;
    std::atomic<bool> started_{false};
    std::atomic<bool> stopping_{false};
    std::mutex stop_mutex_;
    bool stopped_ = false;

    mutable std::mutex windows_mutex_;
    std::map<std::string, std::shared_ptr<Window>> windows_;
    int next_popup_ = 1;

    // Guards the list of open popups and every popup message to a root page,
    // so that a root page that (re)connects sees each open popup exactly once.
    std::mutex popups_mutex_;
    std::vector<std::shared_ptr<Window>> popups_;

    std::mutex tasks_mutex_;
    std::vector<Task> tasks_;
    std::unique_ptr<LiveProject> live_;
};

}  // namespace sw::host
