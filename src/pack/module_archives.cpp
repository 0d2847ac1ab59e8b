#include "pack/module_archives.h"

#include "core/log.h"
#include "core/zip.h"
#include "pack/comma_list.h"

namespace sw::pack {

namespace {

// The module's content/res as content/res.zip, its contents at the
// archive's top level.
bool ArchiveResources(PackTree& tree, const std::string& moduleDir, const char* failure,
                      const std::function<bool()>& stop) {
    const std::string res = moduleDir + "/content/res";
    bool stopped = false;
    ZipWriteControl control;
    control.stop = [&] { return stopped = stopped || (stop && stop()); };
    std::string bytes;
    if (!tree.IsFolder(res) || !ZipWriteMemory(tree.EntriesBelow(res), bytes, control) ||
        !tree.Put(moduleDir + "/content/res.zip", std::move(bytes))) {
        if (!stopped) {
            if (!tree.IsFolder(res)) {
                LogError("zip source %s is not a folder\n", res.c_str());
            }
            LogError("%s", failure);
        }
        return false;
    }
    tree.Delete(res);
    return true;
}

}  // namespace

bool ArchiveCallscreen(PackTree& tree, const std::string& callscreenDir,
                       const std::function<bool()>& stop) {
    for (const char* path : {"/template.xml", "/template_values.xml", "/content/res/values",
                             "/preview/xxhdpi/thumbnail", "/content/res/drawable-xxhdpi"}) {
        tree.Delete(callscreenDir + path);
    }
    return ArchiveResources(tree, callscreenDir, "failed to resCallscreen zip archive.\n", stop);
}

void DeleteExcludedIcons(PackTree& tree, const std::string& launcherDir,
                         const std::string& exclusions) {
    if (exclusions.empty()) {
        return;
    }
    const std::string drawable = launcherDir + "/content/res/drawable-xxhdpi/";
    // Every entry, the last one included: the list holds a comma before each.
    for (const std::string& name : SplitAtCommas(exclusions.substr(1))) {
        if (name.empty()) {
            continue;
        }
        if (name.find('/') != std::string::npos || name == "." || name == "..") {
            LogWarn("icon exclusion %s is not a file name, skipped\n", name.c_str());
            continue;
        }
        tree.Delete(drawable + name);
    }
}

void CleanLockscreen(PackTree& tree, const std::string& lockscreenDir) {
    tree.Delete(lockscreenDir + "/content/res/drawable-xxhdpi");
    tree.Delete(lockscreenDir + "/content/res/values");
    tree.Delete(lockscreenDir + "/content/lockscreen");
    tree.Delete(lockscreenDir + "/template.xml");
    tree.Delete(lockscreenDir + "/template_values.xml");
    for (int k = 1; k <= 6; ++k) {
        const std::string n = std::to_string(k);
        tree.Delete(lockscreenDir + "/content/lockscreen" + n);
        tree.Delete(lockscreenDir + "/template" + n + ".xml");
        tree.Delete(lockscreenDir + "/template_values" + n + ".xml");
    }
}

bool ArchiveLockscreen(PackTree& tree, const std::string& lockscreenDir,
                       const std::function<bool()>& stop) {
    return ArchiveResources(tree, lockscreenDir, "failed to resLockscreen zip archive.\n", stop);
}

bool ArchiveLauncher(PackTree& tree, const std::string& launcherDir,
                     const std::function<bool()>& stop) {
    return ArchiveResources(tree, launcherDir, "failed to reslauncher zip archive.\n", stop);
}

}  // namespace sw::pack
