// The images a theme needs for every screen density: which designer images
// are scaled to which sizes, and which designer-supplied variants are copied
// into which density folders. Every source is a file of a packed module's
// content/res/drawable-xxhdpi, drawn for a 1080x1920 screen. Module folders
// and destinations are paths of the archive being made (PackTree).
#pragma once

#include <string>
#include <vector>

#include "gfx/decoded_pictures.h"
#include "pack/pack_tree.h"

namespace sw::pack {

struct ResizeTarget {
    std::string destination;
    int width = 0;
    int height = 0;
};

// One source image and every size made from it; the source is decoded once.
struct ResizeJob {
    std::string source;  // in the archive
    TreeFile source_file;
    int source_width = 0;
    int source_height = 0;
    bool source_is_png = false;
    std::vector<ResizeTarget> targets;
};

// The call screen: custom_wallpaper.png at the four screen sizes into
// content/res/xxxhdpi, xxhdpi, xhdpi and hdpi, and the six button images
// scaled by 1.3, 1, 0.66 and 0.5 of their own size (truncated) into the same
// folders. A missing or unreadable source is left out with a WARN line.
std::vector<ResizeJob> CallscreenResizes(const PackTree& tree, const std::string& callscreenDir,
                                         const gfx::DecodedPictures& pictures);

// The launcher: wallpaper_grass.png at 540x960 and 720x1280 as
// drawable-xxhdpi/wallpaper_grass_1.png and _2.png.
std::vector<ResizeJob> LauncherWallpaperResizes(const PackTree& tree,
                                                const std::string& launcherDir,
                                                const gfx::DecodedPictures& pictures);

// The lock screen: lockscreen_wallpaper.png at 540x960, 720x1280, 1080x1920
// and 1440x2560 as drawable-xxhdpi/lockscreen_wallpaper_1.png .. _4.png.
std::vector<ResizeJob> LockscreenWallpaperResizes(const PackTree& tree,
                                                  const std::string& lockscreenDir,
                                                  const gfx::DecodedPictures& pictures);

// The lock screen's clock digits, battery, unlock and animation images: a
// designer's NAME.png is copied over NAME_1.png .. NAME_4.png; without
// NAME.png the variants stay as they are.
void CopyLockscreenVariants(PackTree& tree, const std::string& lockscreenDir);

// The launcher's density folders: the two smaller wallpapers as
// drawable-hdpi and drawable-xhdpi wallpaper_grass.png, the four weather
// widget layouts of content/res/xml as each folder's weatherconfig.xml; the
// sources are removed afterwards.
void DistributeLauncher(PackTree& tree, const std::string& launcherDir);

// The lock screen's variants NAME_1 .. NAME_4 into hdpi, hdpi_720x1280 and
// xhdpi, xxhdpi and xxxhdpi_1440x2560, each under its plain name.
void DistributeLockscreen(PackTree& tree, const std::string& lockscreenDir);

}  // namespace sw::pack
