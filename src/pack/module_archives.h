// Inside a packed theme every module keeps its Android resources as one
// archive, content/res.zip. These steps remove what only the editor uses,
// drop the launcher icons the designer left out, and archive each module's
// resources. Module folders are paths of the archive being made; a module's
// res.zip is made in memory. stop is polled between the entries of an
// archive; a stopped archive fails without its ERROR line.
#pragma once

#include <functional>
#include <string>

#include "pack/pack_tree.h"

namespace sw::pack {

// Removes the call screen's template files, values, editor thumbnails and
// drawable-xxhdpi (its images now live in the density folders), then archives
// content/res as content/res.zip and removes content/res. False, with
// "failed to resCallscreen zip archive.", when the archive fails.
bool ArchiveCallscreen(PackTree& tree, const std::string& callscreenDir,
                       const std::function<bool()>& stop);

// Deletes from the launcher's drawable-xxhdpi every file named in
// exclusions (",a.png,b.png"). Names that are not plain file names are
// skipped with a WARN line.
void DeleteExcludedIcons(PackTree& tree, const std::string& launcherDir,
                         const std::string& exclusions);

// Removes the lock screen's drawable-xxhdpi, values, the six layout templates
// with their resources, and the template files.
void CleanLockscreen(PackTree& tree, const std::string& lockscreenDir);

// content/res as content/res.zip, then content/res removed. False, with
// "failed to resLockscreen zip archive." or "failed to reslauncher zip
// archive.", when the archive fails. The launcher's archive keeps its values.
bool ArchiveLockscreen(PackTree& tree, const std::string& lockscreenDir,
                       const std::function<bool()>& stop);
bool ArchiveLauncher(PackTree& tree, const std::string& launcherDir,
                     const std::function<bool()>& stop);

}  // namespace sw::pack
