#include "settings/lockscreen_animator.h"

#include <array>

#include "core/log.h"
#include "settings/form_values.h"
#include "settings/layout_file.h"
#include "settings/lockscreen_template.h"
#include "settings/preview_moves.h"

namespace sw::settings {

namespace {

constexpr int kFrames = 20;

constexpr std::array<const char*, 26> kListOrder = {
    "Animator1",  "Animator2",  "Animator3",     "Animator4",    "Animator5",  "Animator6",
    "Animator7",  "Animator8",  "Animator9",     "Animator10",   "Animator11", "Animator12",
    "Animator13", "Animator14", "Animator15",    "Animator16",   "Animator17", "Animator18",
    "Animator19", "Animator20", "AnimatorTimes", "AnimatorTime", "AnimatorX",  "AnimatorY",
    "AnimatorW",  "AnimatorH",
};

// What an animation stored as off shows in the form.
constexpr char kOffShownX[] = "0px";
constexpr char kOffShownY[] = "600px";

constexpr std::array<const char*, 4> kRectangleEntries = {"animator_x", "animator_y", "animator_w",
                                                          "animator_h"};
constexpr std::array<const char*, 4> kRectangleFields = {"AnimatorX", "AnimatorY", "AnimatorW",
                                                         "AnimatorH"};
constexpr std::array<const char*, 4> kRectangleAttributes = {"x", "y", "w", "h"};

std::string FrameSwitch(int frame) {
    return "animator" + std::to_string(frame);
}

std::string FrameField(int frame) {
    return "Animator" + std::to_string(frame);
}

std::vector<std::string> IntegerNames() {
    std::vector<std::string> names = {"lockscreenAnimator_times", "lockscreenAnimator_Millisecond"};
    for (int frame = 1; frame <= kFrames; ++frame) {
        names.push_back(FrameSwitch(frame));
    }
    return names;
}

bool IsOff(const FormValues& v, int frame) {
    return v.Text(FrameField(frame)) == "0";
}

// The frames of the animation element: each follows its own switch, the last
// (FrameEnd, the twentieth image) follows the twentieth.
void EditFrames(TiXmlElement& animator, const FormValues& v, const std::string& displayName) {
    TiXmlElement* child = animator.FirstChildElement();
    if (child == nullptr) {
        LogError("%s no child nodes for <Frame />\n", displayName.c_str());
        return;
    }
    for (; child != nullptr; child = child->NextSiblingElement()) {
        for (int frame = 1; frame < kFrames; ++frame) {
            if (IsElement(*child, "Frame", FrameSwitch(frame).c_str())) {
                const bool off = IsOff(v, frame);
                SetTextAttribute(*child, "src", off ? "" : FrameSwitch(frame) + ".png");
                // The time per frame is the same in every density.
                SetTextAttribute(*child, "duration", off ? "" : v.Text("AnimatorTime"));
            }
        }
        if (IsElement(*child, "EventShow")) {
            SetTextAttribute(*child, "times", v.Text("AnimatorTimes"));
        } else if (IsElement(*child, "FrameEnd")) {
            SetTextAttribute(*child, "src", IsOff(v, kFrames) ? "" : FrameSwitch(kFrames) + ".png");
        }
    }
}

}  // namespace

std::vector<FormField> AnimatorFormFields(const std::string& name, const std::string& path) {
    const std::string folder = ProjectFolder(name, path);
    const ValueTexts integers = ReadValues(folder + "/" + kLockscreenIntegers, "integers.xml",
                                           kIntegerEntry, IntegerNames());
    ValueTexts rectangle =
        ReadValues(folder + "/" + kActiveTemplateValues, "template_values.xml", kDimenEntry,
                   {kRectangleEntries.begin(), kRectangleEntries.end()});
    std::string isAnimator;
    if (TextOf(rectangle, "animator_x") == kAnimationOffX) {
        isAnimator = "0";
        rectangle["animator_x"] = kOffShownX;
        rectangle["animator_y"] = kOffShownY;
    }
    std::vector<FormField> fields = {
        {"AnimatorTimes", TextOf(integers, "lockscreenAnimator_times")},
        {"AnimatorTime", TextOf(integers, "lockscreenAnimator_Millisecond")},
    };
    for (std::size_t i = 0; i < kRectangleFields.size(); ++i) {
        fields.push_back({kRectangleFields[i], TextOf(rectangle, kRectangleEntries[i])});
    }
    for (int frame = 1; frame <= kFrames; ++frame) {
        fields.push_back({FrameField(frame), TextOf(integers, FrameSwitch(frame))});
    }
    fields.push_back({"isAnimator", isAnimator});
    return fields;
}

SaveReport SaveAnimator(const std::string& name, const std::string& path,
                        const std::string& isAnimator, const std::string& list) {
    SaveBatch batch(ProjectFolder(name, path));
    SaveReport& report = batch.report();
    FormValues v;
    if (!SplitForSave(list, kListOrder, "saveAnimator", v, report)) {
        return report;
    }
    if (isAnimator == "0") {
        v.SetText("AnimatorX", kAnimationOffX);
    }

    ValuesFile* integers = batch.OpenValues(kLockscreenIntegers, "integers.xml");
    const std::string number =
        integers != nullptr
            ? TextOf(integers->Read(kIntegerEntry, {"lockscreen_template"}), "lockscreen_template")
            : "";
    if (!batch.CheckOpened()) {
        return report;
    }
    if (!IsTemplateNumber(number)) {
        LogError("saveAnimator: the template in use \"%s\" is not one of 1 to 6; nothing saved\n",
                 number.c_str());
        report.refusal = SaveReport::Refusal::kTemplate;
        report.template_text = number;
        return report;
    }
    ValuesFile* templateValues =
        batch.OpenValues(TemplateValuesFile(number), "template_values.xml");
    const std::vector<ScaledLayout> layouts = OpenTemplateLayouts(batch, number);
    if (!batch.CheckOpened()) {
        return report;
    }

    if (integers != nullptr) {
        ValueTexts assignments = {{"lockscreenAnimator_times", v.Text("AnimatorTimes")},
                                  {"lockscreenAnimator_Millisecond", v.Text("AnimatorTime")}};
        for (int frame = 1; frame <= kFrames; ++frame) {
            assignments[FrameSwitch(frame)] = v.Text(FrameField(frame));
        }
        integers->Write(kIntegerEntry, assignments);
    }
    if (templateValues != nullptr) {
        ValueTexts assignments;
        for (std::size_t i = 0; i < kRectangleFields.size(); ++i) {
            assignments[kRectangleEntries[i]] = v.Text(kRectangleFields[i]);
        }
        templateValues->Write(kDimenEntry, assignments);
    }
    EditLayouts(layouts, [&](TiXmlElement& element, const ScaledLayout& layout) {
        if (!IsElement(element, "ImageAnimator")) {
            return;
        }
        for (std::size_t i = 0; i < kRectangleFields.size(); ++i) {
            SetIntAttribute(element, kRectangleAttributes[i],
                            Scaled(v.Number(kRectangleFields[i]), layout.factor));
        }
        EditFrames(element, v, layout.file->display_name());
    });
    if (batch.SaveAll()) {
        MovePreviewElements("锁屏", {{1, v.Number("AnimatorX"), v.Number("AnimatorY"),
                                      v.Number("AnimatorW"), v.Number("AnimatorH"), 0}});
        SwitchToTemplate(batch, number);
    }
    return report;
}

}  // namespace sw::settings
