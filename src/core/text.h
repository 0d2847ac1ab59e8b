// Text helpers: formatting, code-page conversion, "|" lists and colour texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sw {

// A formatted text holds at most this many bytes; a longer one is refused.
inline constexpr std::size_t kFormatCapacity = 1048575;
// One item of a "|" list holds at most this many bytes.
inline constexpr std::size_t kListItemCapacity = 1023;

// printf rules into a new string. A result longer than kFormatCapacity is
// refused: an ERROR line is logged and "" returned.
std::string FormatString(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The UTF-8 heuristic: true at the first well-formed multi-byte sequence or a
// leading byte-order mark; plain ASCII is not UTF-8 here.
bool IsUtf8Text(const std::string& text);

// The host code page ("UTF-8" by default, "CP936" possible), used by the two
// conversions below through iconv.
void SetHostCodePage(const std::string& name);
std::string HostCodePage();

// UTF-8 to the host code page when IsUtf8Text holds (a byte-order mark is
// dropped); otherwise an unchanged copy.
std::string Utf8ToAnsi(const std::string& text);

// The host code page to UTF-8, always.
std::string AnsiToUtf8(const std::string& text);

// Replaces list with the non-empty pieces of text cut at every "|". A piece
// longer than kListItemCapacity makes the call fail: list is left empty, an
// ERROR line is logged and the result is false.
bool SplitList(const std::string& text, std::vector<std::string>& list);

// A packed colour: alpha << 24 | blue << 16 | green << 8 | red.
using PackedColor = std::uint32_t;

// "#AARRGGBB", "#RRGGBB", "RGB" ... right-aligned over "FF000000".
PackedColor ParseColor(const std::string& text);

// "#AARRGGBB" in upper case.
std::string FormatColor(PackedColor value);

inline std::uint8_t RedOf(PackedColor c) {
    return c & 0xFF;
}
inline std::uint8_t GreenOf(PackedColor c) {
    return (c >> 8) & 0xFF;
}
inline std::uint8_t BlueOf(PackedColor c) {
    return (c >> 16) & 0xFF;
}
inline std::uint8_t AlphaOf(PackedColor c) {
    return (c >> 24) & 0xFF;
}

// Ten capital letters from the C generator seeded with the current second.
std::string RandomLetters();

// The value of a hexadecimal digit (either case), -1 for any other character.
int HexDigitValue(char c);

// Trims blanks, tabs and line ends at both ends.
std::string Trim(const std::string& text);

}  // namespace sw
