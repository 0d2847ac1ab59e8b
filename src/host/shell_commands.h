// Handlers of the commands that several tables share, for command groups.
#pragma once

#include "host/command_table.h"

namespace sw::host {

// ALERT(message): the warning alert over the top window.
CommandResult AlertCommand(CommandCall& call);
// Explorer(first, second): shows a folder, or the folder of a file or of a
// selection ("/n,/select,"); other texts are refused with a WARN line.
CommandResult ExplorerCommand(CommandCall& call);
// ShowChooseFileDialog(filter): the file dialog owned by the calling window.
CommandResult ShowChooseFileDialogCommand(CommandCall& call);
// NavigateUrl(url): opens a web address in the desktop's browser.
CommandResult NavigateUrlCommand(CommandCall& call);
// openlog(first, second): opens runtime.log; the arguments are ignored.
CommandResult OpenLogCommand(CommandCall& call);
// GetParameter(): the popup's parameters as styled JSON ("null\n" when unset).
CommandResult GetParameterCommand(CommandCall& call);

// The folder Explorer opens for its two arguments: second when it is an
// existing folder, the folder of second when it is an existing file or when
// first asks for a selection; "" for any other text (a web or file address, a
// relative or missing path), which is not opened.
std::string ExplorerTarget(const std::string& first, const std::string& second);

}  // namespace sw::host
