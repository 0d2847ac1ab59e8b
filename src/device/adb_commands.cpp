#include "device/adb_commands.h"

#include "core/paths.h"

namespace sw::device {

std::string ThemeFolderOnPhone(const std::string& resourceNumber) {
    return std::string(kThemeSuiteDir) + "//" + resourceNumber;
}

std::string IconReaderApk() {
    return ExePath(kIconReaderApkName);
}

std::vector<std::string> ListDevicesCommand() {
    return {"devices"};
}

std::vector<std::string> RemoveThemeDirCommand(const std::string& resourceNumber) {
    return {"shell", "rm", "-r", ThemeFolderOnPhone(resourceNumber)};
}

std::vector<std::string> PushThemeCommand(const std::string& folder,
                                          const std::string& resourceNumber) {
    return {"push", folder, ThemeFolderOnPhone(resourceNumber)};
}

std::vector<std::string> StopThemeCenterCommand() {
    return {"shell", "am", "force-stop", kThemeCenterPackage};
}

std::vector<std::string> InstallIconReaderCommand(const std::string& apk) {
    return {"install", "-r", apk};
}

std::vector<std::string> LaunchIconReaderCommand() {
    return {"shell", "monkey", "-p", kIconReaderPackage, "-c", "android.intent.category.LAUNCHER",
            "1"};
}

std::vector<std::string> CopyIconReaderApkCommand(const std::string& apk) {
    return {"push", apk, "data/app"};
}

std::vector<std::string> PullIconNamesCommand(const std::string& destination) {
    return {"pull", kPhoneIconNamesFile, destination};
}

}  // namespace sw::device
