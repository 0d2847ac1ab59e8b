#include "pack/module_archives.h"

#include "core/files.h"
#include "core/log.h"
#include "core/zip.h"
#include "pack/comma_list.h"

namespace sw::pack {

namespace {

// source: the folder's contents as the archive's top level, either as
// "FOLDER/*.*" or as the plain folder.
bool ArchiveResources(const std::string& moduleDir, const std::string& source,
                      const char* failure) {
    if (!ZipCompress(source, moduleDir + "/content/res.zip")) {
        LogError("%s", failure);
        return false;
    }
    DeletePath(moduleDir + "/content/res");
    return true;
}

}  // namespace

bool ArchiveCallscreen(const std::string& callscreenDir) {
    for (const char* path : {"/template.xml", "/template_values.xml", "/content/res/values",
                             "/preview/xxhdpi/thumbnail", "/content/res/drawable-xxhdpi"}) {
        DeletePath(callscreenDir + path);
    }
    return ArchiveResources(callscreenDir, callscreenDir + "/content/res/*.*",
                            "failed to resCallscreen zip archive.\n");
}

void DeleteExcludedIcons(const std::string& launcherDir, const std::string& exclusions) {
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
        DeletePath(drawable + name);
    }
}

void CleanLockscreen(const std::string& lockscreenDir) {
    DeletePath(lockscreenDir + "/content/res/drawable-xxhdpi");
    DeletePath(lockscreenDir + "/content/res/values");
    DeletePath(lockscreenDir + "/content/lockscreen");
    DeletePath(lockscreenDir + "/template.xml");
    DeletePath(lockscreenDir + "/template_values.xml");
    for (int k = 1; k <= 6; ++k) {
        const std::string n = std::to_string(k);
        DeletePath(lockscreenDir + "/content/lockscreen" + n);
        DeletePath(lockscreenDir + "/template" + n + ".xml");
        DeletePath(lockscreenDir + "/template_values" + n + ".xml");
    }
}

bool ArchiveLockscreen(const std::string& lockscreenDir) {
    return ArchiveResources(lockscreenDir, lockscreenDir + "/content/res/*.*",
                            "failed to resLockscreen zip archive.\n");
}

bool ArchiveLauncher(const std::string& launcherDir) {
    return ArchiveResources(launcherDir, launcherDir + "/content/res",
                            "failed to reslauncher zip archive.\n");
}

}  // namespace sw::pack
