// The phone commands: pushing a packed theme (the start window's PushToPhone
// and the pack result's sendphone), the phone chooser, and the icon-name
// reader of the advanced mode (installphone, geticonname, LoadIconname).
#include <memory>

#include "core/log.h"
#include "core/paths.h"
#include "core/scratch_folder.h"
#include "device/push_lock.h"
#include "host/command_group.h"
#include "host/host.h"
#include "host/phone_tasks.h"
#include "host/script_bridge.h"
#include "host/window.h"

namespace sw::host {

namespace {

// The lock travels with the task that pushes; a task's function is copied,
// so it is shared.
using SharedPushLock = std::shared_ptr<device::PushLock>;

// The start page waits for nothing: the file dialog and the push run on a
// task of their own. A second push while one runs is refused.
CommandResult PushToPhone(CommandCall& call) {
    Window& start = call.window();
    Host& host = call.host();
    SharedPushLock lock = std::make_shared<device::PushLock>(device::PushLock::TryTake());
    if (!lock->held()) {
        host.StartTask([&host, lock] { ShowPushRefused(host, *lock); });
        return CommandResult::None();
    }
    EmptyScratchFolder(PushStagingFolder());
    host.StartTask([&start, lock] { StartWindowPushTask(start, *lock); });
    return CommandResult::None();
}

// sendphone(ignored, archive), from the pack result: the push runs on the
// alert's own thread, which shows its steps.
CommandResult SendPhone(CommandCall& call) {
    const device::PushLock lock = device::PushLock::TryTake();
    if (!lock.held()) {
        ShowPushRefused(call.host(), lock);
        return CommandResult::None();
    }
    PushArchive(call.host(), &call.window(), call.text(1), lock);
    return CommandResult::None();
}

// ChoosePhone(index), from the chooser: ends it with that phone's serial.
CommandResult ChoosePhoneCommand(CommandCall& call) {
    const Json::Value phones = call.window().popup_info().parameters["phones"];
    const int index = call.number(0);
    if (!phones.isArray() || index < 0 || index >= static_cast<int>(phones.size()) ||
        !phones[index].isString() || phones[index].asString().empty()) {
        LogWarn("no phone %d to choose\n", index);
        return CommandResult::None();
    }
    call.window().End("ok", phones[index].asString());
    return CommandResult::None();
}

// Popup installphone(): the reader installed and started, on the form's
// thread.
CommandResult PopupInstallPhone(CommandCall& call) {
    InstallIconReaderTask(call.host(), &call.window(), false);
    return CommandResult::None();
}

// Main-window installphone(): the reader's package copied to the phone, on a
// task, so that the editor page keeps working meanwhile.
CommandResult MainInstallPhone(CommandCall& call) {
    Host& host = call.host();
    host.StartTask([&host] { InstallIconReaderTask(host, nullptr, true); });
    return CommandResult::None();
}

// Popup geticonname(ignored): the phone's app list fetched; true when a
// readable list arrived, and the page then fills its lists (LoadIconname).
CommandResult PopupGetIconName(CommandCall& call) {
    return CommandResult::Boolean(PullIconNamesTask(call.host(), &call.window()).has_value());
}

// Main-window geticonname(ignored): the phone's app list fetched on a task;
// the page's #iconname gets the number of apps read.
CommandResult MainGetIconName(CommandCall& call) {
    Window& main = call.window();
    call.host().StartTask([&main] {
        if (const std::optional<std::size_t> apps = PullIconNamesTask(main.host(), nullptr)) {
            EvalInPage(&main, "$('#iconname').val('%zu');", *apps);
        }
    });
    return CommandResult::None();
}

// LoadIconname(): the form's lists from the app list of the home folder.
CommandResult LoadIconname(CommandCall& call) {
    SendIconNames(call.window());
    return CommandResult::None();
}

}  // namespace

}  // namespace sw::host

SKINWRIGHT_COMMAND_GROUP(device) {
    using namespace sw::host;
    using K = ResultKind;
    tables.Add(WindowClass::kStart, {{"PushToPhone", {}, K::kNone, &PushToPhone}});
    tables.Add(WindowClass::kPopup,
               {
                   {"sendphone", Texts(2), K::kNone, &SendPhone},
                   {"ChoosePhone", {ArgKind::kNumber}, K::kNone, &ChoosePhoneCommand},
                   {"installphone", {}, K::kNone, &PopupInstallPhone},
                   {"geticonname", Texts(1), K::kBoolean, &PopupGetIconName},
                   {"LoadIconname", {}, K::kNone, &LoadIconname},
               });
    tables.Add(WindowClass::kMain, {
                                       {"installphone", {}, K::kNone, &MainInstallPhone},
                                       {"geticonname", Texts(1), K::kNone, &MainGetIconName},
                                   });
}
