#include "device/icon_reader.h"

#include "core/files.h"
#include "core/log.h"
#include "device/adb.h"
#include "device/adb_commands.h"

namespace sw::device {

namespace {

// Runs the command made for the reader's package file, which must be there.
PhoneOutcome WithIconReaderApk(const std::string& serial,
                               std::vector<std::string> (*command)(const std::string& apk)) {
    const std::string apk = IconReaderApk();
    if (apk.empty() || !IsFile(apk)) {
        LogError("the icon reader %s is missing\n", apk.c_str());
        return {PhoneFailure::kIconReaderMissing, apk.empty() ? kIconReaderApkName : apk};
    }
    return OutcomeOf(RunAdb(serial, command(apk), GetAdbTimeLimits().install));
}

}  // namespace

PhoneOutcome InstallIconReader(const std::string& serial) {
    return WithIconReaderApk(serial, &InstallIconReaderCommand);
}

PhoneOutcome CopyIconReaderApk(const std::string& serial) {
    return WithIconReaderApk(serial, &CopyIconReaderApkCommand);
}

PhoneOutcome LaunchIconReader(const std::string& serial) {
    return OutcomeOf(RunAdb(serial, LaunchIconReaderCommand(), GetAdbTimeLimits().command));
}

PhoneOutcome PullIconNames(const std::string& serial, const std::string& destination) {
    const AdbResult pulled =
        RunAdb(serial, PullIconNamesCommand(destination), GetAdbTimeLimits().command);
    if (pulled.started && !pulled.timed_out && pulled.exit_code != 0 &&
        (pulled.output.find("No such file or directory") != std::string::npos ||
         pulled.output.find("does not exist") != std::string::npos)) {
        return {PhoneFailure::kNoIconList, ""};
    }
    return OutcomeOf(pulled);
}

}  // namespace sw::device
