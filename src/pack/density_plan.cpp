#include "pack/density_plan.h"

#include <array>

#include "core/log.h"
#include "gfx/image_decode.h"

namespace sw::pack {

namespace {

struct ScreenSize {
    int width;
    int height;
};

constexpr ScreenSize k540{540, 960};
constexpr ScreenSize k720{720, 1280};
constexpr ScreenSize k1080{1080, 1920};
constexpr ScreenSize k1440{1440, 2560};

// The call screen's density folders and the scale of its button images.
struct CallDensity {
    const char* folder;
    double factor;
    ScreenSize screen;
};
constexpr std::array<CallDensity, 4> kCallDensities = {{
    {"xxxhdpi", 1.3, k1440},
    {"xxhdpi", 1.0, k1080},
    {"xhdpi", 0.66, k720},
    {"hdpi", 0.5, k540},
}};

constexpr std::array<const char*, 6> kCallButtons = {
    "incoming_answer",         "incoming_answer_pressed", "incoming_hangup",
    "incoming_hangup_pressed", "incoming_reminder",       "incoming_sms",
};

// The lock screen's images that come in four variants, without the
// wallpaper and the animation frames.
constexpr std::array<const char*, 23> kLockVariantNames = {
    "time_0",
    "time_1",
    "time_2",
    "time_3",
    "time_4",
    "time_5",
    "time_6",
    "time_7",
    "time_8",
    "time_9",
    "time_colon",
    "time_am",
    "time_pm",
    "battery_charged",
    "battery_charging",
    "battery_low",
    "unlock_background",
    "unlock_handle_normal",
    "unlock_handle_pressed",
    "unlock_camera_normal",
    "new_event_num_call_icon_normal",
    "new_event_num_massage_icon_normal",
    "unlock_normal_normal",
};
constexpr int kAnimationFrames = 20;

std::string Drawable(const std::string& moduleDir) {
    return moduleDir + "/content/res/drawable-xxhdpi";
}

// A job for source with its size read from the file's header; false (with a
// WARN line) when the file is missing or no image.
bool StartJob(const PackTree& tree, const std::string& source, const gfx::DecodedPictures& pictures,
              ResizeJob& job) {
    const TreeFile* file = tree.FindFile(source);
    if (file == nullptr || file->bytes) {
        LogWarn("resize: %s is missing, skipped\n", source.c_str());
        return false;
    }
    gfx::ImageInfo info;
    if (!gfx::ReadImageInfo(file->path, &info)) {
        LogWarn("resize: %s is not a PNG or JPEG image, skipped\n", file->path.c_str());
        return false;
    }
    job.source = source;
    job.source_file = *file;
    job.source_width = info.width;
    job.source_height = info.height;
    // A picture decoded already gives its size as decoded.
    pictures.KeptSize(file->path, job.source_width, job.source_height);
    job.source_is_png = info.format == gfx::ImageFormat::kPng;
    return true;
}

// One job per screen-size wallpaper: source scaled to each size.
std::vector<ResizeJob> WallpaperJob(const PackTree& tree, const gfx::DecodedPictures& pictures,
                                    const std::string& source,
                                    const std::vector<std::pair<std::string, ScreenSize>>& outs) {
    ResizeJob job;
    if (!StartJob(tree, source, pictures, job)) {
        return {};
    }
    for (const auto& [destination, size] : outs) {
        job.targets.push_back({destination, size.width, size.height});
    }
    return {job};
}

// The variant names of NAME in the order _1 .. _4.
std::array<std::string, 4> Variants(const std::string& folder, const std::string& name) {
    return {folder + "/" + name + "_1.png", folder + "/" + name + "_2.png",
            folder + "/" + name + "_3.png", folder + "/" + name + "_4.png"};
}

void CopyVariantsOf(PackTree& tree, const std::string& folder, const std::string& name) {
    const std::string plain = folder + "/" + name + ".png";
    if (!tree.IsFile(plain)) {
        return;
    }
    for (const std::string& variant : Variants(folder, name)) {
        tree.Copy(plain, variant);
    }
}

void DistributeVariantsOf(PackTree& tree, const std::string& lockscreenDir,
                          const std::string& name) {
    const std::string res = lockscreenDir + "/content/res";
    const std::array<std::string, 4> variants = Variants(Drawable(lockscreenDir), name);
    const std::string plain = "/" + name + ".png";
    // The copy never makes a folder: the density folders come with the
    // lock-screen template.
    auto copyInto = [&](const std::string& variant, const std::string& folder) {
        if (tree.IsFolder(res + "/" + folder)) {
            tree.Copy(variant, res + "/" + folder + plain);
        }
    };
    copyInto(variants[0], "hdpi");
    copyInto(variants[1], "hdpi_720x1280");
    copyInto(variants[1], "xhdpi");
    copyInto(variants[2], "xxhdpi");
    copyInto(variants[3], "xxxhdpi_1440x2560");
}

}  // namespace

std::vector<ResizeJob> CallscreenResizes(const PackTree& tree, const std::string& callscreenDir,
                                         const gfx::DecodedPictures& pictures) {
    const std::string drawable = Drawable(callscreenDir);
    const std::string res = callscreenDir + "/content/res/";
    std::vector<ResizeJob> jobs;
    // The density folders come with the template; a missing one gets nothing.
    std::vector<const CallDensity*> densities;
    for (const CallDensity& density : kCallDensities) {
        if (tree.IsFolder(res + density.folder)) {
            densities.push_back(&density);
        } else {
            LogWarn("resize: %s%s is missing, nothing is made for it\n", res.c_str(),
                    density.folder);
        }
    }
    ResizeJob wallpaper;
    if (StartJob(tree, drawable + "/custom_wallpaper.png", pictures, wallpaper)) {
        for (const CallDensity* density : densities) {
            wallpaper.targets.push_back({res + density->folder + "/custom_wallpaper.png",
                                         density->screen.width, density->screen.height});
        }
        jobs.push_back(wallpaper);
    }
    for (const char* button : kCallButtons) {
        ResizeJob job;
        if (!StartJob(tree, drawable + "/" + button + ".png", pictures, job)) {
            continue;
        }
        for (const CallDensity* density : densities) {
            // Truncated toward zero: 200 x 0.66 is 132.
            const int width = static_cast<int>(job.source_width * density->factor);
            const int height = static_cast<int>(job.source_height * density->factor);
            if (width <= 0 || height <= 0) {
                LogWarn("resize: %s is too small for %s, skipped\n", job.source.c_str(),
                        density->folder);
                continue;
            }
            job.targets.push_back({res + density->folder + "/" + button + ".png", width, height});
        }
        jobs.push_back(job);
    }
    return jobs;
}

std::vector<ResizeJob> LauncherWallpaperResizes(const PackTree& tree,
                                                const std::string& launcherDir,
                                                const gfx::DecodedPictures& pictures) {
    const std::string drawable = Drawable(launcherDir);
    return WallpaperJob(
        tree, pictures, drawable + "/wallpaper_grass.png",
        {{drawable + "/wallpaper_grass_1.png", k540}, {drawable + "/wallpaper_grass_2.png", k720}});
}

std::vector<ResizeJob> LockscreenWallpaperResizes(const PackTree& tree,
                                                  const std::string& lockscreenDir,
                                                  const gfx::DecodedPictures& pictures) {
    const std::string drawable = Drawable(lockscreenDir);
    const std::array<std::string, 4> variants = Variants(drawable, "lockscreen_wallpaper");
    return WallpaperJob(
        tree, pictures, drawable + "/lockscreen_wallpaper.png",
        {{variants[0], k540}, {variants[1], k720}, {variants[2], k1080}, {variants[3], k1440}});
}

void CopyLockscreenVariants(PackTree& tree, const std::string& lockscreenDir) {
    const std::string drawable = Drawable(lockscreenDir);
    for (const char* name : kLockVariantNames) {
        CopyVariantsOf(tree, drawable, name);
    }
    for (int frame = 1; frame <= kAnimationFrames; ++frame) {
        CopyVariantsOf(tree, drawable, "animator" + std::to_string(frame));
    }
}

void DistributeLauncher(PackTree& tree, const std::string& launcherDir) {
    const std::string res = launcherDir + "/content/res";
    const std::string drawable = Drawable(launcherDir);
    for (const char* folder : {"/drawable-hdpi", "/drawable-xhdpi", "/drawable-xxxhdpi"}) {
        tree.MakeFolder(res + folder);
    }
    tree.Copy(drawable + "/wallpaper_grass_1.png", res + "/drawable-hdpi/wallpaper_grass.png");
    tree.Copy(drawable + "/wallpaper_grass_2.png", res + "/drawable-xhdpi/wallpaper_grass.png");
    const std::pair<const char*, const char*> layouts[] = {
        {"weatherconfig.xml", "drawable-hdpi"},
        {"weatherconfig1.xml", "drawable-xhdpi"},
        {"weatherconfig2.xml", "drawable-xxhdpi"},
        {"weatherconfig3.xml", "drawable-xxxhdpi"},
    };
    for (const auto& [file, folder] : layouts) {
        tree.Copy(res + "/xml/" + file, res + "/" + folder + "/weatherconfig.xml");
    }
    tree.Delete(drawable + "/wallpaper_grass_1.png");
    tree.Delete(drawable + "/wallpaper_grass_2.png");
    for (const auto& [file, folder] : layouts) {
        tree.Delete(res + "/xml/" + file);
    }
}

void DistributeLockscreen(PackTree& tree, const std::string& lockscreenDir) {
    DistributeVariantsOf(tree, lockscreenDir, "lockscreen_wallpaper");
    for (const char* name : kLockVariantNames) {
        DistributeVariantsOf(tree, lockscreenDir, name);
    }
    for (int frame = 1; frame <= kAnimationFrames; ++frame) {
        DistributeVariantsOf(tree, lockscreenDir, "animator" + std::to_string(frame));
    }
}

}  // namespace sw::pack
