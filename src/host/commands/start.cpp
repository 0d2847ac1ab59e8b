// The start window's ready work and its download command.
#include "host/command_group.h"
#include "host/download.h"
#include "host/host.h"
#include "host/shell_commands.h"
#include "host/start_ready.h"

namespace sw::host {

namespace {

// The page waits until the ready work is done.
CommandResult StartDocumentReady(CommandCall& call) {
    StartReadyWork(call.host());
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
                   {"ALERT", Texts(1), ResultKind::kNone, &AlertCommand},
               });
}
