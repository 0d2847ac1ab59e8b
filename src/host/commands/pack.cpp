// The pack form's commands: the five texts of the form, and the pack worker
// that packs the open project while the form shows its progress.
#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "check/project_check.h"
#include "core/log.h"
#include "core/paths.h"
#include "core/process.h"
#include "engine/page_lists.h"
#include "engine/theme_project.h"
#include "host/alerts.h"
#include "host/app_state.h"
#include "host/command_group.h"
#include "host/escape.h"
#include "host/host.h"
#include "host/running_work.h"
#include "host/script_bridge.h"
#include "host/window.h"
#include "pack/density_plan.h"
#include "pack/pack_project.h"

namespace sw::host {

namespace {

class PackingFlag {
  public:
    PackingFlag() : taken_(!PackRunning().exchange(true)) {}
    PackingFlag(const PackingFlag&) = delete;
    PackingFlag& operator=(const PackingFlag&) = delete;
    ~PackingFlag() {
        if (taken_) {
            PackRunning() = false;
        }
    }
    bool taken() const { return taken_; }

  private:
    bool taken_;
};

pack::PackRequest RequestOf(const PackSettings& settings) {
    pack::PackRequest request;
    request.pack_name = settings.pack_name;
    request.pack_path = settings.pack_path;
    request.modules.launcher = settings.launcher_flag == "checked";
    request.modules.lockscreen = settings.lockscreen_flag == "checked";
    request.modules.callscreen = settings.callscreen_flag == "checked";
    return request;
}

// The pack result: the archive's name and folder, and two links, the
// archive's path put into each as a script string inside an HTML attribute.
std::string PackedMessage(const std::string& archive) {
    const std::string path = EscapeHtml(EscapeJsString(archive));
    return "主题包已成功生成。<br />" + EscapeHtml(FileNameOf(archive)) + "<br />保存在：" +
           EscapeHtml(FolderOf(archive)) +
           "<br /><a style='color:#41b5f2; text-decoration: underline; "
           "cursor:pointer;' onclick=\"javascript: external.Explorer('/n,/select,', '" +
           path +
           "');\">在文件夹中查看</a>"
           "<br /><a style='color: #41b5f2; text-decoration: underline; cursor:pointer;' "
           "onclick=\"javascript: external.sendphone( '/n,/select,', '" +
           path + "');\">一键导入手机中</a>";
}

// Sends the step and the share done to the form, when either changed.
class FormProgress {
  public:
    explicit FormProgress(Window& popup) : popup_(&popup) {}
    void operator()(pack::PackStep step, double done) {
        const int percent = static_cast<int>(done * 100);
        // A form closed meanwhile has no page to tell.
        if ((step == step_ && percent == percent_) || popup_->ended()) {
            return;
        }
        step_ = step;
        percent_ = percent;
        EvalInPage(popup_, "ShowPackProgress('%s', %d);",
                   EscapeJsString(pack::StepTitle(step)).c_str(), percent);
    }

  private:
    Window* popup_;
    pack::PackStep step_ = pack::PackStep::kDone;
    int percent_ = -1;
};

// Runs the project check; with ERROR findings the form lists them and
// offers to pack anyway, and the result is false.
// The pictures it decodes that the pack resizes stay in pictures.
bool PassesCheck(const std::shared_ptr<Window>& popup, const pack::WantedModules& wanted,
                 gfx::DecodedPictures& pictures) {
    check::Findings errors;
    {
        const ProjectReader project = ReadProject();
        for (const std::string& source : pack::DensitySources(project->project_dir(), wanted)) {
            pictures.Keep(source);
        }
        errors = check::CheckProjectForErrors(*project, &pictures);
    }
    if (errors.empty()) {
        return true;
    }
    LogWarn("pack: not started, the check found %zu errors\n", errors.size());
    EvalInPage(popup.get(), "ShowPackFindings('%s');",
               EscapeJsString(StyledJson(check::FindingsToJson(errors))).c_str());
    return false;
}

void PackWorker(Host& host, const std::shared_ptr<Window>& popup, bool force) {
    const PackingFlag flag;
    if (!flag.taken()) {
        LogWarn("a pack is running already; this one is not started\n");
        return;
    }
    EvalInPage(popup.get(), "$('#pack-theme-form').hide();$('#pack-theme-loading').show();");
    const pack::PackRequest request = RequestOf(GetAppState().GetPackSettings());
    // One decode of each picture serves the check and the pack.
    gfx::DecodedPictures pictures;
    if (!force) {
        EvalInPage(popup.get(), "ShowPackProgress('%s', 0);", EscapeJsString("检查主题").c_str());
        if (!PassesCheck(popup, request.modules, pictures)) {
            return;
        }
    }
    pack::PackObserver observer;
    observer.progress = FormProgress(*popup);
    observer.stop = [&host, &popup] { return popup->ended() || host.stopping(); };
    const pack::PackResult result = pack::PackProject(request, observer, &pictures);
    if (result.stopped) {
        return;
    }
    if (result.code < 0) {
        ShowWarningAlert(host, "失败<br />" + EscapeHtml(result.reason));
        EvalInPage(popup.get(), "$('#pack-theme-loading').hide();$('#pack-theme-form').show();");
        return;
    }
    StopPackTools();
    popup->End("cancel");
    ShowTipAlert(host, PackedMessage(result.archive));
}

CommandResult SetPackPath(CommandCall& call) {
    PackSettings settings;
    settings.pack_name = call.text(0);
    settings.pack_path = call.text(1);
    settings.launcher_flag = call.text(2);
    settings.lockscreen_flag = call.text(3);
    settings.callscreen_flag = call.text(4);
    if (!GetAppState().SetPackSettings(settings)) {
        // Nothing of a refused form is kept, so the pack that follows stops
        // at once instead of packing older texts.
        GetAppState().SetPackSettings(PackSettings());
        ShowWarningAlert(call.host(), "主题包名称或保存路径太长（最多511字节），请修改后重试。");
    }
    return CommandResult::None();
}

CommandResult StartPack(CommandCall& call, bool force) {
    if (GetAppState().GetPackSettings().pack_name.empty()) {
        LogError("pack: no pack name was set\n");
        return CommandResult::None();
    }
    std::shared_ptr<Window> popup = call.host().FindWindow(call.window().id());
    if (popup == nullptr) {
        return CommandResult::None();
    }
    Host& host = call.host();
    host.StartTask([&host, popup, force] { PackWorker(host, popup, force); });
    return CommandResult::None();
}

// Packs after the project check passed.
CommandResult PackTheme(CommandCall& call) {
    return StartPack(call, false);
}

// Packs although the check found errors: the designer chose so in the form.
CommandResult PackThemeAnyway(CommandCall& call) {
    LogWarn("pack: packing in spite of the check's errors, as asked\n");
    return StartPack(call, true);
}

}  // namespace

}  // namespace sw::host

SKINWRIGHT_COMMAND_GROUP(pack) {
    using namespace sw::host;
    tables.Add(WindowClass::kPopup,
               {
                   {"SetPackPath", Texts(5), ResultKind::kNone, &SetPackPath},
                   {"PackTheme", {}, ResultKind::kNone, &PackTheme},
                   {"PackThemeAnyway", {}, ResultKind::kNone, &PackThemeAnyway},
               });
}
