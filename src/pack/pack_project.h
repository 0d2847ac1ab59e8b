// Packing: the open project turned into the one archive a phone's theme app
// installs, PackPath/PackName.zip.
#pragma once

#include "pack/pack_request.h"

namespace sw::pack {

// Packs the process's open project. The colours are saved first; the
// project is then copied into a new work folder below the home folder's tmp/
// (PackWorkFolder), processed there and archived. The archive is written
// beside its final name and renamed into place, so PackPath/PackName.zip is
// either the old file or a complete new one. The work folder is removed on
// every way out. Runs on the calling thread; the resizing uses a pool of its
// own. Stops within moments when StopPackTools is called or the observer
// asks, leaving no archive.
PackResult PackProject(const PackRequest& request, const PackObserver& observer = {});

// Why request cannot be packed at all ("" when it can): an empty or unusable
// pack name, or a save folder that is missing.
std::string CheckPackRequest(const PackRequest& request);

}  // namespace sw::pack
