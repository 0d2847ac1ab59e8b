// Start-up and the life of the editor: the switches, the font check, the
// work folder, the host, the start window and then the main window.
#pragma once

#include <string>
#include <vector>

namespace sw::host {

struct ServeOptions {
    unsigned short port = 0;
    bool open_browser = true;
    // A project file opened as the start window would open it; the main
    // window then comes first.
    std::string open_project;
    std::string update_server;
    // Automation switches ("/Register", "-Embedding", ...).
    std::vector<std::string> switches;
};

enum class SwitchAction {
    kRun,         // no switch, or a switch of an automation client
    kRegister,    // "Register", "Regserver" and their per-user forms
    kUnregister,  // "Unregister", "Unregserver" and their per-user forms
};

// What the switches ask for (compared without regard to case, with or
// without a leading "/" or "-"). Other words do not stop the program;
// unknown names the first of them ("" when there is none).
SwitchAction ParseSwitches(const std::vector<std::string>& switches, std::string& unknown);

// Runs the editor until its last window closes (or SIGINT/SIGTERM). The home
// folder and the log are ready. Prints the address line on standard output.
// The result is the program's exit code.
int RunHost(const ServeOptions& options);

}  // namespace sw::host
