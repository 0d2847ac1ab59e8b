// Runs the built skinwright program as a user or a script runs it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/process.h"
#include "core/temp_folder.h"

namespace sw::test {

struct Outcome {
    int exit_code = -1;  // -1: still running at the time limit, and killed
    std::string out;
    std::string err;
};

// Runs the program with args; standard output and error kept apart (error
// through a file in folder).
inline Outcome RunProgram(const TempFolder& folder, const std::vector<std::string>& args,
                          int timeoutMs = 60000) {
    const std::string err = folder / "stderr.txt";
    std::vector<std::string> argv = {"/bin/sh", "-c", "exec \"$0\" \"$@\" 2>\"$SW_TEST_STDERR\"",
                                     SKINWRIGHT_PROGRAM};
    argv.insert(argv.end(), args.begin(), args.end());
    ::setenv("SW_TEST_STDERR", err.c_str(), 1);
    ProcessRunner runner;
    EXPECT_TRUE(runner.Run(argv, timeoutMs));
    return {runner.exit_code(), runner.output(), ReadText(err)};
}

}  // namespace sw::test
