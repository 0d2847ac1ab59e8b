// The theme font check of start-up: is "方正兰亭黑_GB18030" installed? When it
// is not and the data folder ships FZLTHJW.TTF, the font is copied into the
// user's font folder and added to the running process's font set.
#pragma once

#include <string>

namespace sw::host {

inline constexpr const char* kThemeFontFamily = "方正兰亭黑_GB18030";
inline constexpr const char* kThemeFontValueName = "方正兰亭黑_GB18030 (TrueType)";
inline constexpr const char* kThemeFontFile = "FZLTHJW.TTF";

// The user's font folder: $XDG_DATA_HOME/fonts, else $HOME/.local/share/fonts.
std::string UserFontFolder();

// True when fontconfig knows a face of family.
bool FontFamilyInstalled(const std::string& family);

// Checks family and installs fontFile into fontFolder when it is missing,
// logging the outcome:
//   INFO "font %s installed\n" (valueName) when it is there;
//   otherwise WARN "prepare installing font %s ...\n" (valueName), the ERROR
//   line of a failed step, and INFO "install font %s successfully\n" or
//   "install font %s failed\n" (fontFile).
// True when the font is available afterwards.
bool CheckFont(const std::string& family, const std::string& valueName, const std::string& fontFile,
               const std::string& fontFolder);

// CheckFont for the theme font with the data folder's FZLTHJW.TTF.
bool CheckThemeFont();

}  // namespace sw::host
