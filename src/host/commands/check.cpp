// The editor's check panel: the findings of the project check, and the
// element a finding is about, for the page to select.
#include "check/project_check.h"
#include "core/log.h"
#include "core/text.h"
#include "engine/page_lists.h"
#include "engine/theme_project.h"
#include "host/command_group.h"

namespace sw::host {

namespace {

// CheckTheme(): the findings as a JSON array ("[]" for none); for a finding
// about an element also its page, screen and element.
CommandResult CheckTheme(CommandCall&) {
    check::Findings findings;
    // The check reads the project as the open left it, every screen drawn.
    WaitForOpenDrawing();
    {
        const ProjectReader project = ReadProject();
        if (!project->loaded()) {
            LogWarn("check: no project is open\n");
            return CommandResult::Text("[]");
        }
        findings = check::CheckProject(*project);
    }
    return CommandResult::Text(StyledJson(check::FindingsToJson(findings)));
}

// GetElementByID(package, screen, element): the element as a one-element
// array, as GetElementByXY answers a click on it; "[]" when there is none.
CommandResult GetElementByID(CommandCall& call) {
    Json::Value hits(Json::arrayValue);
    {
        const ProjectReader project = ReadProject();
        const ThemeModule* module = project->FindModule(call.text(0));
        const ThemeElement* element =
            module == nullptr ? nullptr : module->FindElement(call.number(1), call.number(2));
        if (element == nullptr) {
            return CommandResult::Text("[]");
        }
        hits.append(ElementToJson(*element));
    }
    return CommandResult::Text(StyledJson(hits));
}

}  // namespace

}  // namespace sw::host

SKINWRIGHT_COMMAND_GROUP(check) {
    using namespace sw::host;
    using K = ResultKind;
    constexpr ArgKind T = ArgKind::kText;
    constexpr ArgKind N = ArgKind::kNumber;
    tables.Add(WindowClass::kMain, {
                                       {"CheckTheme", {}, K::kText, &CheckTheme},
                                       {"GetElementByID", {T, N, N}, K::kText, &GetElementByID},
                                   });
}
