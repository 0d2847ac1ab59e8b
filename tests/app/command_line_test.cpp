// The skinwright command line, run as a separate program.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/temp_folder.h"
#include "run_program.h"

namespace sw::test {
namespace {

// A home folder whose log cannot be written (a folder stands in its place)
// does not stop a command: it works and says once that there is no log.
TEST(CommandLineTest, AnUnwritableLogDoesNotStopACommand) {
    TempFolder folder;
    std::filesystem::create_directories(folder / "home/runtime.log");
    const Outcome run = RunProgram(folder, {"create", "--name", "unlogged", "--dir",
                                            folder / "projects", "--home", folder / "home"});
    ASSERT_NE(run.exit_code, -1);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(folder / "projects/unlogged/unlogged.wtpj"));
    const std::string said = "cannot write the log";
    const std::size_t first = run.err.find(said);
    EXPECT_NE(first, std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(said, first + 1), std::string::npos) << run.err;
}

// A word that names no command ends the program at once with the usage,
// so a script that calls it does not hang in an editor nobody sees.
TEST(CommandLineTest, AnUnknownCommandWordEndsWithTheUsage) {
    TempFolder folder;
    const std::vector<std::vector<std::string>> lines = {
        {"pakc"},
        {"pakc", "--home", folder / "home"},
        {"--home", folder / "home", "export", "theme.wtpj"},
        {"serve", "--no-browser", "pakc"},
        {"/Embedding", "upgrade"},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.front());
        const Outcome run = RunProgram(folder, line, 20000);
        ASSERT_NE(run.exit_code, -1) << "the program did not end";
        EXPECT_EQ(run.exit_code, 2);
        EXPECT_NE(run.err.find("skinwright: unknown command "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("Usage:"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

// Start-up switches still pass: the registration forms end at once with 0.
TEST(CommandLineTest, StartUpSwitchesStillPass) {
    TempFolder folder;
    for (const char* word : {"/RegServer", "-unregserver"}) {
        const Outcome run = RunProgram(folder, {word, "--home", folder / "home"});
        ASSERT_NE(run.exit_code, -1);
        EXPECT_EQ(run.exit_code, 0) << word << run.err;
    }
}

// A values file nested 200,000 elements deep once overflowed the XML
// parser's stack and killed the program; now the file is passed over with
// an ERROR line and the rest of the project opens.
TEST(CommandLineTest, OpenSurvivesADeeplyNestedValuesFile) {
    TempFolder folder;
    const Outcome created = RunProgram(folder, {"create", "--name", "deep", "--dir",
                                                folder / "projects", "--home", folder / "home"});
    ASSERT_EQ(created.exit_code, 0) << created.err;
    std::string nested;
    for (int i = 0; i < 200000; ++i) {
        nested += "<a>";
    }
    for (int i = 0; i < 200000; ++i) {
        nested += "</a>";
    }
    WriteText(folder / "projects/deep/deep/launcher/content/res/values/deep.xml",
              "<resources>" + nested + "</resources>");
    const Outcome run =
        RunProgram(folder, {"open", folder / "projects/deep/deep.wtpj", "--home", folder / "home"});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_NE(run.out.find("launcher"), std::string::npos) << run.out;
    EXPECT_NE(ReadText(folder / "home/runtime.log").find("deeper than 256 levels"),
              std::string::npos);
}

}  // namespace
}  // namespace sw::test
