// The editor page's commands that bring it up to date with the project's
// files: 刷新 reads the project again from disk.
#include "host/command_group.h"
#include "host/project_refresh.h"

namespace sw::host {

namespace {

CommandResult RefreshProject(CommandCall& call) {
    return CommandResult::Text(RefreshProjectAnswer(call.window()));
}

}  // namespace

}  // namespace sw::host

SKINWRIGHT_COMMAND_GROUP(live) {
    using namespace sw::host;
    using K = ResultKind;
    tables.Add(WindowClass::kMain, {{"RefreshProject", {}, K::kText, &RefreshProject}});
}
