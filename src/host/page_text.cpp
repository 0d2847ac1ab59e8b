#include "host/page_text.h"

#include <cctype>

#include "core/text.h"

namespace sw::host {

namespace {

// The length of the well-formed UTF-8 sequence at text[i], 0 when there is
// none (overlong forms, surrogates and values above U+10FFFF included).
std::size_t SequenceLength(const std::string& text, std::size_t i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) {
            low = 0xA0;
        } else if (lead == 0xED) {
            high = 0x9F;
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) {
            low = 0x90;
        } else if (lead == 0xF4) {
            high = 0x8F;
        }
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    if (byte(i + 1) < low || byte(i + 1) > high) {
        return 0;
    }
    for (std::size_t k = 2; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

bool HostCodePageIsUtf8() {
    std::string name = HostCodePage();
    for (char& c : name) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return name == "UTF-8" || name == "UTF8";
}

}  // namespace

bool IsValidUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = SequenceLength(text, i);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string SanitizeUtf8(const std::string& text) {
    if (IsValidUtf8(text)) {
        return text;
    }
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = SequenceLength(text, i);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(text, i, length);
            i += length;
        }
    }
    return out;
}

std::string ToPageText(const std::string& hostText) {
    if (HostCodePageIsUtf8()) {
        return SanitizeUtf8(hostText);
    }
    return SanitizeUtf8(AnsiToUtf8(hostText));
}

std::string FromPageText(const std::string& pageText) {
    if (HostCodePageIsUtf8()) {
        return pageText;
    }
    return Utf8ToAnsi(pageText);
}

}  // namespace sw::host
