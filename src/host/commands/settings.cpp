// The settings forms' commands: launcher attributes, lock screen, call
// screen, weather widget and lock-screen animation. Each form fills itself
// with its load command; each save answers "" when every file was written,
// otherwise the warning the form shows, naming what was not written.
#include <vector>

#include "core/text.h"
#include "host/command_group.h"
#include "host/edit_steps.h"
#include "host/escape.h"
#include "host/script_bridge.h"
#include "host/window.h"
#include "settings/callscreen_editor.h"
#include "settings/launcher_attributes.h"
#include "settings/lockscreen_animator.h"
#include "settings/lockscreen_editor.h"
#include "settings/weather_editor.h"

namespace sw::host {

namespace {

using settings::SaveReport;

// One field setter per field, the value escaped for the script string.
void FillForm(Window& popup, const std::vector<settings::FormField>& fields) {
    for (const settings::FormField& field : fields) {
        EvalInPage(&popup, "$('#%s').val('%s');", EscapeJsString(field.id).c_str(),
                   EscapeJsString(field.value).c_str());
    }
}

std::string FileList(const std::vector<std::string>& files) {
    std::string list;
    for (const std::string& file : files) {
        list += "<br />" + EscapeHtml(file);
    }
    return list;
}

// The warning for the form: "" when every file was written.
std::string SaveWarning(const SaveReport& report) {
    switch (report.refusal) {
        case SaveReport::Refusal::kValueCount:
            return FormatString(
                "没有保存：表单送出 %zu 个数值，应为 %zu 个。<br "
                "/>请检查是否有数值中含有英文逗号。",
                report.received_values, report.expected_values);
        case SaveReport::Refusal::kTemplate:
            return (report.template_text.empty()
                        ? std::string("没有保存：找不到使用中的锁屏模板编号。")
                        : "没有保存：锁屏模板编号“" + EscapeHtml(report.template_text) +
                              "”无效，应为 1 到 6。") +
                   "<br />请在“锁屏布局”中选择一个模板后再保存。";
        case SaveReport::Refusal::kDamagedFiles:
            return "没有保存：以下文件无法读取或格式不对，请先修复：" + FileList(report.damaged);
        case SaveReport::Refusal::kNone:
            break;
    }
    std::string warning;
    if (!report.failed.empty()) {
        warning += "以下文件未能写入：" + FileList(report.failed);
    }
    if (!report.missing.empty()) {
        warning += std::string(warning.empty() ? "" : "<br />") + "以下文件不存在，已跳过：" +
                   FileList(report.missing);
    }
    return warning;
}

CommandResult SaveResult(const SaveReport& report) {
    return CommandResult::Text(SaveWarning(report));
}

CommandResult LoadAttribute(CommandCall& call) {
    FillForm(call.window(), settings::AttributeFormFields(call.text(0), call.text(1)));
    return CommandResult::None();
}

CommandResult SaveAttribute(CommandCall& call) {
    settings::AttributeForm form;
    form.is_shadow = call.text(2);
    form.is_dynamic = call.text(3);
    form.is_animation = call.text(4);
    form.page_width = call.text(5);
    form.page_height = call.text(6);
    form.weekday_font = call.text(7);
    form.day_font = call.text(8);
    form.weekday_color = call.text(9);
    form.day_color = call.text(10);
    return SaveResult(settings::SaveAttribute(call.text(0), call.text(1), form));
}

CommandResult Loadlockscreen(CommandCall& call) {
    FillForm(call.window(), settings::LockscreenFormFields(call.text(0), call.text(1)));
    return CommandResult::None();
}

CommandResult Loadlockscreen2(CommandCall& call) {
    FillForm(call.window(),
             settings::LockscreenTemplateFields(call.text(0), call.text(1), call.text(2)));
    return CommandResult::None();
}

CommandResult SaveLockscreen(CommandCall& call) {
    settings::LockscreenForm form;
    form.number = call.text(0);
    form.list = call.text(3);
    form.date_center = call.text(4);
    form.battery_center = call.text(5);
    form.owner_center = call.text(6);
    form.sim_center = call.text(7);
    return SaveResult(settings::SaveLockscreen(call.text(1), call.text(2), form));
}

CommandResult Loadcallscreen(CommandCall& call) {
    FillForm(call.window(), settings::CallscreenFormFields(call.text(0), call.text(1)));
    return CommandResult::None();
}

CommandResult SaveCallscreen(CommandCall& call) {
    return SaveResult(settings::SaveCallscreen(call.text(0), call.text(1), call.text(2)));
}

CommandResult LoadWeather(CommandCall& call) {
    FillForm(call.window(), settings::WeatherFormFields(call.text(0), call.text(1)));
    return CommandResult::None();
}

CommandResult SaveWeather(CommandCall& call) {
    return SaveResult(settings::SaveWeather(call.text(0), call.text(1), call.text(2)));
}

CommandResult LoadlockscreenAnimator(CommandCall& call) {
    FillForm(call.window(), settings::AnimatorFormFields(call.text(0), call.text(1)));
    return CommandResult::None();
}

CommandResult SaveAnimator(CommandCall& call) {
    return SaveResult(
        settings::SaveAnimator(call.text(1), call.text(2), call.text(0), call.text(3)));
}

}  // namespace

}  // namespace sw::host

SKINWRIGHT_COMMAND_GROUP(settings) {
    using namespace sw::host;
    using K = ResultKind;
    tables.Add(WindowClass::kPopup,
               {
                   {"LoadAttribute", Texts(2), K::kNone, &LoadAttribute},
                   {"SaveAttribute", Texts(11), K::kText, RecordedEdit("属性设置", &SaveAttribute)},
                   {"Loadlockscreen", Texts(2), K::kNone, &Loadlockscreen},
                   {"Loadlockscreen2", Texts(3), K::kNone, &Loadlockscreen2},
                   {"Loadcallscreen", Texts(2), K::kNone, &Loadcallscreen},
                   {"LoadWeather", Texts(2), K::kNone, &LoadWeather},
                   {"LoadlockscreenAnimator", Texts(2), K::kNone, &LoadlockscreenAnimator},
               });
    // The saves of the layout forms serve the editor's preview too: it places
    // elements through the very same saves and value lists, so a move on the
    // preview writes what the form would.
    for (WindowClass window : {WindowClass::kPopup, WindowClass::kMain}) {
        tables.Add(
            window,
            {
                {"SaveLockscreen", Texts(8), K::kText, RecordedEdit("锁屏布局", &SaveLockscreen)},
                {"SaveCallscreen", Texts(3), K::kText, RecordedEdit("通话布局", &SaveCallscreen)},
                {"SaveWeather", Texts(3), K::kText, RecordedEdit("天气布局", &SaveWeather)},
                {"saveAnimator", Texts(4), K::kText, RecordedEdit("锁屏动画", &SaveAnimator)},
            });
    }
}
