// The start window's ready work, its download command and the program's
// version for the page.
#include "core/log.h"
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

// InternetDownload(url): fetches url as the template's icon list, but only
// from the configured update server's icon-list address. Any other address
// is passed over as an unreachable server is: a WARN line, the shipped list
// stays, and the answer is true.
CommandResult InternetDownload(CommandCall& call) {
    const std::string& url = call.text(0);
    const std::string expected = IconListUrl(call.host().options().update_server);
    if (expected.empty() || url != expected) {
        LogWarn("download of %s skipped: not the update server's icon list\n", url.c_str());
        return CommandResult::Boolean(true);
    }
    return CommandResult::Boolean(Download(url, IconListPath()));
}

// The version `skinwright --version` prints, for the start page.
CommandResult GetProgramVersion(CommandCall&) {
    return CommandResult::Text(SKINWRIGHT_VERSION);
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
                   {"GetProgramVersion", {}, ResultKind::kText, &GetProgramVersion},
               });
}
