// The editor page's undo and redo: take a step of the open project's history
// back or forth, and tell the page which steps there are.
#include "host/command_group.h"
#include "host/edit_steps.h"

namespace sw::host {

namespace {

CommandResult Undo(CommandCall& call) {
    return CommandResult::Text(TakeHistoryStep(call.window(), true));
}

CommandResult Redo(CommandCall& call) {
    return CommandResult::Text(TakeHistoryStep(call.window(), false));
}

CommandResult GetHistoryState(CommandCall&) {
    return CommandResult::Text(HistoryStateJson());
}

}  // namespace

}  // namespace sw::host

SKINWRIGHT_COMMAND_GROUP(history) {
    using namespace sw::host;
    using K = ResultKind;
    tables.Add(WindowClass::kMain, {
                                       {"Undo", {}, K::kText, &Undo},
                                       {"Redo", {}, K::kText, &Redo},
                                       {"GetHistoryState", {}, K::kText, &GetHistoryState},
                                   });
}
