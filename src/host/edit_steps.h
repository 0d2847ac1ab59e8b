// The editor's undo and redo on the host's side: the commands that change
// the project's files record what they write as one step of the project's
// history, and Undo and Redo take steps back and forth and bring the project,
// its previews and the editor page's lists up to date.
#pragma once

#include <string>

#include "host/command_table.h"

namespace sw::host {

class Host;
class Window;

// Runs handler as one step of the open project's history, named label
// ("替换图片"): every file of the project it writes is kept as it was before.
// When the step was added, the editor page hears of it
// ("UpdateHistoryButtons();") so that its buttons follow.
CommandHandler RecordedEdit(const char* label, CommandHandler handler);

// The same, with the step named by what the call changes: namer gives the
// name before the handler runs ("替换图片 wallpaper.jpg").
using StepNamer = std::string (*)(CommandCall& call);
CommandHandler RecordedEdit(StepNamer namer, CommandHandler handler);

// A step's name: the action, then what it changed when that is known.
std::string StepName(const std::string& action, const std::string& what);

// Takes the last step back (undo) or the next one again (redo) in the open
// project, then reloads the project, draws its thumbnails at the editor
// page's size and hands main's page the new lists. A step that cannot be
// taken shows an alert saying why. The answer for the page:
// {"done":bool,"icons":[{"name":FILE,"excluded":bool}]}.
std::string TakeHistoryStep(Window& main, bool undo);

// {"redo":LABEL,"undo":LABEL} of the open project; "" for no step.
std::string HistoryStateJson();

}  // namespace sw::host
