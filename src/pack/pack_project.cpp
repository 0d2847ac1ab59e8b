#include "pack/pack_project.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"
#include "core/process.h"
#include "core/scratch_folder.h"
#include "core/text.h"
#include "core/zip.h"
#include "engine/color_replacement.h"
#include "engine/theme_project.h"
#include "pack/pack_module.h"
#include "pack/pack_run.h"

namespace sw::pack {

namespace {

// Removes the work folder on every way out of a pack.
class WorkFolder {
  public:
    explicit WorkFolder(std::string path) : path_(std::move(path)) {}
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    ~WorkFolder() { DeletePath(path_); }

  private:
    std::string path_;
};

// Saves the colours and finds the launcher module, holding the project only
// that long. False with the reason when the pack cannot start.
bool PrepareProject(std::string& launcher, std::string& reason) {
    const ProjectWriter project = WriteProject();
    if (!project->loaded() || project->modules().empty()) {
        reason = "no project is open";
        LogError("pack: %s\n", reason.c_str());
        return false;
    }
    if (!SaveColors(*project)) {
        reason = "the colours could not be saved to colors.xml";
        return false;
    }
    for (const auto& module : project->modules()) {
        if (module->name == "launcher") {
            launcher = module->path;
            return true;
        }
    }
    reason = "the project has no launcher module, which holds the theme's descriptions";
    LogError("pack: %s\n", reason.c_str());
    return false;
}

// The top-level thumbnail, and the preview pictures the launcher does not
// ship.
void PlaceThumbnail(const PackRun& run) {
    const PackFolders& folders = run.folders();
    const std::string launcherPreview = folders.launcher_dir + "/preview/xxhdpi/";
    for (const char* name :
         {"preview3_suit.jpg", "preview6_suit.jpg", "preview4_suit.jpg", "preview5_suit.jpg"}) {
        DeletePath(launcherPreview + name);
    }
    const std::string thumb = folders.pack_root + "/preview/xxhdpi/thumb.jpg";
    MakeFolderPath(folders.pack_root + "/preview/xxhdpi");
    CopyPath(launcherPreview + "thumb.jpg", thumb);
    DeletePath(launcherPreview + "thumb.jpg");
    DeletePath(launcherPreview + "thumb2.jpg");
}

// Drops the module copies not wanted and lets the first wanted of launcher,
// lock screen, call screen give the theme its thumbnail.
void KeepWantedModules(const PackRun& run) {
    const PackFolders& folders = run.folders();
    const WantedModules& wanted = run.wanted();
    if (!wanted.launcher) {
        DeletePath(folders.launcher_dir);
    }
    if (!wanted.lockscreen) {
        DeletePath(folders.lockscreen_dir);
    }
    DeletePath(folders.callscreen_dir + "/content/res");
    if (!wanted.callscreen) {
        DeletePath(folders.callscreen_dir);
    }
    const std::string thumb = folders.pack_root + "/preview/xxhdpi/thumb.jpg";
    if (wanted.callscreen && !wanted.launcher) {
        CopyPath(folders.callscreen_dir + "/preview/xxhdpi/thumb.jpg", thumb);
    }
    if (wanted.lockscreen && !wanted.launcher) {
        CopyPath(folders.lockscreen_dir + "/preview/xxhdpi/thumb.jpg", thumb);
    }
}

// The archive, written under a hidden name in the save folder and renamed
// over PackName.zip only when complete and not stopped.
bool WriteArchive(PackRun& run) {
    const std::string archive = ArchivePathOf(run.request());
    const std::string partial =
        run.request().pack_path + "/." + run.request().pack_name + ".zip.part";
    if (!ZipCompress(run.folders().pack_root + "/*.*", partial)) {
        LogError("failed to generate prj zip archive.\n");
        DeletePath(partial);
        return run.Fail("can not write " + archive);
    }
    if (run.StopRequested()) {
        DeletePath(partial);
        return false;
    }
    std::error_code error;
    std::filesystem::rename(partial, archive, error);
    if (error) {
        LogError("failed to generate prj zip archive.\n");
        LogError("can not rename %s to %s: %s\n", partial.c_str(), archive.c_str(),
                 error.message().c_str());
        DeletePath(partial);
        return run.Fail("can not write " + archive);
    }
    return true;
}

// Everything that happens in the work folder, which is gone when this
// returns.
bool PackInWorkFolder(PackRun& run, const std::string& launcher) {
    const PackFolders& folders = run.folders();
    // The work area is one of the program's scratch folders, so it is made
    // and marked as such; the work folder inside it goes when the pack ends.
    MakeScratchFolder(FolderOf(folders.work_root));
    const WorkFolder cleanup(folders.work_root);
    if (!MakeFolderPath(folders.pack_root)) {
        LogError("can not make %s\n", folders.pack_root.c_str());
        return run.Fail("can not make the work folder " + folders.pack_root);
    }
    LogDebug("prj = %s, name = %s\n", folders.pack_root.c_str(), FileNameOf(launcher).c_str());
    MakeFolderPath(folders.pack_root + "/content");
    MakeFolderPath(folders.launcher_dir);
    MakeFolderPath(folders.pack_root + "/preview");
    if (!PackModule(run, launcher)) {
        if (!run.StopRequested()) {
            LogError("pack %s failed.\n", FileNameOf(launcher).c_str());
        }
        return false;
    }
    PlaceThumbnail(run);
    KeepWantedModules(run);
    run.Enter(PackStep::kArchive);
    return WriteArchive(run);
}

PackResult Finish(PackRun& run, bool ok) {
    PackResult result;
    result.stopped = !ok && run.StopRequested();
    if (ok) {
        result.code = 0;
        result.archive = ArchivePathOf(run.request());
        run.Enter(PackStep::kDone);
        LogInfo("pack: %s written\n", result.archive.c_str());
    } else if (result.stopped) {
        result.reason = "packing was cancelled";
        LogInfo("pack: cancelled\n");
    } else {
        result.reason = run.reason().empty() ? "packing failed" : run.reason();
    }
    return result;
}

}  // namespace

std::string CheckPackRequest(const PackRequest& request) {
    const std::string& name = request.pack_name;
    if (name.empty()) {
        return "the pack name is empty";
    }
    if (name.find('/') != std::string::npos || name.find('\0') != std::string::npos ||
        name == "." || name == "..") {
        return "the pack name " + name + " is not a file name";
    }
    if (request.pack_path.empty()) {
        return "no folder is given to save the pack in";
    }
    if (!IsFolder(request.pack_path)) {
        return "the folder " + request.pack_path + " does not exist";
    }
    return "";
}

PackResult PackProject(const PackRequest& request, const PackObserver& observer) {
    ClearPackStop();
    const std::string tmp = PackWorkFolder();
    PackRun run(request, observer, MakePackFolders(tmp + "/" + RandomLetters(), request.pack_name));
    run.Enter(PackStep::kSaveColors);
    // Checks that refuse a pack before anything is written belong here.
    std::string refusal = CheckPackRequest(request);
    if (refusal.empty() && tmp.empty()) {
        refusal = "the work folder's path is too long";
    }
    if (!refusal.empty()) {
        LogError("pack: %s\n", refusal.c_str());
        run.Fail(refusal);
        return Finish(run, false);
    }
    std::string launcher;
    std::string reason;
    if (!PrepareProject(launcher, reason)) {
        run.Fail(reason);
        return Finish(run, false);
    }

    LogDebug("name = %s, path = %s\n", request.pack_name.c_str(), request.pack_path.c_str());
    const bool packed = PackInWorkFolder(run, launcher);
    return Finish(run, packed);
}

}  // namespace sw::pack
