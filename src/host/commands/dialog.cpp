// The commands of the host's file, folder and colour dialog pages.
#include "core/process.h"
#include "host/command_group.h"
#include "host/shell_commands.h"
#include "host/system_dialogs.h"
#include "host/window.h"

namespace sw::host {

namespace {

CommandResult ListFolder(CommandCall& call) {
    return CommandResult::Text(ListFolderJson(call.text(0), call.text(1)));
}

CommandResult EndDialog(CommandCall& call) {
    return CommandResult::Boolean(EndDialogWith(call.window(), call.text(0)));
}

CommandResult CloseDialog(CommandCall& call) {
    call.window().End("cancel");
    return CommandResult::None();
}

}  // namespace

}  // namespace sw::host

SKINWRIGHT_COMMAND_GROUP(dialog) {
    using namespace sw::host;
    using K = ResultKind;
    tables.Add(WindowClass::kDialog, {
                                         {"GetParameter", {}, K::kText, &GetParameterCommand},
                                         {"ListFolder", Texts(2), K::kText, &ListFolder},
                                         {"EndDialog", Texts(1), K::kBoolean, &EndDialog},
                                         {"CloseWindow", {}, K::kNone, &CloseDialog},
                                     });
}
