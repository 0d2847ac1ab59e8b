// Starting a program with posix_spawn: the part that ProcessRunner,
// RunHidden and OpenWithShell share. Internal to the core library.
#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

namespace sw::detail {

struct SpawnOptions {
    // Descriptor that becomes the child's standard output and error; -1 keeps
    // the host's own.
    int outputFd = -1;
    // Standard input (and, with quiet, output and error) from /dev/null.
    bool nullInput = false;
    bool quiet = false;
    // The child leads a process group of its own, so that the group can be
    // ended as a whole.
    bool ownGroup = false;
};

// Starts argv[0] (looked up on PATH when it holds no "/") with every other
// descriptor of the host closed. The child's pid, or -1 with errno set when
// the program could not be started (exec failures included).
pid_t Spawn(const std::vector<std::string>& argv, const SpawnOptions& options);

// The exit code of a waitpid status: the program's own, or 128 + the signal
// that ended it.
int ExitCodeOf(int status);

// Waits for pid without limit and reaps it; its exit code, -1 on error.
int WaitForExit(pid_t pid);

}  // namespace sw::detail
