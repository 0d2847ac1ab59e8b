#include "app/subcommand.h"

#include <vector>

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"

namespace sw::app {

namespace {

std::vector<AddSubcommandFn>& Registry() {
    static std::vector<AddSubcommandFn> registry;
    return registry;
}

}  // namespace

SubcommandRegistrar::SubcommandRegistrar(AddSubcommandFn add) {
    Registry().push_back(add);
}

void AddSubcommands(CLI::App& app, int& exitCode) {
    for (AddSubcommandFn add : Registry()) {
        add(app, exitCode);
    }
}

void AddHomeOption(CLI::App* command, std::string& home) {
    command->add_option("--home", home,
                        "One folder for runtime.log, work/ and the scratch folders (default: "
                        "SKINWRIGHT_HOME, else ~/.local/state/skinwright for the log, "
                        "~/.cache/skinwright for scratch and ~/Skinwright for projects)");
}

bool PrepareHome(const std::string& home) {
    if (!home.empty()) {
        SetHomeFolder(home);
    }
    MakeFolderPath(HomePath());
    InitLogFile("runtime.log");
    // A log that cannot be written is no reason to stop: the log says so on
    // standard error itself.
    LogInfo("skinwright %s, home folder %s\n", SKINWRIGHT_VERSION, HomePath().c_str());
    return true;
}

}  // namespace sw::app
