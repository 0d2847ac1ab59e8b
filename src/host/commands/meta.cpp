// The description-file commands of the create and pack forms: fill the form
// from meta.json, and write the pack form's texts into the five files.
#include <vector>

#include "host/command_group.h"
#include "host/edit_steps.h"
#include "host/escape.h"
#include "host/script_bridge.h"
#include "host/window.h"
#include "settings/theme_meta.h"

namespace sw::host {

namespace {

// One field setter per field, the value escaped for the script string.
void FillFields(Window& popup, const std::vector<settings::FormField>& fields) {
    for (const settings::FormField& field : fields) {
        EvalInPage(&popup, "$('#%s').val('%s');", EscapeJsString(field.id).c_str(),
                   EscapeJsString(field.value).c_str());
    }
}

CommandResult LoadMetaJsonContent(CommandCall& call) {
    std::vector<settings::FormField> fields;
    if (settings::CreateFormFields(fields)) {
        FillFields(call.window(), fields);
    }
    return CommandResult::None();
}

CommandResult LoadMetaJson(CommandCall& call) {
    std::vector<settings::FormField> fields;
    if (settings::PackFormFields(call.text(0), call.text(1), fields)) {
        FillFields(call.window(), fields);
    }
    return CommandResult::None();
}

// The page hears whether all five files were written, so it can warn before
// packing descriptions that were not saved.
CommandResult SaveMetaJson(CommandCall& call) {
    return CommandResult::Boolean(settings::SaveMetaJson(call.text(0), call.text(1), call.text(2),
                                                         call.text(3), call.text(4), call.text(5)));
}

}  // namespace

}  // namespace sw::host

SKINWRIGHT_COMMAND_GROUP(meta) {
    using namespace sw::host;
    tables.Add(WindowClass::kPopup,
               {
                   {"LoadMetaJsonContent", {}, ResultKind::kNone, &LoadMetaJsonContent},
                   {"LoadMetaJson", Texts(2), ResultKind::kNone, &LoadMetaJson},
                   {"SaveMetaJson", Texts(6), ResultKind::kBoolean,
                    RecordedEdit("主题描述", &SaveMetaJson)},
               });
}
