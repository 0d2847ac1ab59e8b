#include "device/phone_outcome.h"

namespace sw::device {

namespace {

struct FailureTexts {
    PhoneFailure failure;
    const char* page;     // %s: the detail
    const char* console;  // %s: the detail
};

const FailureTexts kTexts[] = {
    {PhoneFailure::kAdbMissing, "无法启动adb程序，请确认已安装adb。",
     "adb could not be started; install adb or name it with SKINWRIGHT_ADB"},
    {PhoneFailure::kTimedOut, "adb长时间没有响应，已停止等待。",
     "adb gave no answer within its time limit and was stopped"},
    {PhoneFailure::kCommandFailed, "adb命令执行失败：%s", "adb failed: %s"},
    {PhoneFailure::kNoPhone, "未检测到手机", "no phone is attached"},
    {PhoneFailure::kUnauthorized, "手机尚未允许这台电脑调试，请在手机上点击“允许USB调试”后重试。",
     "the phone has not authorised this computer: accept the USB debugging prompt on the "
     "phone and try again"},
    {PhoneFailure::kOffline, "手机未就绪（%s），请重新连接USB线后重试。",
     "the phone is not ready (%s): reconnect it and try again"},
    {PhoneFailure::kSeveralPhones, "检测到多部手机，请选择一部。",
     "several phones are attached (%s): choose one with --serial"},
    {PhoneFailure::kPhoneNotFound, "未找到手机 %s", "no phone %s is attached"},
    {PhoneFailure::kBusy, "正在导入另一个主题，请等它完成后再试。",
     "another push is running; try again when it has finished"},
    {PhoneFailure::kArchiveMissing, "主题包不存在：%s", "the archive %s does not exist"},
    {PhoneFailure::kArchiveUnreadable, "主题包无法解压：%s", "the archive %s cannot be unpacked"},
    {PhoneFailure::kNoMeta, "主题包中没有可读的meta.json。",
     "the archive holds no readable meta.json"},
    {PhoneFailure::kBadResourceId, "meta.json中的resource_id不是整数。",
     "resource_id in the archive's meta.json is not an integer"},
    {PhoneFailure::kStagingFailed, "无法建立临时文件夹：%s",
     "the staging folder %s cannot be made"},
    {PhoneFailure::kIncomplete, "手机没有收到完整的主题（%s），请重新导入。",
     "the phone did not receive the whole theme (%s); push it again"},
    {PhoneFailure::kIconReaderMissing, "未找到图标查看器安装包：%s",
     "the icon reader's package %s is missing"},
    {PhoneFailure::kNoIconList, "手机上还没有图标列表，请先安装并打开图标查看器。",
     "the phone holds no icon list yet: install and open the icon reader first"},
};

std::string Fill(const char* format, const std::string& detail) {
    std::string text = format;
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) {
        text.replace(at, 2, detail);
    }
    return text;
}

const FailureTexts* TextsOf(PhoneFailure failure) {
    for (const FailureTexts& texts : kTexts) {
        if (texts.failure == failure) {
            return &texts;
        }
    }
    return nullptr;
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

PhoneOutcome OutcomeOf(const AdbResult& result) {
    if (!result.started) {
        return {PhoneFailure::kAdbMissing, ""};
    }
    if (result.timed_out) {
        return {PhoneFailure::kTimedOut, ""};
    }
    if (result.exit_code == 0) {
        return {};
    }
    // adb names the phone's state when a command finds no phone to run on.
    const std::string& output = result.output;
    if (Contains(output, "unauthorized")) {
        return {PhoneFailure::kUnauthorized, ""};
    }
    if (Contains(output, "no devices/emulators found") || Contains(output, "no devices found")) {
        return {PhoneFailure::kNoPhone, ""};
    }
    if (Contains(output, "device offline")) {
        return {PhoneFailure::kOffline, "offline"};
    }
    // "adb: device 'SERIAL' not found"
    const std::size_t named = output.find("device '");
    const std::size_t notFound = output.find("' not found");
    if (named != std::string::npos && notFound != std::string::npos && notFound > named) {
        const std::size_t start = named + 8;
        return {PhoneFailure::kPhoneNotFound, output.substr(start, notFound - start)};
    }
    return {PhoneFailure::kCommandFailed, result.LastLine()};
}

bool LiesWithThisComputer(PhoneFailure failure) {
    switch (failure) {
        case PhoneFailure::kAdbMissing:
        case PhoneFailure::kArchiveMissing:
        case PhoneFailure::kArchiveUnreadable:
        case PhoneFailure::kNoMeta:
        case PhoneFailure::kBadResourceId:
        case PhoneFailure::kStagingFailed:
        case PhoneFailure::kIconReaderMissing:
            return true;
        default:
            return false;
    }
}

std::string PageText(const PhoneOutcome& outcome) {
    const FailureTexts* texts = TextsOf(outcome.failure);
    return texts == nullptr ? "" : Fill(texts->page, outcome.detail);
}

std::string ConsoleText(const PhoneOutcome& outcome) {
    const FailureTexts* texts = TextsOf(outcome.failure);
    return texts == nullptr ? "" : Fill(texts->console, outcome.detail);
}

}  // namespace sw::device
