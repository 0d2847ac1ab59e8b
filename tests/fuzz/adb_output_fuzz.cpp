// What adb prints, read as the device link reads it: the phone list of
// "adb devices", the summary of a push, and the outcome of a failed
// command. A phone listed always has a serial.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "device/attached_phones.h"
#include "device/phone_outcome.h"
#include "device/push_report.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string output(reinterpret_cast<const char*>(data), size);
    for (const sw::device::AttachedPhone& phone : sw::device::ParseDeviceList(output)) {
        if (phone.serial.empty() || phone.serial.find('\n') != std::string::npos) {
            std::abort();
        }
    }
    const sw::device::PushReport report = sw::device::ParsePushReport(output);
    sw::device::PushShortfall(report, {3, 300});

    sw::device::AdbResult result;
    result.started = true;
    result.exit_code = 1;
    result.output = output;
    const sw::device::PhoneOutcome outcome = sw::device::OutcomeOf(result);
    sw::device::PageText(outcome);
    sw::device::ConsoleText(outcome);
    return 0;
}
