#include "host/shell_commands.h"

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"
#include "core/process.h"
#include "core/text.h"
#include "host/alerts.h"
#include "host/host.h"
#include "host/json_text.h"
#include "host/system_dialogs.h"
#include "host/window.h"

namespace sw::host {

namespace {

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string ExplorerTarget(const std::string& first, const std::string& second) {
    const std::string target = Trim(second);
    // Only folders of this computer are shown, named by an absolute path: a
    // web or file address, a relative name or a missing path is no folder.
    if (target.empty() || target[0] != '/' || !PathExists(target)) {
        return "";
    }
    // A file is shown by its folder, never opened.
    if (first.find("/select") != std::string::npos || !IsFolder(target)) {
        const std::string folder = FolderOf(target);
        if (folder.empty()) {
            return "/";
        }
        return IsFolder(folder) ? folder : "";
    }
    return target;
}

CommandResult AlertCommand(CommandCall& call) {
    ShowWarningAlert(call.host(), call.text(0));
    return CommandResult::None();
}

CommandResult ExplorerCommand(CommandCall& call) {
    const std::string parameters = call.text(0) + " " + call.text(1);
    LogDebug("explorer: cmd = %s\n", parameters.c_str());
    const std::string target = ExplorerTarget(call.text(0), call.text(1));
    if (target.empty()) {
        LogWarn("not shown: %s is not an existing folder or file\n", Trim(call.text(1)).c_str());
        return CommandResult::None();
    }
    OpenWithShell(target);
    return CommandResult::None();
}

CommandResult ShowChooseFileDialogCommand(CommandCall& call) {
    return CommandResult::Text(ChooseFileToOpen(call.host(), &call.window(), call.text(0)));
}

CommandResult NavigateUrlCommand(CommandCall& call) {
    const std::string url = Trim(call.text(0));
    if (StartsWithIgnoringCase(url, "http://") || StartsWithIgnoringCase(url, "https://")) {
        OpenWithShell(url);
    } else {
        LogWarn("not opened: %s is not a web address\n", url.c_str());
    }
    return CommandResult::None();
}

CommandResult OpenLogCommand(CommandCall&) {
    const std::string path = GetLogFilePath();
    if (!path.empty()) {
        OpenWithShell(path);
    }
    return CommandResult::None();
}

CommandResult GetParameterCommand(CommandCall& call) {
    return CommandResult::Text(StyledJson(call.window().popup_info().parameters));
}

}  // namespace sw::host
