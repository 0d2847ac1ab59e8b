#include "host/start_ready.h"

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"
#include "host/download.h"
#include "host/host.h"

namespace sw::host {

void StartReadyWork(const Host& host) {
    DeletePath(PushStagingFolder());
    DeletePath(PackWorkFolder());
    const std::string url = IconListUrl(host.options().update_server);
    if (url.empty()) {
        LogInfo("no update server is set: the shipped icon list stays in use\n");
    } else {
        Download(url, IconListPath());
    }
}

}  // namespace sw::host
