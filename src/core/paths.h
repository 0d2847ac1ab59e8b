// Where the program finds its own data and where it writes.
//
// The data folder holds template/ and the optional font, icon-reader app and
// adb. It is the executable's folder when that holds template/ (a build
// tree), else share/skinwright beside the executable's bin/ (an installed
// program).
//
// The program writes in two layouts:
//   - all in one folder, named by --home DIR or SKINWRIGHT_HOME (tests,
//     portable use, run.sh): DIR/runtime.log, DIR/iconNames.xml, DIR/work/,
//     DIR/tmp/, DIR/themetool/;
//   - otherwise the user's XDG base folders: runtime.log and iconNames.xml in
//     ${XDG_STATE_HOME:-~/.local/state}/skinwright/, tmp/ and themetool/ in
//     ${XDG_CACHE_HOME:-~/.cache}/skinwright/, new projects in ~/Skinwright/.
#pragma once

#include <string>

namespace sw {

// Paths hold at most this many bytes; a longer one is refused.
inline constexpr std::size_t kPathCapacity = 511;

// True when path fits kPathCapacity; otherwise an ERROR line is logged and the
// result is false.
bool CheckPathCapacity(const std::string& path);

// The data folder, or the data folder + "/" + name; "" (with an ERROR line)
// when the result would be longer than kPathCapacity.
std::string ExePath(const std::string& name = "");

// The data folder that belongs to an executable in executableFolder: that
// folder when it holds template/, else executableFolder/../share/skinwright.
std::string DataFolderFor(const std::string& executableFolder);

// The home folder (the folder of runtime.log and iconNames.xml: --home DIR,
// else the XDG state folder), or that folder + "/" + name; "" (with an ERROR
// line) when the result would be longer than kPathCapacity or no folder can
// be found.
std::string HomePath(const std::string& name = "");

// The program's own folders and files. Every use goes through these, so
// where each one lives is decided here only.
// The pack's work area ("tmp").
std::string PackWorkFolder();
// The staging folder of a push to the phone ("themetool").
std::string PushStagingFolder();
// The app names read from the phone ("iconNames.xml").
std::string IconNamesFile();
// Where new projects go by default ("work" in the home folder, else
// ~/Skinwright).
std::string WorkFolder();

// Overrides the data folder (tests) and the home folder (--home); a relative
// folder is made absolute, and "" returns to the default.
void SetDataFolder(const std::string& folder);
void SetHomeFolder(const std::string& folder);

// What follows the last "/"; the whole path when there is none.
std::string FileNameOf(const std::string& path);

// What precedes the last "/"; the whole path when there is none.
std::string FolderOf(const std::string& path);

}  // namespace sw
