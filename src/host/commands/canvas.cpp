// The editor preview's own commands: the boxes of a screen's elements, and
// the values a layout form would show, so that the preview can move an
// element through that form's save with the form's own value list.
#include <json/value.h>

#include <string>
#include <vector>

#include "core/log.h"
#include "core/paths.h"
#include "engine/page_lists.h"
#include "engine/theme_project.h"
#include "host/command_group.h"
#include "settings/callscreen_editor.h"
#include "settings/lockscreen_animator.h"
#include "settings/lockscreen_editor.h"
#include "settings/weather_editor.h"

namespace sw::host {

namespace {

using FieldLoader = std::vector<settings::FormField> (*)(const std::string&, const std::string&);

struct LayoutForm {
    const char* name;
    FieldLoader fields;
};

// The forms that place elements on a preview, by the names the page uses.
constexpr LayoutForm kLayoutForms[] = {
    {"lockscreen", &settings::LockscreenFormFields},
    {"callscreen", &settings::CallscreenFormFields},
    {"weather", &settings::WeatherFormFields},
    {"animator", &settings::AnimatorFormFields},
};

// GetScreenElements(package, screen): every element of the screen, read-only
// ones included, as the hit test describes them, in drawing order; "[]" for
// an unknown module or screen. The rectangles are the current ones, moves
// made since the project was opened included.
CommandResult GetScreenElements(CommandCall& call) {
    Json::Value list(Json::arrayValue);
    {
        const ProjectReader project = ReadProject();
        const ThemeModule* module = project->FindModule(call.text(0));
        const int screen = call.number(1);
        if (module == nullptr || screen < 0 ||
            static_cast<std::size_t>(screen) >= module->screens.size()) {
            return CommandResult::Text("[]");
        }
        for (const ThemeElement& element : module->screens[screen].elements) {
            list.append(ElementToJson(element));
        }
    }
    return CommandResult::Text(StyledJson(list));
}

// GetFormValues(form): {"name", "path", "fields": {field: value}} with the
// values the form would be filled with for the open project, and the name
// and folder its save is called with; "" for an unknown form or no project.
CommandResult GetFormValues(CommandCall& call) {
    const LayoutForm* form = nullptr;
    for (const LayoutForm& candidate : kLayoutForms) {
        if (call.text(0) == candidate.name) {
            form = &candidate;
        }
    }
    if (form == nullptr) {
        LogError("GetFormValues: no layout form is called \"%s\"\n", call.text(0).c_str());
        return CommandResult::Text("");
    }
    Json::Value answer(Json::objectValue);
    {
        const ProjectReader project = ReadProject();
        if (!project->loaded() || !project->document().isObject()) {
            LogWarn("GetFormValues: no project is open\n");
            return CommandResult::Text("");
        }
        const Json::Value& name = project->document().get("name", Json::Value());
        answer["name"] = name.isString() ? name.asString() : std::string();
        answer["path"] = FolderOf(project->project_path());
    }
    Json::Value& fields = answer["fields"] = Json::Value(Json::objectValue);
    for (const settings::FormField& field :
         form->fields(answer["name"].asString(), answer["path"].asString())) {
        fields[field.id] = field.value;
    }
    return CommandResult::Text(StyledJson(answer));
}

}  // namespace

}  // namespace sw::host

SKINWRIGHT_COMMAND_GROUP(canvas) {
    using namespace sw::host;
    using K = ResultKind;
    constexpr ArgKind T = ArgKind::kText;
    constexpr ArgKind N = ArgKind::kNumber;
    tables.Add(WindowClass::kMain, {
                                       {"GetScreenElements", {T, N}, K::kText, &GetScreenElements},
                                       {"GetFormValues", {T}, K::kText, &GetFormValues},
                                   });
}
