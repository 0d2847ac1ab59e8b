// What a module's screens show: full-screen pictures of the phone's size,
// icons of the template's icon size, readable text on the wallpaper, and
// every element on its screen.
#pragma once

#include "check/finding.h"
#include "check/image_file_check.h"
#include "engine/theme_module.h"

namespace sw::check {

// The size every wallpaper and full-screen background must have.
inline constexpr int kFullScreenWidth = 1080;
inline constexpr int kFullScreenHeight = 1920;

// Checks the elements of a loaded module. sizes holds the image files that
// decoded (CheckImageFiles); a file missing from it was reported there and is
// passed over here.
//   - a wallpaper (category 壁纸, or an image covering the whole screen) not
//     1080 x 1920: ERROR;
//   - an app icon (an icon of category 图标) whose size is not the module's
//     app_icon_size: WARN;
//   - a text whose contrast with the mean luminance of the pixels under it
//     is below 3:1: WARN. Those pixels are the wallpaper's, with the
//     pictures drawn before the text over it (a panel, a calendar page);
//     the text's own alpha mixes it with that mean;
//   - an element wholly outside its screen, unless it is switched off by
//     the off position x = -2080px: WARN.
// With judgeTexts false the contrast of texts, a warning only and most of
// this check's time, is passed over.
void CheckScreens(const ThemeModule& module, const ImageSizes& sizes, Findings& findings,
                  bool judgeTexts = true);

}  // namespace sw::check
