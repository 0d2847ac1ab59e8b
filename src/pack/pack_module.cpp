#include "pack/pack_module.h"

#include <filesystem>
#include <functional>
#include <system_error>
#include <vector>

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"
#include "engine/icon_exclusion_list.h"
#include "engine/json_file.h"
#include "pack/density_plan.h"
#include "pack/module_archives.h"
#include "pack/pack_meta.h"
#include "pack/pack_thumbnail.h"
#include "pack/packed_modules.h"
#include "pack/resize_pool.h"
#include "pack/text_colors.h"
#include "settings/theme_meta.h"

namespace sw::pack {

namespace {

// Takes a project folder into the archive; false, with the reason, when it
// holds something that must not be packed.
bool TakeFolder(PackRun& run, const std::string& from, const std::string& to,
                const std::string& root, const std::vector<std::string>& skip) {
    TreeRefusal refusal;
    if (run.tree().AddProjectFolder(from, to, root, skip, refusal)) {
        return true;
    }
    if (!refusal.reason.empty()) {
        LogError("pack: %s; the theme is not packed\n", refusal.reason.c_str());
        return run.Fail(refusal.reason);
    }
    LogError("failed to copy %s\n", from.c_str());
    return run.Fail("can not read " + from);
}

// The modules: previews and resources of the launcher, the whole
// lock-screen and call-screen folders.
bool TakeModules(PackRun& run, const std::string& source, const std::string& root,
                 const std::vector<std::string>& skip) {
    PackTree& tree = run.tree();
    const std::string launcher = ArchiveFolder(ModuleId::kLauncher);
    const std::string project = FolderOf(source);
    std::error_code error;
    tree.MakeFolder(launcher + "/content");
    tree.MakeFolder(launcher + "/preview");
    if (!IsFolder(source + "/preview")) {
        LogError("failed to copy preview.\n");
        return run.Fail("can not copy " + source + "/preview");
    }
    if (!TakeFolder(run, source + "/preview", launcher + "/preview", root, skip)) {
        return false;
    }
    if (run.wanted().launcher &&
        !TakeFolder(run, source + "/content/res", launcher + "/content/res", root, skip)) {
        return false;
    }
    for (const ModuleId id : {ModuleId::kLockscreen, ModuleId::kCallscreen}) {
        const char* name = ModuleOf(id).project_folder;
        if (!IsWanted(run.wanted(), id)) {
            continue;
        }
        if (!IsFolder(project + "/" + name)) {
            LogError("the project has no %s module\n", name);
            return run.Fail(std::string("the project has no ") + name + " module");
        }
        // A zip beside a module's files is an earlier theme archive, never
        // part of the module.
        std::vector<std::string> skipped = skip;
        std::vector<std::string> names;
        ListFolder(project + "/" + name, names);
        for (const std::string& file : names) {
            const std::string path = project + "/" + name + "/" + file;
            if (file.size() > 4 && file.compare(file.size() - 4, 4, ".zip") == 0 && IsFile(path)) {
                LogWarn("pack: %s is an archive beside the module's files, not packed\n",
                        path.c_str());
                skipped.push_back(std::filesystem::canonical(path, error).string());
            }
        }
        if (!TakeFolder(run, project + "/" + name, ArchiveFolder(id), root, skipped)) {
            return false;
        }
    }
    return true;
}

// The thumbnail of every module that is packed; the launcher's always.
bool MakeThumbnails(PackRun& run) {
    for (const PackedModule& module : kPackedModules) {
        if (module.id != ModuleId::kLauncher && !IsWanted(run.wanted(), module.id)) {
            continue;
        }
        if (!MakeModuleThumbnail(run.tree(), module.archive_folder)) {
            const std::string preview =
                std::string(module.archive_folder) + "/preview/xxhdpi/preview1_suit.jpg";
            LogError("can not make a thumbnail from %s\n", preview.c_str());
            return run.Fail("can not make the thumbnail: " + preview + " is missing or unreadable");
        }
    }
    run.tree().Delete(ArchiveFolder(ModuleId::kLauncher) + "/preview/xxhdpi/thumbnail");
    run.tree().Delete(ArchiveFolder(ModuleId::kLockscreen) + "/preview/xxhdpi/thumbnail");
    return true;
}

// The theme's meta.json from the launcher's meta2.json, and each module's
// own description.
bool WriteDescriptions(PackRun& run, const std::string& source, const std::string& root) {
    PackTree& tree = run.tree();
    TreeRefusal refusal;
    const std::string packMeta = "meta.json";
    if (!tree.AddProjectFile(source + "/meta2.json", packMeta, root, refusal)) {
        LogError("copy meta4.json failed.\n");
    }
    const TreeFile* copied = tree.FindFile(packMeta);
    Json::Value document;
    if (copied == nullptr || !settings::ReadMetaFile(copied->path, document)) {
        return run.Fail("can not read " + source + "/meta2.json");
    }
    TrimResourceContents(document, run.wanted());
    tree.Put(packMeta, JsonFileText(document));
    struct MetaCopy {
        ModuleId module;
        const char* from;
        const char* failure;
    };
    const MetaCopy copies[] = {
        {ModuleId::kLockscreen, "/meta3.json", "copy meta3.json failed.\n"},
        {ModuleId::kCallscreen, "/meta5.json", "copy meta5.json failed.\n"},
        {ModuleId::kLauncher, "/meta.json", "copy meta.json failed.\n"},
    };
    for (const MetaCopy& copy : copies) {
        const std::string folder = ArchiveFolder(copy.module);
        if (IsWanted(run.wanted(), copy.module) &&
            !(tree.MakeFolder(folder) &&
              tree.AddProjectFile(source + copy.from, folder + "/meta.json", root, refusal))) {
            LogError("%s", copy.failure);
        }
    }
    return true;
}

// Every density image of the packed modules, made at once.
bool ResizeImages(PackRun& run) {
    std::vector<ResizeJob> jobs;
    auto add = [&jobs](std::vector<ResizeJob> more) {
        for (ResizeJob& job : more) {
            jobs.push_back(std::move(job));
        }
    };
    const PackTree& tree = run.tree();
    if (run.wanted().callscreen) {
        add(CallscreenResizes(tree, ArchiveFolder(ModuleId::kCallscreen), run.pictures()));
    }
    if (run.wanted().launcher) {
        add(LauncherWallpaperResizes(tree, ArchiveFolder(ModuleId::kLauncher), run.pictures()));
    }
    if (run.wanted().lockscreen) {
        add(LockscreenWallpaperResizes(tree, ArchiveFolder(ModuleId::kLockscreen), run.pictures()));
    }
    return RunResizes(jobs, run);
}

}  // namespace

bool PackModule(PackRun& run, const std::string& source, const std::vector<std::string>& skip) {
    PackTree& tree = run.tree();
    const WantedModules& wanted = run.wanted();
    const std::string launcher = ArchiveFolder(ModuleId::kLauncher);
    const std::string lockscreen = ArchiveFolder(ModuleId::kLockscreen);
    const std::string callscreen = ArchiveFolder(ModuleId::kCallscreen);
    const std::function<bool()> stop = [&run] { return run.StopRequested(); };
    run.Enter(PackStep::kReadProject);
    std::error_code error;
    const std::string root = std::filesystem::canonical(FolderOf(source), error).string();
    if (error) {
        LogError("can not read the project folder %s\n", FolderOf(source).c_str());
        return run.Fail("can not read the project folder " + FolderOf(source));
    }
    if (!TakeModules(run, source, root, skip) || run.StopRequested()) {
        return false;
    }
    run.Enter(PackStep::kThumbnails);
    if (!MakeThumbnails(run) || run.StopRequested()) {
        return false;
    }
    run.Enter(PackStep::kDescriptions);
    if (!WriteDescriptions(run, source, root) || run.StopRequested()) {
        return false;
    }
    // The lock screen's density folders come with the layout template in use.
    if (wanted.lockscreen) {
        tree.Copy(lockscreen + "/content/lockscreen/content/res", lockscreen + "/content/res");
    }
    run.Enter(PackStep::kResizeImages);
    if (!ResizeImages(run) || run.StopRequested()) {
        return false;
    }

    run.Enter(PackStep::kCallscreen);
    if (wanted.callscreen && !ArchiveCallscreen(tree, callscreen, stop)) {
        return run.StopRequested() ? false
                                   : run.Fail("can not archive the call screen's resources");
    }
    if (run.StopRequested()) {
        return false;
    }

    // The lock screen's colours are read from its own colors.xml before its
    // values go; the launcher's from the project, which SaveColors has just
    // written.
    const TreeFile* lockColors = tree.FindFile(lockscreen + "/content/res/values/colors.xml");
    const TextColors colors = ReadTextColors(
        source + "/content/res/values/colors.xml",
        wanted.lockscreen && lockColors != nullptr && !lockColors->bytes ? lockColors->path
                                                                         : std::string());
    run.Enter(PackStep::kLockscreen);
    if (wanted.lockscreen) {
        CopyLockscreenVariants(tree, lockscreen);
        DistributeLockscreen(tree, lockscreen);
        CleanLockscreen(tree, lockscreen);
        WriteLockscreenColors(tree, lockscreen, colors);
        if (!ArchiveLockscreen(tree, lockscreen, stop)) {
            return run.StopRequested() ? false
                                       : run.Fail("can not archive the lock screen's resources");
        }
    }
    if (run.StopRequested()) {
        return false;
    }

    run.Enter(PackStep::kLauncher);
    if (wanted.launcher) {
        DeleteExcludedIcons(tree, launcher, IconExclusionList::Text());
        DistributeLauncher(tree, launcher);
        WriteWidgetColors(tree, launcher, colors);
        if (!ArchiveLauncher(tree, launcher, stop)) {
            return run.StopRequested() ? false
                                       : run.Fail("can not archive the home screen's resources");
        }
    }
    return !run.StopRequested();
}

}  // namespace sw::pack
