#include "core/spawn.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <cerrno>
#include <csignal>

extern char** environ;

namespace sw::detail {

namespace {

class FileActions {
  public:
    FileActions() { ok_ = ::posix_spawn_file_actions_init(&actions_) == 0; }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    ~FileActions() {
        if (ok_) {
            ::posix_spawn_file_actions_destroy(&actions_);
        }
    }
    bool ok() const { return ok_; }
    posix_spawn_file_actions_t* get() { return &actions_; }
    void Check(int result) { ok_ = ok_ && result == 0; }

  private:
    posix_spawn_file_actions_t actions_;
    bool ok_ = false;
};

class Attributes {
  public:
    Attributes() { ok_ = ::posix_spawnattr_init(&attributes_) == 0; }
    Attributes(const Attributes&) = delete;
    Attributes& operator=(const Attributes&) = delete;
    ~Attributes() {
        if (ok_) {
            ::posix_spawnattr_destroy(&attributes_);
        }
    }
    bool ok() const { return ok_; }
    posix_spawnattr_t* get() { return &attributes_; }
    void Check(int result) { ok_ = ok_ && result == 0; }

  private:
    posix_spawnattr_t attributes_;
    bool ok_ = false;
};

}  // namespace

pid_t Spawn(const std::vector<std::string>& argv, const SpawnOptions& options) {
    if (argv.empty() || argv[0].empty()) {
        errno = ENOENT;
        return -1;
    }
    FileActions actions;
    if (options.nullInput || options.quiet) {
        actions.Check(
            ::posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0));
    }
    if (options.quiet) {
        actions.Check(
            ::posix_spawn_file_actions_addopen(actions.get(), 1, "/dev/null", O_WRONLY, 0));
        actions.Check(::posix_spawn_file_actions_adddup2(actions.get(), 1, 2));
    } else if (options.outputFd >= 0) {
        actions.Check(::posix_spawn_file_actions_adddup2(actions.get(), options.outputFd, 1));
        actions.Check(::posix_spawn_file_actions_adddup2(actions.get(), options.outputFd, 2));
    }
    // Whatever else the host holds open, with or without close-on-exec, stays
    // out of the child.
    actions.Check(::posix_spawn_file_actions_addclosefrom_np(actions.get(), 3));

    Attributes attributes;
    sigset_t signals;
    sigemptyset(&signals);
    attributes.Check(::posix_spawnattr_setsigmask(attributes.get(), &signals));
    sigaddset(&signals, SIGPIPE);
    attributes.Check(::posix_spawnattr_setsigdefault(attributes.get(), &signals));
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (options.ownGroup) {
        flags |= POSIX_SPAWN_SETPGROUP;
        attributes.Check(::posix_spawnattr_setpgroup(attributes.get(), 0));
    }
    attributes.Check(::posix_spawnattr_setflags(attributes.get(), flags));
    if (!actions.ok() || !attributes.ok()) {
        errno = ENOMEM;
        return -1;
    }

    std::vector<char*> arguments;
    arguments.reserve(argv.size() + 1);
    for (const std::string& word : argv) {
        arguments.push_back(const_cast<char*>(word.c_str()));
    }
    arguments.push_back(nullptr);
    pid_t pid = -1;
    // glibc reports a failed exec as the result of posix_spawn itself, so a
    // missing or unrunnable program is never mistaken for a started one.
    int result = argv[0].find('/') == std::string::npos
                     ? ::posix_spawnp(&pid, arguments[0], actions.get(), attributes.get(),
                                      arguments.data(), environ)
                     : ::posix_spawn(&pid, arguments[0], actions.get(), attributes.get(),
                                     arguments.data(), environ);
    if (result != 0) {
        errno = result;
        return -1;
    }
    return pid;
}

int ExitCodeOf(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    if (WIFSIGNALED(status)) {
        return 128 + WTERMSIG(status);
    }
    return -1;
}

int WaitForExit(pid_t pid) {
    int status = 0;
    pid_t result;
    do {
        result = ::waitpid(pid, &status, 0);
    } while (result < 0 && errno == EINTR);
    return result == pid ? ExitCodeOf(status) : -1;
}

}  // namespace sw::detail
