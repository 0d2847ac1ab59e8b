// skinwright push ARCHIVE.zip [--serial SERIAL]: installs a packed theme on
// a phone as the start window's push does, and prints the phone folder it
// wrote. skinwright devices: the phones attached, one a line.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/subcommand.h"
#include "core/files.h"
#include "device/attached_phones.h"
#include "device/push_lock.h"
#include "device/theme_push.h"

namespace sw::app {

namespace {

using device::PhoneFailure;
using device::PhoneOutcome;
using device::PushStep;

// The step a push is at, as one line rewritten in place; shown only when
// standard error is a terminal.
class ProgressLine {
  public:
    ProgressLine() : shown_(::isatty(STDERR_FILENO) == 1) {}
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;
    ~ProgressLine() { Clear(); }

    void Show(PushStep step, std::uint64_t bytes) {
        if (shown_) {
            std::fprintf(stderr, "\r\033[K[%d/5] %s ...", static_cast<int>(step) + 1,
                         device::PushStepConsoleText(step, bytes).c_str());
            std::fflush(stderr);
        }
    }

    void Clear() {
        if (shown_) {
            std::fputs("\r\033[K", stderr);
            std::fflush(stderr);
        }
    }

  private:
    bool shown_;
};

int Fail(const PhoneOutcome& outcome) {
    std::fprintf(stderr, "skinwright: %s\n", device::ConsoleText(outcome).c_str());
    return 1;
}

int RunPush(const std::string& archive, const std::string& serial, const std::string& home) {
    std::error_code error;
    const std::string path = std::filesystem::absolute(archive, error).lexically_normal().string();
    if (!PrepareHome(home)) {
        return 1;
    }
    if (!IsFile(path)) {
        return Fail({PhoneFailure::kArchiveMissing, archive});
    }
    const device::PushLock lock = device::PushLock::TryTake();
    if (!lock.held()) {
        return Fail({lock.busy() ? PhoneFailure::kBusy : PhoneFailure::kStagingFailed, ""});
    }
    ProgressLine line;
    line.Show(PushStep::kCheckingPhone, 0);
    const device::PhoneSearch search = device::FindPhone(serial);
    if (!search.outcome.ok()) {
        line.Clear();
        return Fail(search.outcome);
    }
    const device::PushResult result =
        device::PushTheme(lock, path, search.serial,
                          [&line](PushStep step, std::uint64_t bytes) { line.Show(step, bytes); });
    line.Clear();
    if (!result.outcome.ok()) {
        return Fail(result.outcome);
    }
    std::printf("%s\n", result.phone_folder.c_str());
    return 0;
}

int RunDevices(const std::string& home) {
    if (!PrepareHome(home)) {
        return 1;
    }
    std::vector<device::AttachedPhone> phones;
    const PhoneOutcome listed = device::ListPhones(phones);
    if (!listed.ok()) {
        return Fail(listed);
    }
    for (const device::AttachedPhone& phone : phones) {
        std::printf("%s\t%s\n", phone.serial.c_str(), phone.state.c_str());
    }
    if (phones.empty()) {
        std::fprintf(stderr, "skinwright: %s\n",
                     device::ConsoleText({PhoneFailure::kNoPhone, ""}).c_str());
    }
    return 0;
}

void AddPush(CLI::App& app, int& exitCode) {
    struct Options {
        std::string archive;
        std::string serial;
        std::string home;
    };
    static Options options;
    CLI::App* command = app.add_subcommand(
        "push",
        "Install a packed theme (.zip) on the phone attached by USB; prints the phone folder "
        "it went to");
    command->add_option("archive", options.archive, "The packed theme (.zip)")->required();
    command->add_option("--serial", options.serial,
                        "The phone to use when several are attached (see skinwright devices)");
    AddHomeOption(command, options.home);
    command->callback(
        [&exitCode] { exitCode = RunPush(options.archive, options.serial, options.home); });

    static std::string devicesHome;
    CLI::App* devices = app.add_subcommand(
        "devices", "List the phones attached, with their state (device, unauthorized, offline)");
    AddHomeOption(devices, devicesHome);
    devices->callback([&exitCode] { exitCode = RunDevices(devicesHome); });
}

const SubcommandRegistrar registrar(AddPush);

}  // namespace

}  // namespace sw::app
