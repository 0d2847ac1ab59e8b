// The words that follow the adb program (and "-s SERIAL") for every phone
// operation. Paths are single words, never quoted; the phone folder of the
// themes is written exactly as the phone's theme app expects it.
#pragma once

#include <string>
#include <vector>

namespace sw::device {

// The phone folder that receives pushed themes: doubled slashes, no trailing
// slash. A theme goes into its sub-folder named by its resource number.
inline constexpr const char* kThemeSuiteDir = "//sdcard//.QuindoTheme//Download//themesuite";

// The phone's theme app, stopped after a push so that it looks again.
inline constexpr const char* kThemeCenterPackage = "com.quindo.themecenter";
// The icon-name reader app and the file it writes on the phone.
inline constexpr const char* kIconReaderPackage = "com.pellor.vivederedodudo";
inline constexpr const char* kIconReaderApkName = "ViveDereDodudo.apk";
inline constexpr const char* kPhoneIconNamesFile = "sdcard/iconNames.xml";

// kThemeSuiteDir, "//" and the resource number.
std::string ThemeFolderOnPhone(const std::string& resourceNumber);

// The icon reader's package file in the data folder.
std::string IconReaderApk();

std::vector<std::string> ListDevicesCommand();
std::vector<std::string> RemoveThemeDirCommand(const std::string& resourceNumber);
std::vector<std::string> PushThemeCommand(const std::string& folder,
                                          const std::string& resourceNumber);
std::vector<std::string> StopThemeCenterCommand();
std::vector<std::string> InstallIconReaderCommand(const std::string& apk);
std::vector<std::string> LaunchIconReaderCommand();
std::vector<std::string> CopyIconReaderApkCommand(const std::string& apk);
// The phone's icon-name file copied to destination (a file path).
std::vector<std::string> PullIconNamesCommand(const std::string& destination);

}  // namespace sw::device
