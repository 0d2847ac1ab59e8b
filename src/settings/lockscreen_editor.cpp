#include "settings/lockscreen_editor.h"

#include <array>

#include "core/log.h"
#include "settings/form_values.h"
#include "settings/layout_file.h"
#include "settings/lockscreen_template.h"
#include "settings/preview_moves.h"

namespace sw::settings {

namespace {

// The template's values as the form shows them, in the order they are filled.
constexpr std::array<FieldEntry, 68> kTemplateEntries = {{
    {"timex1", "lock_num_h0_x"},
    {"timey1", "lock_num_h0_y"},
    {"timex2", "lock_num_h1_x"},
    {"timey2", "lock_num_h1_y"},
    {"timex3", "lock_num_colon0_x"},
    {"timey3", "lock_num_colon0_y"},
    {"timex4", "lock_num_m0_x"},
    {"timey4", "lock_num_m0_y"},
    {"timex5", "lock_num_m1_x"},
    {"timey5", "lock_num_m1_y"},
    {"timex6", "lock_ampm_x"},
    {"timey6", "lock_ampm_y"},
    {"timew1", "lock_num_h0_w"},
    {"timeh1", "lock_num_h0_h"},
    {"timew2", "lock_num_h1_w"},
    {"timeh2", "lock_num_h1_h"},
    {"timew3", "lock_num_colon0_w"},
    {"timeh3", "lock_num_colon0_h"},
    {"timew4", "lock_num_m0_w"},
    {"timeh4", "lock_num_m0_h"},
    {"timew5", "lock_num_m1_w"},
    {"timeh5", "lock_num_m1_h"},
    {"timew6", "lock_ampm_w"},
    {"timeh6", "lock_ampm_h"},
    {"datex", "lock_date_text_x"},
    {"datey", "lock_date_text_y"},
    {"datesize", "lock_date_text_size"},
    {"batteryx", "lock_battery_text_x"},
    {"batteryy", "lock_battery_text_y"},
    {"batterysize", "lock_battery_text_size"},
    {"handlex", "unlock_handle_x"},
    {"handley", "unlock_handle_y"},
    {"camerax", "unlock_camera_x"},
    {"cameray", "unlock_camera_y"},
    {"phonex", "new_event_num_call_x"},
    {"phoney", "new_event_num_call_y"},
    {"messagex", "new_event_num_massage_x"},
    {"messagey", "new_event_num_massage_y"},
    {"unlockx", "unlock_normal_x"},
    {"unlocky", "unlock_normal_y"},
    {"handlew", "unlock_handle_w"},
    {"handleh", "unlock_handle_h"},
    {"cameraw", "unlock_camera_w"},
    {"camerah", "unlock_camera_h"},
    {"phonew", "new_event_num_call_w"},
    {"phoneh", "new_event_num_call_h"},
    {"messagew", "new_event_num_massage_w"},
    {"messageh", "new_event_num_massage_h"},
    {"unlockw", "unlock_normal_w"},
    {"unlockh", "unlock_normal_h"},
    {"animatorx", "animator_x"},
    {"animatory", "animator_y"},
    {"animatorw", "animator_w"},
    {"animatorh", "animator_h"},
    {"TextOwnerInfoX", "TextOwnerInfo_text_x"},
    {"TextOwnerInfoY", "TextOwnerInfo_text_y"},
    {"TextOwnerInfoSize", "TextOwnerInfo_text_size"},
    {"TextSimAllX", "TextSimAll_text_x"},
    {"TextSimAllY", "TextSimAll_text_y"},
    {"TextSimAllSize", "TextSimAll_text_size"},
    {"datew", "lock_date_text_w"},
    {"batteryw", "lock_battery_text_w"},
    {"TextOwnerInfoW", "TextOwnerInfo_text_w"},
    {"TextSimAllW", "TextSimAll_text_w"},
    {"dateCenter", "lock_date_text_center"},
    {"batteryCenter", "lock_battery_text_center"},
    {"ownerCenter", "TextOwnerInfo_text_center"},
    {"simCenter", "TextSimAll_text_center"},
}};

// The order of the form's value list.
constexpr std::array<const char*, 64> kListOrder = {
    "timex1",         "timey1",         "timex2",         "timey2",
    "timex3",         "timey3",         "timex4",         "timey4",
    "timex5",         "timey5",         "timex6",         "timey6",
    "datex",          "datey",          "batteryx",       "batteryy",
    "handlex",        "handley",        "camerax",        "cameray",
    "phonex",         "phoney",         "messagex",       "messagey",
    "timew1",         "timeh1",         "timew2",         "timeh2",
    "timew3",         "timeh3",         "timew4",         "timeh4",
    "timew5",         "timeh5",         "timew6",         "timeh6",
    "handlew",        "handleh",        "cameraw",        "camerah",
    "phonew",         "phoneh",         "messagew",       "messageh",
    "unlockw",        "unlockh",        "animatorx",      "animatory",
    "animatorw",      "animatorh",      "datesize",       "batterysize",
    "TextOwnerInfoX", "TextOwnerInfoY", "TextOwnerInfoW", "TextOwnerInfoSize",
    "TextSimAllX",    "TextSimAllY",    "TextSimAllW",    "TextSimAllSize",
    "datew",          "batteryw",       "unlockx",        "unlocky",
};

// The four text lines: their size field, their x field, the fixed x of a
// centred line, and the rest of their layout rule.
struct TextLine {
    const char* element;  // in the layouts
    const char* x;
    const char* y;
    const char* w;
    const char* size;
    int centred_x;  // the x a centred line gets in the values and the preview
};

constexpr std::array<TextLine, 4> kTextLines = {{
    {"TextDateWeek", "datex", "datey", "datew", "datesize", 380},
    {"TextBattery", "batteryx", "batteryy", "batteryw", "batterysize", 430},
    {"TextOwnerInfo", "TextOwnerInfoX", "TextOwnerInfoY", "TextOwnerInfoW", "TextOwnerInfoSize",
     450},
    {"TextSimAll", "TextSimAllX", "TextSimAllY", "TextSimAllW", "TextSimAllSize", 450},
}};

// Elements placed by a box of four fields.
struct Box {
    const char* element;
    const char* name;  // the "name" attribute, or null
    const char* x;
    const char* y;
    const char* w;
    const char* h;
};

constexpr std::array<Box, 11> kBoxes = {{
    {"ImageHour10", nullptr, "timex1", "timey1", "timew1", "timeh1"},
    {"ImageHour1", nullptr, "timex2", "timey2", "timew2", "timeh2"},
    {"Image", "colon", "timex3", "timey3", "timew3", "timeh3"},
    {"ImageMin10", nullptr, "timex4", "timey4", "timew4", "timeh4"},
    {"ImageMin1", nullptr, "timex5", "timey5", "timew5", "timeh5"},
    {"ImageAmPm", nullptr, "timex6", "timey6", "timew6", "timeh6"},
    {"ImageEvent", "normal", "unlockx", "unlocky", "unlockw", "unlockh"},
    {"ImageEvent", "message", "messagex", "messagey", "messagew", "messageh"},
    {"ImageEvent", "camera", "camerax", "cameray", "cameraw", "camerah"},
    {"ImageEvent", "call", "phonex", "phoney", "phonew", "phoneh"},
    {"ImageEvent", "unlock", "handlex", "handley", "handlew", "handleh"},
}};

// The unlock handle's ring lies this far up and left of the handle.
constexpr int kRingOffsetX = 176;
constexpr int kRingOffsetY = 163;

bool IsCentred(const std::string& centre) {
    return AtoiValue(centre) == 2;
}

// The values of template number, "" for each one the file does not hold;
// false when the file cannot be used (or the number is not 1 .. 6).
bool TemplateFields(const std::string& folder, const std::string& number,
                    std::vector<FormField>& fields) {
    std::vector<std::string> names;
    for (const FieldEntry& row : kTemplateEntries) {
        names.push_back(row.entry);
    }
    ValuesFile file;
    if (IsTemplateNumber(number)) {
        file.Open(folder + "/" + TemplateValuesFile(number), "template_values.xml");
    }
    const ValueTexts values = file.Read(kDimenEntry, names);
    fields.clear();
    for (const FieldEntry& row : kTemplateEntries) {
        fields.push_back({row.field, TextOf(values, row.entry)});
    }
    return IsUsable(file.state());
}

// The centre texts come with the save, the other values from the list.
ValueTexts TemplateAssignments(const FormValues& values, const LockscreenForm& form) {
    const ValueTexts centres = {{"dateCenter", form.date_center},
                                {"batteryCenter", form.battery_center},
                                {"ownerCenter", form.owner_center},
                                {"simCenter", form.sim_center}};
    ValueTexts assignments;
    for (const FieldEntry& row : kTemplateEntries) {
        const std::string field = row.field;
        if (centres.count(field) != 0) {
            assignments[row.entry] = TextOf(centres, field);
        } else if (field.rfind("animator", 0) != 0) {
            // The animation's rectangle is the animation form's to write.
            assignments[row.entry] = values.Text(field);
        }
    }
    return assignments;
}

std::vector<ElementMove> PreviewMoves(const FormValues& v) {
    std::vector<ElementMove> moves;
    auto box = [&](int element, const char* x, const char* y, const char* w, const char* h) {
        moves.push_back({element, v.Number(x), v.Number(y), v.Number(w), v.Number(h), 0});
    };
    auto text = [&](int element, const TextLine& line, int widthPerSize) {
        const int size = v.Number(line.size);
        moves.push_back({element, v.Number(line.x), v.Number(line.y),
                         WidthOfText(widthPerSize, size), size, size});
    };
    box(1, "animatorx", "animatory", "animatorw", "animatorh");
    for (int digit = 1; digit <= 6; ++digit) {
        const std::string n = std::to_string(digit);
        moves.push_back({2 + digit, v.Number("timex" + n), v.Number("timey" + n),
                         v.Number("timew" + n), v.Number("timeh" + n), 0});
    }
    text(9, kTextLines[0], 9);
    text(10, kTextLines[1], 8);
    text(11, kTextLines[2], 8);
    text(12, kTextLines[3], 8);
    box(13, "handlex", "handley", "handlew", "handleh");
    box(14, "camerax", "cameray", "cameraw", "camerah");
    box(15, "unlockx", "unlocky", "unlockw", "unlockh");
    box(16, "phonex", "phoney", "phonew", "phoneh");
    box(17, "messagex", "messagey", "messagew", "messageh");
    return moves;
}

void EditLayout(TiXmlElement& element, const FormValues& v, const ValueTexts& centres,
                double factor) {
    auto s = [factor](long long value) { return Scaled(value, factor); };
    for (const Box& box : kBoxes) {
        if (IsElement(element, box.element, box.name)) {
            SetIntAttribute(element, "x", s(v.Number(box.x)));
            SetIntAttribute(element, "y", s(v.Number(box.y)));
            SetIntAttribute(element, "w", s(v.Number(box.w)));
            SetIntAttribute(element, "h", s(v.Number(box.h)));
            return;
        }
    }
    for (const TextLine& line : kTextLines) {
        if (!IsElement(element, line.element)) {
            continue;
        }
        SetIntAttribute(element, "y", s(v.Number(line.y)));
        SetIntAttribute(element, "w", s(v.Number(line.w)));
        SetIntAttribute(element, "size", s(v.Number(line.size)));
        // A centred line is placed by the phone; a left-aligned one at its x.
        const bool centred = IsCentred(TextOf(centres, line.element));
        SetIntAttribute(element, "alignX", centred ? 0 : 1);
        SetIntAttribute(element, "gravityX", centred ? 0 : 1);
        SetIntAttribute(element, "x", centred ? 0 : s(v.Number(line.x)));
        return;
    }
    if (IsElement(element, "LockRad")) {
        SetIntAttribute(element, "x",
                        s(static_cast<long long>(v.Number("handlex")) - kRingOffsetX));
        SetIntAttribute(element, "y",
                        s(static_cast<long long>(v.Number("handley")) - kRingOffsetY));
    }
}

}  // namespace

std::vector<FormField> LockscreenTemplateFields(const std::string& name, const std::string& path,
                                                const std::string& number) {
    if (!IsTemplateNumber(number)) {
        LogError("lock-screen template \"%s\" is not one of 1 to 6\n", number.c_str());
        return {};
    }
    // The form keeps its values when the template's cannot be read, so the
    // save that follows a change of template never writes empty ones.
    std::vector<FormField> fields;
    if (!TemplateFields(ProjectFolder(name, path), number, fields)) {
        return {};
    }
    return fields;
}

std::vector<FormField> LockscreenFormFields(const std::string& name, const std::string& path) {
    const std::string folder = ProjectFolder(name, path);
    const std::string number = StoredTemplateNumber(folder);
    std::vector<FormField> values;
    TemplateFields(folder, number, values);
    std::vector<FormField> fields = {{"Lockscreentemplate", number}};
    fields.insert(fields.end(), values.begin(), values.end());
    return fields;
}

SaveReport SaveLockscreen(const std::string& name, const std::string& path,
                          const LockscreenForm& form) {
    SaveBatch batch(ProjectFolder(name, path));
    SaveReport& report = batch.report();
    if (!IsTemplateNumber(form.number)) {
        LogError("SaveLockscreen: template \"%s\" is not one of 1 to 6; nothing saved\n",
                 form.number.c_str());
        report.refusal = SaveReport::Refusal::kTemplate;
        report.template_text = form.number;
        return report;
    }
    FormValues values;
    if (!SplitForSave(form.list, kListOrder, "SaveLockscreen", values, report)) {
        return report;
    }
    for (const TextLine& line : kTextLines) {
        values.SetText(line.size, SpToPx(values.Text(line.size)));
    }
    const ValueTexts centres = {{"TextDateWeek", form.date_center},
                                {"TextBattery", form.battery_center},
                                {"TextOwnerInfo", form.owner_center},
                                {"TextSimAll", form.sim_center}};
    for (const TextLine& line : kTextLines) {
        if (IsCentred(TextOf(centres, line.element))) {
            values.SetText(line.x, std::to_string(line.centred_x) + "px");
        }
    }

    ValuesFile* integers = batch.OpenValues(kLockscreenIntegers, "integers.xml");
    ValuesFile* templateValues =
        batch.OpenValues(TemplateValuesFile(form.number), "template_values.xml");
    const std::vector<ScaledLayout> layouts = OpenTemplateLayouts(batch, form.number);
    if (!batch.CheckOpened()) {
        return report;
    }
    // Without its values file the template's numbers would come from the
    // template shown before, and the switch would spread them.
    if (templateValues == nullptr) {
        LogError("SaveLockscreen: %s does not exist; nothing saved\n",
                 batch.PathOf(TemplateValuesFile(form.number)).c_str());
        report.refusal = SaveReport::Refusal::kMissingFiles;
        return report;
    }

    if (integers != nullptr) {
        integers->Write(kIntegerEntry, {{"lockscreen_template", form.number}});
    }
    if (templateValues != nullptr) {
        templateValues->Write(kDimenEntry, TemplateAssignments(values, form));
    }
    EditLayouts(layouts, [&](TiXmlElement& element, const ScaledLayout& layout) {
        EditLayout(element, values, centres, layout.factor);
    });
    if (batch.SaveAll()) {
        MovePreviewElements("锁屏", PreviewMoves(values));
        SwitchToTemplate(batch, form.number);
    }
    return report;
}

}  // namespace sw::settings
