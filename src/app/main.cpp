// skinwright: the theme editor's host and its headless command line.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

#include "app/subcommand.h"

int main(int argc, char** argv) {
    CLI::App app{
        "Skinwright: design themes for Android phones - home screen, lock screen and "
        "incoming-call screen - preview them, pack them and install them on a phone."};
    app.set_version_flag("--version", std::string("skinwright ") + SKINWRIGHT_VERSION);
    app.require_subcommand(0, 1);
    int exitCode = 0;
    sw::app::AddSubcommands(app, exitCode);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error);
    }
    return exitCode;
}
