#include "settings/callscreen_editor.h"

#include <array>

#include "settings/density_scale.h"
#include "settings/form_values.h"
#include "settings/layout_file.h"
#include "settings/preview_moves.h"

namespace sw::settings {

namespace {

constexpr char kValues[] = "screencall/template_values.xml";

// One button: its form fields' prefix, its values' prefix, its layout
// element and its element on the preview screen.
struct Button {
    const char* field;
    const char* entry;
    const char* element;
    int preview;
};

// In the order the form is filled (and the preview moved).
constexpr std::array<Button, 4> kButtons = {{
    {"answer", "incoming_answer", "ButtonAnswer", 4},
    {"hangup", "incoming_hangup", "ButtonHangup", 5},
    {"reminder", "incoming_reminder", "ButtonReminder", 6},
    {"sms", "incoming_sms", "ButtonSms", 7},
}};

constexpr std::array<const char*, 4> kEdges = {"x", "y", "w", "h"};

constexpr std::array<const char*, 16> kListOrder = {
    "reminderx", "remindery", "reminderw", "reminderh", "smsx",    "smsy",    "smsw",    "smsh",
    "hangupx",   "hangupy",   "hangupw",   "hanguph",   "answerx", "answery", "answerw", "answerh",
};

std::string Field(const Button& button, const char* edge) {
    return std::string(button.field) + edge;
}

std::string Entry(const Button& button, const char* edge) {
    return std::string(button.entry) + "_" + edge;
}

}  // namespace

std::vector<FormField> CallscreenFormFields(const std::string& name, const std::string& path) {
    std::vector<std::string> names;
    for (const Button& button : kButtons) {
        for (const char* edge : kEdges) {
            names.push_back(Entry(button, edge));
        }
    }
    const ValueTexts values = ReadValues(ProjectFolder(name, path) + "/" + kValues,
                                         "template_values.xml", kDimenEntry, names);
    std::vector<FormField> fields;
    for (const Button& button : kButtons) {
        for (const char* edge : kEdges) {
            fields.push_back({Field(button, edge), TextOf(values, Entry(button, edge))});
        }
    }
    return fields;
}

SaveReport SaveCallscreen(const std::string& name, const std::string& path,
                          const std::string& list) {
    SaveBatch batch(ProjectFolder(name, path));
    SaveReport& report = batch.report();
    FormValues v;
    if (!SplitForSave(list, kListOrder, "SaveCallscreen", v, report)) {
        return report;
    }
    ValuesFile* values = batch.OpenValues(kValues, "template_values.xml");
    const std::vector<ScaledLayout> layouts = OpenLayouts(
        batch, kCallscreenDensities,
        [](const char* density) {
            return std::string("screencall/content/res/") + density + "/lockscreen.xml";
        },
        "lockscreen.xml");
    if (!batch.CheckOpened()) {
        return report;
    }

    if (values != nullptr) {
        ValueTexts assignments;
        for (const Button& button : kButtons) {
            for (const char* edge : kEdges) {
                assignments[Entry(button, edge)] = v.Text(Field(button, edge));
            }
        }
        values->Write(kDimenEntry, assignments);
    }
    std::vector<ElementMove> moves;
    for (const Button& button : kButtons) {
        moves.push_back({button.preview, v.Number(Field(button, "x")), v.Number(Field(button, "y")),
                         v.Number(Field(button, "w")), v.Number(Field(button, "h")), 0});
    }
    EditLayouts(layouts, [&](TiXmlElement& element, const ScaledLayout& layout) {
        for (const Button& button : kButtons) {
            if (IsElement(element, button.element)) {
                // Widths and heights live in the values file only.
                SetIntAttribute(element, "x", Scaled(v.Number(Field(button, "x")), layout.factor));
                SetIntAttribute(element, "y", Scaled(v.Number(Field(button, "y")), layout.factor));
            }
        }
    });
    if (batch.SaveAll()) {
        MovePreviewElements("通话", moves);
    }
    return report;
}

}  // namespace sw::settings
