#include "device/attached_phones.h"

#include "device/adb_commands.h"

namespace sw::device {

namespace {

std::string TrimmedLine(std::string line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
        line.pop_back();
    }
    return line;
}

// The outcome for one phone that is attached.
PhoneOutcome ReadinessOf(const AttachedPhone& phone) {
    if (phone.ready()) {
        return {};
    }
    if (phone.state == "unauthorized") {
        return {PhoneFailure::kUnauthorized, ""};
    }
    return {PhoneFailure::kOffline, phone.state};
}

}  // namespace

std::vector<AttachedPhone> ParseDeviceList(const std::string& output) {
    std::vector<AttachedPhone> phones;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string::npos) {
            end = output.size();
        }
        const std::string line = TrimmedLine(output.substr(start, end - start));
        start = end + 1;
        // A serial may hold blanks and any text: a line with a tab is a
        // phone, whatever comes before it.
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos || tab == 0) {
            continue;
        }
        phones.push_back({line.substr(0, tab), line.substr(tab + 1)});
    }
    return phones;
}

std::string DescribePhones(const std::vector<AttachedPhone>& phones) {
    std::string text;
    for (const AttachedPhone& phone : phones) {
        if (!text.empty()) {
            text += ", ";
        }
        text += phone.serial + " (" + phone.state + ")";
    }
    return text;
}

PhoneOutcome ListPhones(std::vector<AttachedPhone>& phones) {
    const AdbResult listed = RunAdb("", ListDevicesCommand(), GetAdbTimeLimits().devices);
    phones = ParseDeviceList(listed.output);
    return OutcomeOf(listed);
}

PhoneSearch FindPhone(const std::string& wanted) {
    PhoneSearch search;
    search.outcome = ListPhones(search.phones);
    if (!search.outcome.ok()) {
        search.phones.clear();
        return search;
    }
    if (!wanted.empty()) {
        for (const AttachedPhone& phone : search.phones) {
            if (phone.serial == wanted) {
                search.outcome = ReadinessOf(phone);
                if (search.outcome.ok()) {
                    search.serial = wanted;
                }
                return search;
            }
        }
        search.outcome = {PhoneFailure::kPhoneNotFound, wanted};
        return search;
    }
    if (search.phones.empty()) {
        search.outcome = {PhoneFailure::kNoPhone, ""};
    } else if (search.phones.size() > 1) {
        search.outcome = {PhoneFailure::kSeveralPhones, DescribePhones(search.phones)};
    } else {
        search.outcome = ReadinessOf(search.phones.front());
        if (search.outcome.ok()) {
            search.serial = search.phones.front().serial;
        }
    }
    return search;
}

}  // namespace sw::device
