#include "pack/pack_project.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"
#include "core/process.h"
#include "core/text.h"
#include "core/unique_fd.h"
#include "core/zip.h"
#include "engine/color_replacement.h"
#include "engine/theme_project.h"
#include "pack/pack_module.h"
#include "pack/pack_run.h"
#include "pack/packed_modules.h"

namespace sw::pack {

namespace {

// The theme's own thumbnail in the archive.
constexpr const char* kThemeThumbnail = "preview/xxhdpi/thumb.jpg";

// The longest name a folder entry may have.
constexpr std::size_t kMaxFileNameBytes = 255;

// The archive is written under a short hidden name beside its final one,
// made exclusively, and renamed over PackName.zip only when complete; a
// long pack name then never makes a name the folder cannot hold. The
// partial file goes on every other way out.
class PartialArchive {
  public:
    explicit PartialArchive(const std::string& folder) : path_(folder + "/.skinwright-XXXXXX") {
        UniqueFd fd(::mkostemp(path_.data(), O_CLOEXEC));
        if (!fd.valid()) {
            LogError("can not make a file in %s: %s\n", folder.c_str(), std::strerror(errno));
            path_.clear();
        }
    }
    PartialArchive(const PartialArchive&) = delete;
    PartialArchive& operator=(const PartialArchive&) = delete;
    ~PartialArchive() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    const std::string& path() const { return path_; }
    // The file is in place under its final name: nothing to remove.
    void Placed() { path_.clear(); }

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

// The preview pictures of the launcher that the archive does not hold.
constexpr const char* kUnshippedLauncherPreviews[] = {"preview3_suit.jpg", "preview6_suit.jpg",
                                                      "preview4_suit.jpg", "preview5_suit.jpg"};

// The top-level thumbnail, and the preview pictures the launcher does not
// ship.
void PlaceThumbnail(PackRun& run) {
    PackTree& tree = run.tree();
    const std::string launcherPreview = ArchiveFolder(ModuleId::kLauncher) + "/preview/xxhdpi/";
    for (const char* name : kUnshippedLauncherPreviews) {
        tree.Delete(launcherPreview + name);
    }
    tree.MakeFolder("preview/xxhdpi");
    tree.Copy(launcherPreview + "thumb.jpg", kThemeThumbnail);
    tree.Delete(launcherPreview + "thumb.jpg");
    tree.Delete(launcherPreview + "thumb2.jpg");
}

// Drops the modules not wanted and lets the first wanted of launcher, lock
// screen, call screen give the theme its thumbnail.
void KeepWantedModules(PackRun& run) {
    PackTree& tree = run.tree();
    for (const PackedModule& module : kPackedModules) {
        if (module.id == ModuleId::kCallscreen) {
            tree.Delete(std::string(module.archive_folder) + "/content/res");
        }
        if (!IsWanted(run.wanted(), module.id)) {
            tree.Delete(module.archive_folder);
        }
    }
    for (const PackedModule& module : kPackedModules) {
        if (IsWanted(run.wanted(), module.id)) {
            if (module.id != ModuleId::kLauncher) {
                tree.Copy(std::string(module.archive_folder) + "/preview/xxhdpi/thumb.jpg",
                          kThemeThumbnail);
            }
            break;
        }
    }
}

// The archive, from the tree, written to the partial file and renamed over
// PackName.zip only when complete and not stopped.
bool WriteArchive(PackRun& run, PartialArchive& partial) {
    const std::string archive = ArchivePathOf(run.request());
    ZipWriteControl control;
    control.stop = [&run] { return run.StopRequested(); };
    control.progress = [&run](std::uint64_t done, std::uint64_t total) {
        run.Advance(total == 0 ? 1.0 : static_cast<double>(done) / static_cast<double>(total));
    };
    if (!ZipWriteFile(run.tree().EntriesBelow(""), partial.path(), control)) {
        if (run.StopRequested()) {
            return false;
        }
        LogError("failed to generate prj zip archive.\n");
        return run.Fail("can not write " + archive);
    }
    if (run.StopRequested()) {
        return false;
    }
    if (::rename(partial.path().c_str(), archive.c_str()) != 0) {
        LogError("failed to generate prj zip archive.\n");
        LogError("can not rename %s to %s: %s\n", partial.path().c_str(), archive.c_str(),
                 std::strerror(errno));
        return run.Fail("can not write " + archive);
    }
    partial.Placed();
    return true;
}

// Everything that makes the archive.
bool PackInto(PackRun& run, const std::string& launcher) {
    PartialArchive partial(run.request().pack_path);
    if (partial.path().empty()) {
        return run.Fail("can not write in " + run.request().pack_path);
    }
    // The pack never takes its own output into the archive, wherever the
    // save folder lies.
    std::vector<std::string> skip = {partial.path()};
    std::error_code error;
    const std::string archive = ArchivePathOf(run.request());
    if (PathExists(archive)) {
        skip.push_back(std::filesystem::canonical(archive, error).string());
    }
    skip.push_back(std::filesystem::canonical(partial.path(), error).string());
    LogDebug("prj = %s, name = %s\n", archive.c_str(), FileNameOf(launcher).c_str());
    run.tree().MakeFolder("content");
    run.tree().MakeFolder(ArchiveFolder(ModuleId::kLauncher));
    run.tree().MakeFolder("preview");
    if (!PackModule(run, launcher, skip)) {
        if (!run.StopRequested()) {
            LogError("pack %s failed.\n", FileNameOf(launcher).c_str());
        }
        return false;
    }
    PlaceThumbnail(run);
    KeepWantedModules(run);
    run.Enter(PackStep::kArchive);
    return WriteArchive(run, partial);
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
    if (name.size() + 4 > kMaxFileNameBytes) {
        return "the pack name is too long: " + name + ".zip would be longer than " +
               std::to_string(kMaxFileNameBytes) + " bytes, the longest file name a folder holds";
    }
    if (request.pack_path.empty()) {
        return "no folder is given to save the pack in";
    }
    if (!IsFolder(request.pack_path)) {
        return "the folder " + request.pack_path + " does not exist";
    }
    return "";
}

ScreensToDraw ScreensInArchive(const std::string& module, const WantedModules& wanted) {
    for (const PackedModule& packed : kPackedModules) {
        if (module != packed.project_folder) {
            continue;
        }
        if (packed.id == ModuleId::kLauncher) {
            // Screens 3 to 6 are left out (kUnshippedLauncherPreviews).
            return ScreensToDraw::kFirst;
        }
        return IsWanted(wanted, packed.id) ? ScreensToDraw::kEvery : ScreensToDraw::kNone;
    }
    return ScreensToDraw::kNone;
}

PackResult PackProject(const PackRequest& request, const PackObserver& observer,
                       gfx::DecodedPictures* pictures) {
    ClearPackStop();
    gfx::DecodedPictures own;
    PackRun run(request, observer, pictures != nullptr ? *pictures : own);
    run.Enter(PackStep::kSaveColors);
    // Checks that refuse a pack before anything is written belong here.
    const std::string refusal = CheckPackRequest(request);
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
    const bool packed = PackInto(run, launcher);
    return Finish(run, packed);
}

}  // namespace sw::pack
