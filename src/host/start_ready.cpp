#include "host/start_ready.h"

#include "core/log.h"
#include "core/scratch_folder.h"
#include "host/download.h"
#include "host/host.h"

namespace sw::host {

void StartReadyWork(const Host& host) {
    EmptyScratchFolders();
    const std::string url = IconListUrl(host.options().update_server);
    if (url.empty()) {
        LogInfo("no update server is set: the shipped icon list stays in use\n");
    } else {
        Download(url, IconListPath());
    }
}

}  // namespace sw::host
