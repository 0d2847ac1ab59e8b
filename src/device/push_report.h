// What adb says it pushed, and whether that is what was meant to arrive.
// adb ends a push with a summary line such as
//   "/home/me/themetool/ABCDEFGHIJ/: 29 files pushed, 0 skipped. 31.2 MB/s (8123456 bytes in
//   0.260s)"
// (older versions: "29 files pushed. 0 files skipped." and the rate on a
// line of its own). A push is whole only when that count and those bytes are
// the count and bytes of the folder pushed.
#pragma once

#include <cstdint>
#include <string>

namespace sw::device {

struct PushTotals {
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;

    bool operator==(const PushTotals&) const = default;
};

struct PushReport {
    bool has_files = false;  // adb named how many files it pushed
    bool has_bytes = false;  // adb named how many bytes it pushed
    PushTotals totals;
};

// Reads the last summary of adb's push output; nothing found leaves both
// flags false.
PushReport ParsePushReport(const std::string& output);

// The regular files below folder and their bytes (links and other special
// files are not counted; adb pushes no such thing from a staged theme).
PushTotals FolderTotals(const std::string& folder);

// "" when report says that exactly expected arrived; otherwise what differs,
// for the designer ("12 of 29 files, 8 123 of 9 000 bytes" in short form).
std::string PushShortfall(const PushReport& report, const PushTotals& expected);

}  // namespace sw::device
