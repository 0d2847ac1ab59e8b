// The skinwright subcommands. Each lives in its own file of this folder and
// registers itself with a SubcommandRegistrar; every subcommand takes --home.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace sw::app {

// Adds one subcommand to the program; the subcommand that runs stores the
// program's exit code in exitCode.
using AddSubcommandFn = void (*)(CLI::App& app, int& exitCode);

struct SubcommandRegistrar {
    explicit SubcommandRegistrar(AddSubcommandFn add);
};

// Registers every subcommand added by a registrar.
void AddSubcommands(CLI::App& app, int& exitCode);

// Adds --home DIR to a subcommand.
void AddHomeOption(CLI::App* command, std::string& home);

// Points the home folder at home (when set) and starts runtime.log there. A
// log that cannot be written does not stop the program (standard error says
// so once); the result is true.
bool PrepareHome(const std::string& home);

}  // namespace sw::app
