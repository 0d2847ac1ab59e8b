#include "host/edit_steps.h"

#include <json/value.h>

#include <functional>

#include "core/write_watch.h"
#include "engine/edit_history.h"
#include "engine/theme_project.h"
#include "host/alerts.h"
#include "host/escape.h"
#include "host/host.h"
#include "host/json_text.h"
#include "host/project_refresh.h"
#include "host/script_bridge.h"
#include "host/window.h"

namespace sw::host {

namespace {

std::string FileList(const std::vector<std::string>& files) {
    std::string list;
    for (const std::string& file : files) {
        list += "<br />" + EscapeHtml(file);
    }
    return list;
}

// What the designer reads when a step cannot be taken.
std::string RefusalText(const HistoryOutcome& outcome, bool undo) {
    const std::string action = undo ? "撤销" : "重做";
    const std::string step = "“" + EscapeHtml(outcome.label) + "”";
    switch (outcome.result) {
        case HistoryOutcome::Result::kRefused:
            return "无法" + action + step + "：以下文件在这一步之后被其他程序改动过，" + action +
                   "会覆盖这些改动，所以没有" + action + "：" + FileList(outcome.files);
        case HistoryOutcome::Result::kDamaged:
            return "无法" + action + step + "：历史记录中保存的以下文件已丢失或被改动，没有" +
                   action + "：" + FileList(outcome.files);
        case HistoryOutcome::Result::kFailed:
            return action + step + "没有完成，以下文件未能写入：" + FileList(outcome.files) +
                   "<br />请确认主题包文件没有被其他程序打开后再试。";
        case HistoryOutcome::Result::kDone:
        case HistoryOutcome::Result::kNothing:
            break;
    }
    return "";
}

std::string StepAnswer(bool done, const std::vector<IconChange>& icons, bool undo) {
    Json::Value answer(Json::objectValue);
    answer["done"] = done;
    Json::Value& list = answer["icons"] = Json::Value(Json::arrayValue);
    for (const IconChange& icon : icons) {
        Json::Value entry(Json::objectValue);
        entry["name"] = icon.name;
        entry["excluded"] = undo ? icon.excluded_before : icon.excluded_after;
        list.append(entry);
    }
    return StyledJson(answer);
}

// Tells the designer, once, of every history that could not be read and was
// set aside for a new one.
void AlertSetAsideHistories(Host& host) {
    for (const std::string& aside : TakeSetAsideHistories()) {
        ShowWarningAlert(host, "撤销记录无法读取，已另存为<br />" + EscapeHtml(aside) +
                                   "<br />并开始新的撤销记录。");
    }
}

// Runs handler as one step named by namer, called before the handler.
CommandHandler RecordedEditNamed(std::function<std::string(CommandCall&)> namer,
                                 CommandHandler handler) {
    return [namer = std::move(namer), handler = std::move(handler)](CommandCall& call) {
        EditStepRecorder recorder(OpenProjectFolder(), namer(call));
        CommandResult result;
        {
            ScopedWriteWatch watch(recorder);
            result = handler(call);
        }
        // The edit's own answer stands whatever became of its step.
        if (recorder.Commit()) {
            EvalInPage(&call.host().main_window(), "UpdateHistoryButtons();");
        }
        AlertSetAsideHistories(call.host());
        return result;
    };
}

}  // namespace

CommandHandler RecordedEdit(const char* label, CommandHandler handler) {
    return RecordedEditNamed([label](CommandCall&) { return std::string(label); },
                             std::move(handler));
}

CommandHandler RecordedEdit(StepNamer namer, CommandHandler handler) {
    return RecordedEditNamed(namer, std::move(handler));
}

std::string StepName(const std::string& action, const std::string& what) {
    return what.empty() ? action : action + " " + what;
}

std::string TakeHistoryStep(Window& main, bool undo) {
    Host& host = main.host();
    const std::string folder = OpenProjectFolder();
    HistoryOutcome outcome;
    {
        // Under the project's write lock, as every change of its files: a
        // change made outside that is being drawn becomes its step first.
        const ProjectWriter project = WriteProject();
        outcome = undo ? UndoStep(folder) : RedoStep(folder);
    }
    AlertSetAsideHistories(host);
    if (!outcome.done()) {
        if (outcome.result != HistoryOutcome::Result::kNothing) {
            ShowWarningAlert(host, RefusalText(outcome, undo));
        }
        return StepAnswer(false, {}, undo);
    }
    if (!ReloadAndSendLists(main)) {
        return StepAnswer(false, {}, undo);
    }
    return StepAnswer(true, outcome.icons, undo);
}

std::string HistoryStateJson() {
    const HistoryState state = ReadHistoryState(OpenProjectFolder());
    Json::Value answer(Json::objectValue);
    answer["undo"] = state.undo_label;
    answer["redo"] = state.redo_label;
    return StyledJson(answer);
}

}  // namespace sw::host
