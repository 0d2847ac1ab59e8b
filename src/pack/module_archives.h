// Inside a packed theme every module keeps its Android resources as one
// archive, content/res.zip. These steps remove what only the editor uses,
// drop the launcher icons the designer left out, and archive each module's
// resources.
#pragma once

#include <string>

namespace sw::pack {

// Removes the call screen's template files, values, editor thumbnails and
// drawable-xxhdpi (its images now live in the density folders), then archives
// content/res as content/res.zip and removes content/res. False, with
// "failed to resCallscreen zip archive.", when the archive fails.
bool ArchiveCallscreen(const std::string& callscreenDir);

// Deletes from the launcher's drawable-xxhdpi every file named in
// exclusions (",a.png,b.png"). Names that are not plain file names are
// skipped with a WARN line.
void DeleteExcludedIcons(const std::string& launcherDir, const std::string& exclusions);

// Removes the lock screen's drawable-xxhdpi, values, the six layout templates
// with their resources, and the template files.
void CleanLockscreen(const std::string& lockscreenDir);

// content/res as content/res.zip, then content/res removed. False, with
// "failed to resLockscreen zip archive." or "failed to reslauncher zip
// archive.", when the archive fails. The launcher's archive keeps its values.
bool ArchiveLockscreen(const std::string& lockscreenDir);
bool ArchiveLauncher(const std::string& launcherDir);

}  // namespace sw::pack
