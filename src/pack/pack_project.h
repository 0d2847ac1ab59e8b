// Packing: the open project turned into the one archive a phone's theme app
// installs, PackPath/PackName.zip.
#pragma once

#include "engine/theme_project.h"
#include "gfx/decoded_pictures.h"
#include "pack/pack_request.h"

namespace sw::pack {

// Packs the process's open project. The colours are saved first; the
// archive is then made straight from the project's files: nothing is copied,
// each file that goes in unchanged is read once as the archive is written,
// and what the pack makes (density images, thumbnails, layouts with their
// colours, each module's res.zip) is held in memory. Names beginning with a
// dot or ending in "~" are never packed; a pipe or other special file, or a
// link leading out of the project, refuses the pack with a line naming it.
// The archive is written under a short hidden name beside its final name and
// renamed into place, so PackPath/PackName.zip is either the old file or a
// complete new one. Runs on the calling thread; the images are made on the
// program's worker threads, decoded through pictures when given (a check
// that ran before may hold them). Stops within moments when StopPackTools is
// called or the observer asks, leaving no archive.
PackResult PackProject(const PackRequest& request, const PackObserver& observer = {},
                       gfx::DecodedPictures* pictures = nullptr);

// Why request cannot be packed at all ("" when it can): an empty or unusable
// pack name (one whose archive name would not fit in a folder entry), or a
// save folder that is missing.
std::string CheckPackRequest(const PackRequest& request);

// The screens of the module in the project folder module whose previews an
// archive of the wanted modules holds, for an open that only a pack follows:
// the home screen's first two (the first gives the theme its thumbnail
// whatever is packed), every screen of a wanted lock screen or call screen,
// none of any other module.
ScreensToDraw ScreensInArchive(const std::string& module, const WantedModules& wanted);

}  // namespace sw::pack
