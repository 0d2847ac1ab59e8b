// skinwright serve (the default): the editor in a browser tab.
#include <CLI/CLI.hpp>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/subcommand.h"
#include "host/run_host.h"

namespace sw::app {

namespace {

struct ServeArguments {
    std::string home;
    unsigned short port = 0;
    bool no_browser = false;
    std::string open;
    std::string update_server;
    std::vector<std::string> switches;
};

void AddServeOptions(CLI::App* command, ServeArguments& args) {
    command->add_option("--port", args.port, "Port on 127.0.0.1 (default: a free one)");
    command->add_flag("--no-browser", args.no_browser, "Do not open the address in a browser");
    command->add_option("--open", args.open,
                        "Open this project file and start with the editor window");
    command->add_option("--update-server", args.update_server,
                        "Base address of the update server for the icon list "
                        "(default: SKINWRIGHT_UPDATE_SERVER)");
    AddHomeOption(command, args.home);
}

int Serve(CLI::App* command, ServeArguments& args) {
    if (!PrepareHome(args.home)) {
        return 1;
    }
    host::ServeOptions options;
    options.port = args.port;
    options.open_browser = !args.no_browser;
    options.open_project = args.open;
    options.update_server = args.update_server;
    if (options.update_server.empty()) {
        if (const char* server = std::getenv("SKINWRIGHT_UPDATE_SERVER")) {
            options.update_server = server;
        }
    }
    options.switches = command->remaining();
    return host::RunHost(options);
}

void AddServe(CLI::App& app, int& exitCode) {
    // The options live as long as the program's parse.
    static ServeArguments serveArgs;
    static ServeArguments defaultArgs;
    CLI::App* serve = app.add_subcommand(
        "serve", "Start the editor in a browser tab (the default when no command is given)");
    AddServeOptions(serve, serveArgs);
    serve->allow_extras();
    serve->callback([serve, &exitCode] { exitCode = Serve(serve, serveArgs); });

    // Without a command the program serves, with the same options.
    AddServeOptions(&app, defaultArgs);
    // Set before parsing, when every command exists: commands made later
    // would take the setting over.
    app.preparse_callback([&app](std::size_t) { app.allow_extras(); });
    app.callback([&app, &exitCode] {
        if (app.get_subcommands().empty()) {
            exitCode = Serve(&app, defaultArgs);
        }
    });
}

const SubcommandRegistrar kServe(&AddServe);

}  // namespace

}  // namespace sw::app
