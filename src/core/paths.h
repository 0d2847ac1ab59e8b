// Where the program finds its own data and where it writes.
//
// The data folder is the folder of the running executable: it holds template/
// and the optional font, icon-reader app and adb. The home folder is writable
// and holds runtime.log, work/, themetool/, tmp/ and iconNames.xml; it is the
// data folder unless --home or SKINWRIGHT_HOME moves it.
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

// The home folder, or the home folder + "/" + name; "" (with an ERROR line)
// when the result would be longer than kPathCapacity.
std::string HomePath(const std::string& name = "");

// The program's own folders and files below the home folder. Every use goes
// through these, so where each one lives is decided here only.
// The pack's work area ("tmp").
std::string PackWorkFolder();
// The staging folder of a push to the phone ("themetool").
std::string PushStagingFolder();
// The app names read from the phone ("iconNames.xml").
std::string IconNamesFile();
// Where new projects go by default ("work").
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
