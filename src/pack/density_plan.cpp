#include "pack/density_plan.h"

#include <array>

#include "core/files.h"
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
bool StartJob(const std::string& source, ResizeJob& job) {
    if (!IsFile(source)) {
        LogWarn("resize: %s is missing, skipped\n", source.c_str());
        return false;
    }
    gfx::ImageInfo info;
    if (!gfx::ReadImageInfo(source, &info)) {
        LogWarn("resize: %s is not a PNG or JPEG image, skipped\n", source.c_str());
        return false;
    }
    job.source = source;
    job.source_width = info.width;
    job.source_height = info.height;
    job.source_is_png = info.format == gfx::ImageFormat::kPng;
    return true;
}

// One job per screen-size wallpaper: source scaled to each size.
std::vector<ResizeJob> WallpaperJob(const std::string& source,
                                    const std::vector<std::pair<std::string, ScreenSize>>& outs) {
    ResizeJob job;
    if (!StartJob(source, job)) {
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

void CopyVariantsOf(const std::string& folder, const std::string& name) {
    const std::string plain = folder + "/" + name + ".png";
    if (!IsFile(plain)) {
        return;
    }
    for (const std::string& variant : Variants(folder, name)) {
        CopyPath(plain, variant);
    }
}

void DistributeVariantsOf(const std::string& lockscreenDir, const std::string& name) {
    const std::string res = lockscreenDir + "/content/res";
    const std::array<std::string, 4> variants = Variants(Drawable(lockscreenDir), name);
    const std::string plain = "/" + name + ".png";
    // The copy never makes a folder: the density folders come with the
    // lock-screen template.
    auto copyInto = [&](const std::string& variant, const std::string& folder) {
        if (IsFolder(res + "/" + folder)) {
            CopyPath(variant, res + "/" + folder + plain);
        }
    };
    copyInto(variants[0], "hdpi");
    copyInto(variants[1], "hdpi_720x1280");
    copyInto(variants[1], "xhdpi");
    copyInto(variants[2], "xxhdpi");
    copyInto(variants[3], "xxxhdpi_1440x2560");
}

}  // namespace

std::vector<ResizeJob> CallscreenResizes(const std::string& callscreenDir) {
    const std::string drawable = Drawable(callscreenDir);
    const std::string res = callscreenDir + "/content/res/";
    std::vector<ResizeJob> jobs;
    // The density folders come with the template; a missing one gets nothing.
    std::vector<const CallDensity*> densities;
    for (const CallDensity& density : kCallDensities) {
        if (IsFolder(res + density.folder)) {
            densities.push_back(&density);
        } else {
            LogWarn("resize: %s%s is missing, nothing is made for it\n", res.c_str(),
                    density.folder);
        }
    }
    ResizeJob wallpaper;
    if (StartJob(drawable + "/custom_wallpaper.png", wallpaper)) {
        for (const CallDensity* density : densities) {
            wallpaper.targets.push_back({res + density->folder + "/custom_wallpaper.png",
                                         density->screen.width, density->screen.height});
        }
        jobs.push_back(wallpaper);
    }
    for (const char* button : kCallButtons) {
        ResizeJob job;
        if (!StartJob(drawable + "/" + button + ".png", job)) {
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

std::vector<ResizeJob> LauncherWallpaperResizes(const std::string& launcherDir) {
    const std::string drawable = Drawable(launcherDir);
    return WallpaperJob(
        drawable + "/wallpaper_grass.png",
        {{drawable + "/wallpaper_grass_1.png", k540}, {drawable + "/wallpaper_grass_2.png", k720}});
}

std::vector<ResizeJob> LockscreenWallpaperResizes(const std::string& lockscreenDir) {
    const std::string drawable = Drawable(lockscreenDir);
    const std::array<std::string, 4> variants = Variants(drawable, "lockscreen_wallpaper");
    return WallpaperJob(
        drawable + "/lockscreen_wallpaper.png",
        {{variants[0], k540}, {variants[1], k720}, {variants[2], k1080}, {variants[3], k1440}});
}

void CopyLockscreenVariants(const std::string& lockscreenDir) {
    const std::string drawable = Drawable(lockscreenDir);
    for (const char* name : kLockVariantNames) {
        CopyVariantsOf(drawable, name);
    }
    for (int frame = 1; frame <= kAnimationFrames; ++frame) {
        CopyVariantsOf(drawable, "animator" + std::to_string(frame));
    }
}

void DistributeLauncher(const std::string& launcherDir) {
    const std::string res = launcherDir + "/content/res";
    const std::string drawable = Drawable(launcherDir);
    for (const char* folder : {"/drawable-hdpi", "/drawable-xhdpi", "/drawable-xxxhdpi"}) {
        MakeFolderPath(res + folder);
    }
    CopyPath(drawable + "/wallpaper_grass_1.png", res + "/drawable-hdpi/wallpaper_grass.png");
    CopyPath(drawable + "/wallpaper_grass_2.png", res + "/drawable-xhdpi/wallpaper_grass.png");
    const std::pair<const char*, const char*> layouts[] = {
        {"weatherconfig.xml", "drawable-hdpi"},
        {"weatherconfig1.xml", "drawable-xhdpi"},
        {"weatherconfig2.xml", "drawable-xxhdpi"},
        {"weatherconfig3.xml", "drawable-xxxhdpi"},
    };
    for (const auto& [file, folder] : layouts) {
        CopyPath(res + "/xml/" + file, res + "/" + folder + "/weatherconfig.xml");
    }
    DeletePath(drawable + "/wallpaper_grass_1.png");
    DeletePath(drawable + "/wallpaper_grass_2.png");
    for (const auto& [file, folder] : layouts) {
        DeletePath(res + "/xml/" + file);
    }
}

void DistributeLockscreen(const std::string& lockscreenDir) {
    DistributeVariantsOf(lockscreenDir, "lockscreen_wallpaper");
    for (const char* name : kLockVariantNames) {
        DistributeVariantsOf(lockscreenDir, name);
    }
    for (int frame = 1; frame <= kAnimationFrames; ++frame) {
        DistributeVariantsOf(lockscreenDir, "animator" + std::to_string(frame));
    }
}

}  // namespace sw::pack
