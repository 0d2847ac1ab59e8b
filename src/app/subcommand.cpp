#include "app/subcommand.h"

#include <cstdio>
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
    if (LogInfo("skinwright %s, home folder %s\n", SKINWRIGHT_VERSION, HomePath().c_str()) < 0) {
        std::fprintf(stderr, "skinwright: cannot use the home folder %s\n", HomePath().c_str());
        return false;
    }
    return true;
}

}  // namespace sw::app
