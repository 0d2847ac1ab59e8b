#include "device/theme_push.h"

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"
#include "core/scratch_folder.h"
#include "core/text.h"
#include "core/zip.h"
#include "device/adb_commands.h"
#include "device/push_report.h"
#include "engine/json_file.h"

namespace sw::device {

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

// How each step is told; "%.1f" stands for the megabytes pushed.
struct StepTexts {
    PushStep step;
    const char* page;
    const char* console;
};

const StepTexts kStepTexts[] = {
    {PushStep::kCheckingPhone, "正在检查手机 ...", "checking the phone"},
    {PushStep::kUnpacking, "正在解压主题包 ...", "unpacking the archive"},
    {PushStep::kRemovingOld, "正在删除手机上的旧主题 ...", "removing the phone's old copy"},
    {PushStep::kPushing, "正在导入手机（%.1f MB）...", "pushing %.1f MiB to the phone"},
    {PushStep::kStoppingThemeApp, "正在刷新手机主题 ...", "stopping the phone's theme app"},
};

std::string StepText(PushStep step, std::uint64_t bytes, const char* StepTexts::*language) {
    for (const StepTexts& texts : kStepTexts) {
        if (texts.step == step) {
            const std::string format = texts.*language;
            return format.find("%.1f") == std::string::npos
                       ? format
                       : FormatString(format.c_str(), static_cast<double>(bytes) / kMiB);
        }
    }
    return "";
}

void Report(const PushProgress& progress, PushStep step, std::uint64_t bytes = 0) {
    if (progress) {
        progress(step, bytes);
    }
}

// Reads meta.json in the staging folder for its resource number and writes
// it back in the styled layout, its texts in UTF-8 as they are.
PhoneOutcome ReadStagedMeta(const std::string& staging, std::string& number) {
    const std::string file = staging + "/meta.json";
    std::string text;
    Json::Value document;
    if (!ReadFileText(file, text) || !ParseJsonFileText(text, document, false) ||
        !document.isObject()) {
        LogError("load meta.json failed.\n");
        return {PhoneFailure::kNoMeta, ""};
    }
    if (!ResourceNumberOf(document, number)) {
        LogError("resource_id of meta.json is not an integer\n");
        return {PhoneFailure::kBadResourceId, ""};
    }
    if (!WriteJsonFile(file, document)) {
        LogError("save meta.json failed.\n");
    }
    return {};
}

}  // namespace

std::string PushStepPageText(PushStep step, std::uint64_t bytes) {
    return StepText(step, bytes, &StepTexts::page);
}

std::string PushStepConsoleText(PushStep step, std::uint64_t bytes) {
    return StepText(step, bytes, &StepTexts::console);
}

bool ResourceNumberOf(const Json::Value& document, std::string& number) {
    if (!document.isObject()) {
        return false;
    }
    const Json::Value& id = document["resource_id"];
    if (!id.isNull() && !id.isInt()) {
        return false;
    }
    number = FormatString("%d", id.isNull() ? 0 : id.asInt());
    return true;
}

PushResult PushTheme(const PushLock& lock, const std::string& archive, const std::string& serial,
                     const PushProgress& progress) {
    PushResult result;
    if (!lock.held()) {
        result.outcome = {lock.busy() ? PhoneFailure::kBusy : PhoneFailure::kStagingFailed,
                          PushStagingFolder()};
        return result;
    }
    if (!IsFile(archive)) {
        LogError("the archive %s is not a file\n", archive.c_str());
        result.outcome = {PhoneFailure::kArchiveMissing, archive};
        return result;
    }

    Report(progress, PushStep::kUnpacking);
    // The staging folder is this push's own and holds only what it unpacks;
    // nobody else empties it while the push holds it, and it goes when the
    // push ends.
    const ScratchFolder staging = ScratchFolder::Make(PushStagingFolder());
    if (!staging.valid()) {
        LogError("cannot use the staging folder %s\n", PushStagingFolder().c_str());
        result.outcome = {PhoneFailure::kStagingFailed, PushStagingFolder()};
        return result;
    }
    if (!ZipExtract(archive, staging.path())) {
        LogError("failed to extract zip archive.\n");
        result.outcome = {PhoneFailure::kArchiveUnreadable, archive};
        return result;
    }
    result.outcome = ReadStagedMeta(staging.path(), result.resource_number);
    if (!result.outcome.ok()) {
        return result;
    }
    LogInfo("pushing %s as theme %s\n", archive.c_str(), result.resource_number.c_str());

    // The push copies the folder under the name given only while that name
    // does not exist on the phone, so the old copy must be gone first. Its
    // removal fails on a phone that never had the theme: only a phone that
    // gives no answer stops the push here.
    const AdbTimeLimits limits = GetAdbTimeLimits();
    Report(progress, PushStep::kRemovingOld);
    const AdbResult removed =
        RunAdb(serial, RemoveThemeDirCommand(result.resource_number), limits.command);
    if (!removed.started || removed.timed_out) {
        result.outcome = OutcomeOf(removed);
        return result;
    }

    const PushTotals staged = FolderTotals(staging.path());
    Report(progress, PushStep::kPushing, staged.bytes);
    const AdbResult pushed =
        RunAdb(serial, PushThemeCommand(staging.path(), result.resource_number),
               PushTimeLimit(staged.bytes));
    result.outcome = OutcomeOf(pushed);
    if (!result.outcome.ok()) {
        return result;
    }
    // adb may end well although less arrived than was meant to: only the
    // whole theme counts as pushed.
    const std::string shortfall = PushShortfall(ParsePushReport(pushed.output), staged);
    if (!shortfall.empty()) {
        LogError("the phone did not receive the whole theme %s: %s\n",
                 result.resource_number.c_str(), shortfall.c_str());
        result.outcome = {PhoneFailure::kIncomplete, shortfall};
        return result;
    }

    Report(progress, PushStep::kStoppingThemeApp);
    if (!RunAdb(serial, StopThemeCenterCommand(), limits.command).ok()) {
        LogWarn("the phone's theme app was not stopped; it shows the theme once it restarts\n");
    }
    result.phone_folder = ThemeFolderOnPhone(result.resource_number);
    LogInfo("theme %s pushed to %s\n", result.resource_number.c_str(), result.phone_folder.c_str());
    return result;
}

}  // namespace sw::device
