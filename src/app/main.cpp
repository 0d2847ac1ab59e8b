// skinwright: the theme editor's host and its headless command line.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

#include "app/subcommand.h"

namespace {

// A word that names no command of this version. Start-up switches (words
// that begin with "/" or "-") are passed on to the editor, which warns about
// the ones it does not know; any other word would start the editor in place
// of what a script asked for, so the program ends instead.
struct UnknownCommand {
    std::string word;
};

void RefuseUnknownWords(const CLI::App& app) {
    for (const std::string& word : app.remaining(true)) {
        if (word.empty() || (word[0] != '/' && word[0] != '-')) {
            throw UnknownCommand{word};
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Skinwright: design themes for Android phones - home screen, lock screen and "
        "incoming-call screen - preview them, pack them and install them on a phone."};
    app.set_version_flag("--version", std::string("skinwright ") + SKINWRIGHT_VERSION);
    app.require_subcommand(0, 1);
    int exitCode = 0;
    sw::app::AddSubcommands(app, exitCode);
    // Runs once the whole line is parsed, before any command runs.
    app.parse_complete_callback([&app] { RefuseUnknownWords(app); });
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error);
    } catch (const UnknownCommand& unknown) {
        std::fprintf(stderr, "skinwright: unknown command %s\n\n%s", unknown.word.c_str(),
                     app.help().c_str());
        return 2;
    }
    return exitCode;
}
