#include "device/push_report.h"

#include <filesystem>
#include <system_error>

#include "core/text.h"

namespace sw::device {

namespace {

namespace fs = std::filesystem;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The decimal number that ends just before end (blanks before end are
// passed over); false when there is none or it does not fit.
bool NumberBefore(const std::string& text, std::size_t end, std::uint64_t& value) {
    while (end > 0 && text[end - 1] == ' ') {
        --end;
    }
    std::size_t start = end;
    while (start > 0 && IsDigit(text[start - 1])) {
        --start;
    }
    if (start == end || end - start > 19) {
        return false;
    }
    value = 0;
    for (std::size_t i = start; i < end; ++i) {
        value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
    }
    return true;
}

// The count before the last "file pushed" or "files pushed" of line.
bool FilesOfLine(const std::string& line, std::uint64_t& files) {
    for (const char* words : {" files pushed", " file pushed"}) {
        const std::size_t at = line.rfind(words);
        if (at != std::string::npos && NumberBefore(line, at, files)) {
            return true;
        }
    }
    return false;
}

// The bytes of the last "(N bytes in" of line.
bool BytesOfLine(const std::string& line, std::uint64_t& bytes) {
    const std::size_t at = line.rfind(" bytes in ");
    std::uint64_t value = 0;
    if (at == std::string::npos || !NumberBefore(line, at, value)) {
        return false;
    }
    std::size_t start = at;
    while (start > 0 && IsDigit(line[start - 1])) {
        --start;
    }
    if (start == 0 || line[start - 1] != '(') {
        return false;
    }
    bytes = value;
    return true;
}

}  // namespace

PushReport ParsePushReport(const std::string& output) {
    PushReport report;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            end = output.size();
        }
        const std::string line = output.substr(start, end - start);
        std::uint64_t value = 0;
        // A count starts a new summary: the bytes of an earlier one do not
        // belong to it.
        if (FilesOfLine(line, value)) {
            report = PushReport();
            report.has_files = true;
            report.totals.files = value;
        }
        if (BytesOfLine(line, value)) {
            report.has_bytes = true;
            report.totals.bytes = value;
        }
        start = end + 1;
    }
    return report;
}

PushTotals FolderTotals(const std::string& folder) {
    PushTotals totals;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code entryError;
        if (it->is_regular_file(entryError) && !it->is_symlink(entryError)) {
            const std::uintmax_t size = it->file_size(entryError);
            ++totals.files;
            totals.bytes += entryError ? 0 : size;
        }
    }
    return totals;
}

std::string PushShortfall(const PushReport& report, const PushTotals& expected) {
    if (!report.has_files) {
        return "adb did not say what it pushed";
    }
    if (report.totals.files != expected.files) {
        return FormatString("%llu of %llu files",
                            static_cast<unsigned long long>(report.totals.files),
                            static_cast<unsigned long long>(expected.files));
    }
    if (report.has_bytes && report.totals.bytes != expected.bytes) {
        return FormatString("%llu of %llu bytes",
                            static_cast<unsigned long long>(report.totals.bytes),
                            static_cast<unsigned long long>(expected.bytes));
    }
    return "";
}

}  // namespace sw::device
