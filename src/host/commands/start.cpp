// The start window's ready work and its download command.
#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"
#include "host/command_group.h"
#include "host/download.h"
#include "host/host.h"

namespace sw::host {

namespace {

// Empties the two working folders and refreshes the template's icon list
// from the update server; the page waits until this is done.
CommandResult StartDocumentReady(CommandCall& call) {
    DeletePath(HomePath("themetool"));
    DeletePath(HomePath("tmp"));
    const std::string url = IconListUrl(call.host().options().update_server);
    if (url.empty()) {
        LogInfo("no update server is set: the shipped icon list stays in use\n");
    } else {
        Download(url, IconListPath());
    }
    return CommandResult::None();
}

// InternetDownload(url): fetches url as the template's icon list.
CommandResult InternetDownload(CommandCall& call) {
    return CommandResult::Boolean(Download(call.text(0), IconListPath()));
}

}  // namespace

}  // namespace sw::host

SKINWRIGHT_COMMAND_GROUP(start) {
    using namespace sw::host;
    tables.Add(WindowClass::kStart,
               {
                   {"OnDocumentReady", {}, ResultKind::kNone, &StartDocumentReady},
                   {"InternetDownload", Texts(1), ResultKind::kBoolean, &InternetDownload},
               });
}
