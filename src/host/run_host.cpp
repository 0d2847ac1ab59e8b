#include "host/run_host.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"
#include "host/alerts.h"
#include "host/browser_start.h"
#include "host/font_check.h"
#include "host/host.h"
#include "host/project_tasks.h"
#include "host/running_work.h"
#include "host/start_ready.h"

namespace sw::host {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// Ends the windows on SIGINT or SIGTERM so that the run ends in order.
class SignalWatch {
  public:
    explicit SignalWatch(Host& host) : host_(host) {
        sigemptyset(&signals_);
        sigaddset(&signals_, SIGINT);
        sigaddset(&signals_, SIGTERM);
        sigaddset(&signals_, SIGUSR1);
        pthread_sigmask(SIG_BLOCK, &signals_, &previous_);
        thread_ = std::thread([this] {
            for (;;) {
                int signal = 0;
                if (sigwait(&signals_, &signal) != 0 || done_.load()) {
                    return;
                }
                if (signal == SIGINT || signal == SIGTERM) {
                    LogInfo("signal %d: closing the windows\n", signal);
                    interrupted_ = true;
                    host_.start_window().End("cancel");
                    host_.main_window().End("cancel");
                }
            }
        });
    }

    ~SignalWatch() {
        done_ = true;
        pthread_kill(thread_.native_handle(), SIGUSR1);
        thread_.join();
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }

    bool interrupted() const { return interrupted_.load(); }

  private:
    Host& host_;
    sigset_t signals_;
    sigset_t previous_;
    std::atomic<bool> done_{false};
    std::atomic<bool> interrupted_{false};
    std::thread thread_;
};

void WaitForWindow(Window& window) {
    window.WaitForEnd(nullptr, std::chrono::seconds(1));
}

// The editor closed: its popups end (a pack stops), and the start page comes
// only when no pack or push is left running, since its ready work empties
// their folders.
void WaitForEditorWork(Host& host, const SignalWatch& signals) {
    while (!host.stopping() && !signals.interrupted()) {
        const bool popupsGone = host.EndPopupsOf(host.main_window());
        if (popupsGone && RunningWork().empty()) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

}  // namespace

SwitchAction ParseSwitches(const std::vector<std::string>& switches, std::string& unknown) {
    SwitchAction action = SwitchAction::kRun;
    for (const std::string& item : switches) {
        std::string name = item;
        while (!name.empty() && (name[0] == '/' || name[0] == '-')) {
            name.erase(0, 1);
        }
        name = Lower(name);
        if (name == "embedding" || name == "automation") {
            continue;
        }
        if (name == "register" || name == "regserver" || name == "registerperuser" ||
            name == "regserverperuser") {
            action = SwitchAction::kRegister;
        } else if (name == "unregister" || name == "unregserver" || name == "unregisterperuser" ||
                   name == "unregserverperuser") {
            action = SwitchAction::kUnregister;
        } else if (unknown.empty()) {
            unknown = item;
        }
    }
    return action;
}

int RunHost(const ServeOptions& options) {
    std::string unknown;
    switch (ParseSwitches(options.switches, unknown)) {
        case SwitchAction::kRegister:
            LogInfo("automation registration is not used here; nothing to register\n");
            return 0;
        case SwitchAction::kUnregister:
            LogInfo("automation registration is not used here; nothing to unregister\n");
            return 0;
        case SwitchAction::kRun:
            break;
    }
    if (!unknown.empty()) {
        LogWarn("unknown switch %s ignored\n", unknown.c_str());
        std::fprintf(stderr, "skinwright: %s is not a known switch; it is ignored\n",
                     unknown.c_str());
    }

    CheckThemeFont();
    MakeFolderPath(WorkFolder());

    CommandTables tables;
    if (!BuildStandardCommandTables(tables)) {
        std::fprintf(stderr, "skinwright: the command tables are broken (see runtime.log)\n");
        return 1;
    }
    HostOptions hostOptions;
    hostOptions.port = options.port;
    hostOptions.update_server = options.update_server;
    Host host(hostOptions, std::move(tables));
    SignalWatch signals(host);
    if (!host.Start()) {
        std::fprintf(stderr, "skinwright: cannot start the web server (see runtime.log)\n");
        return 1;
    }
    if (!options.open_project.empty()) {
        // The start window is skipped, its ready work is not.
        StartReadyWork(host);
    }
    const bool startWithMain =
        !options.open_project.empty() && OpenProjectAtStart(options.open_project);
    if (!options.open_project.empty() && !startWithMain) {
        std::fprintf(stderr, "skinwright: cannot open %s (see runtime.log)\n",
                     options.open_project.c_str());
        // As after a failed open in the start window: the warning over it.
        host.StartTask([&host] { ShowWarningAlert(host, "打开主题包失败。"); });
    }

    const std::string address = host.Address();
    std::printf("Skinwright is running at %s\n", address.c_str());
    std::fflush(stdout);
    // The start page stays until the run ends: a browser that starts slowly
    // still finds it.
    std::unique_ptr<BrowserStartFile> startPage;
    if (options.open_browser) {
        startPage = OpenBrowserAt(address);
        if (!startPage) {
            std::fprintf(stderr, "skinwright: cannot open the browser; open the address above\n");
        }
    }

    // The start page, then the editor; closing the editor comes back to the
    // start page, and the run ends when the start page is closed.
    bool showMain = startWithMain;
    for (;;) {
        if (!showMain) {
            LogInfo("init theme start dlg...\n");
            host.start_window().Reopen();
            if (signals.interrupted()) {
                break;
            }
            host.SetTopWindow(host.start_window());
            WaitForWindow(host.start_window());
            // A start window ended by a failure to show it counts as not cancelled.
            showMain = host.start_window().result() == "ok" && !signals.interrupted();
        }
        if (!showMain) {
            break;
        }
        LogInfo("init skinwright dlg...\n");
        host.main_window().Reopen();
        if (signals.interrupted()) {
            break;
        }
        host.SetTopWindow(host.main_window());
        WaitForWindow(host.main_window());
        if (signals.interrupted() || host.stopping()) {
            break;
        }
        LogInfo("close skinwright dlg: back to the start window\n");
        WaitForEditorWork(host, signals);
        showMain = false;
    }
    host.TellPagesClosed();
    host.Stop();
    return 0;
}

}  // namespace sw::host
