#include "pack/pack_module.h"

#include <json/writer.h>

#include <vector>

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"
#include "engine/icon_exclusion_list.h"
#include "pack/density_plan.h"
#include "pack/module_archives.h"
#include "pack/pack_meta.h"
#include "pack/pack_thumbnail.h"
#include "pack/resize_pool.h"
#include "pack/text_colors.h"
#include "settings/theme_meta.h"

namespace sw::pack {

namespace {

// The module copies: previews and resources of the launcher, the whole
// lock-screen and call-screen folders.
bool CopyModules(PackRun& run, const std::string& source) {
    const PackFolders& folders = run.folders();
    const std::string& launcher = folders.launcher_dir;
    MakeFolderPath(launcher + "/content");
    MakeFolderPath(launcher + "/preview");
    if (!CopyPath(source + "/preview", launcher + "/preview")) {
        LogError("failed to copy preview.\n");
        return run.Fail("can not copy " + source + "/preview");
    }
    if (run.wanted().launcher && !CopyPath(source + "/content/res", launcher + "/content/res")) {
        LogError("failed to copy %s/content/res\n", source.c_str());
        return run.Fail("can not copy " + source + "/content/res");
    }
    const std::string project = FolderOf(source);
    const std::pair<bool, std::pair<const char*, const std::string*>> siblings[] = {
        {run.wanted().lockscreen, {"lockscreen", &folders.lockscreen_dir}},
        {run.wanted().callscreen, {"screencall", &folders.callscreen_dir}},
    };
    for (const auto& [wanted, sibling] : siblings) {
        const auto& [name, copy] = sibling;
        if (!wanted) {
            continue;
        }
        if (!IsFolder(project + "/" + name)) {
            LogError("the project has no %s module\n", name);
            return run.Fail(std::string("the project has no ") + name + " module");
        }
        if (!CopyPath(project + "/" + name, *copy)) {
            LogError("failed to copy %s/%s\n", project.c_str(), name);
            return run.Fail("can not copy " + project + "/" + name);
        }
    }
    return true;
}

// The thumbnail of every module copy that is packed; the launcher's always.
bool MakeThumbnails(PackRun& run) {
    const PackFolders& folders = run.folders();
    const std::pair<bool, const std::string*> modules[] = {
        {true, &folders.launcher_dir},
        {run.wanted().lockscreen, &folders.lockscreen_dir},
        {run.wanted().callscreen, &folders.callscreen_dir},
    };
    for (const auto& [wanted, folder] : modules) {
        if (!wanted) {
            continue;
        }
        if (!MakeModuleThumbnail(*folder)) {
            const std::string preview = *folder + "/preview/xxhdpi/preview1_suit.jpg";
            LogError("can not make a thumbnail from %s\n", preview.c_str());
            return run.Fail("can not make the thumbnail: " + preview + " is missing or unreadable");
        }
    }
    DeletePath(folders.launcher_dir + "/preview/xxhdpi/thumbnail");
    DeletePath(folders.lockscreen_dir + "/preview/xxhdpi/thumbnail");
    return true;
}

// The theme's meta.json from the launcher's meta2.json, and each module's
// own description.
bool WriteDescriptions(PackRun& run, const std::string& source) {
    const PackFolders& folders = run.folders();
    const std::string packMeta = folders.pack_root + "/meta.json";
    if (!CopyPath(source + "/meta2.json", packMeta)) {
        LogError("copy meta4.json failed.\n");
    }
    Json::Value document;
    if (!settings::ReadMetaFile(packMeta, document)) {
        return run.Fail("can not read " + source + "/meta2.json");
    }
    TrimResourceContents(document, run.wanted());
    if (!WriteFileAtomic(packMeta, Json::StyledWriter().write(document))) {
        LogError("save meta.json failed.\n");
        return run.Fail("can not write " + packMeta);
    }
    struct MetaCopy {
        bool wanted;
        const char* from;
        const std::string* module;
        const char* failure;
    };
    const MetaCopy copies[] = {
        {run.wanted().lockscreen, "/meta3.json", &folders.lockscreen_dir,
         "copy meta3.json failed.\n"},
        {run.wanted().callscreen, "/meta5.json", &folders.callscreen_dir,
         "copy meta5.json failed.\n"},
        {run.wanted().launcher, "/meta.json", &folders.launcher_dir, "copy meta.json failed.\n"},
    };
    for (const MetaCopy& copy : copies) {
        if (copy.wanted && !(MakeFolderPath(*copy.module) &&
                             CopyPath(source + copy.from, *copy.module + "/meta.json"))) {
            LogError("%s", copy.failure);
        }
    }
    return true;
}

// Every density image of the packed modules, made at once.
bool ResizeImages(PackRun& run) {
    const PackFolders& folders = run.folders();
    std::vector<ResizeJob> jobs;
    auto add = [&jobs](std::vector<ResizeJob> more) {
        for (ResizeJob& job : more) {
            jobs.push_back(std::move(job));
        }
    };
    if (run.wanted().callscreen) {
        add(CallscreenResizes(folders.callscreen_dir));
    }
    if (run.wanted().launcher) {
        add(LauncherWallpaperResizes(folders.launcher_dir));
    }
    if (run.wanted().lockscreen) {
        add(LockscreenWallpaperResizes(folders.lockscreen_dir));
    }
    return RunResizes(jobs, run);
}

}  // namespace

bool PackModule(PackRun& run, const std::string& source) {
    const PackFolders& folders = run.folders();
    const WantedModules& wanted = run.wanted();
    run.Enter(PackStep::kCopyProject);
    if (!CopyModules(run, source) || run.StopRequested()) {
        return false;
    }
    run.Enter(PackStep::kThumbnails);
    if (!MakeThumbnails(run) || run.StopRequested()) {
        return false;
    }
    run.Enter(PackStep::kDescriptions);
    if (!WriteDescriptions(run, source) || run.StopRequested()) {
        return false;
    }
    // The lock screen's density folders come with the layout template in use.
    if (wanted.lockscreen) {
        CopyPath(folders.lockscreen_dir + "/content/lockscreen/content/res",
                 folders.lockscreen_dir + "/content/res");
    }
    run.Enter(PackStep::kResizeImages);
    if (!ResizeImages(run) || run.StopRequested()) {
        return false;
    }

    run.Enter(PackStep::kCallscreen);
    if (wanted.callscreen && !ArchiveCallscreen(folders.callscreen_dir)) {
        return run.Fail("can not archive the call screen's resources");
    }
    if (run.StopRequested()) {
        return false;
    }

    // The lock screen's colours are read from its copy before its values
    // go; the launcher's from the project, which SaveColors has just written.
    const TextColors colors = ReadTextColors(
        source + "/content/res/values/colors.xml",
        wanted.lockscreen ? folders.lockscreen_dir + "/content/res/values/colors.xml" : "");
    run.Enter(PackStep::kLockscreen);
    if (wanted.lockscreen) {
        CopyLockscreenVariants(folders.lockscreen_dir);
        DistributeLockscreen(folders.lockscreen_dir);
        CleanLockscreen(folders.lockscreen_dir);
        WriteLockscreenColors(folders.lockscreen_dir, colors);
        if (!ArchiveLockscreen(folders.lockscreen_dir)) {
            return run.Fail("can not archive the lock screen's resources");
        }
    }
    if (run.StopRequested()) {
        return false;
    }

    run.Enter(PackStep::kLauncher);
    if (wanted.launcher) {
        DeleteExcludedIcons(folders.launcher_dir, IconExclusionList::Text());
        DistributeLauncher(folders.launcher_dir);
        WriteWidgetColors(folders.launcher_dir, colors);
        if (!ArchiveLauncher(folders.launcher_dir)) {
            return run.Fail("can not archive the home screen's resources");
        }
    }
    return !run.StopRequested();
}

}  // namespace sw::pack
