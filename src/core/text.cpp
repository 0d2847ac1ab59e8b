#include "core/text.h"

#include <iconv.h>
#include <strings.h>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

#include "core/log.h"

namespace sw {

namespace {

std::mutex& CodePageMutex() {
    static std::mutex mutex;
    return mutex;
}

// Guarded by CodePageMutex().
std::string& CodePage() {
    static std::string name = "UTF-8";
    return name;
}

bool IsUtf8Name(const std::string& name) {
    return ::strcasecmp(name.c_str(), "UTF-8") == 0 || ::strcasecmp(name.c_str(), "UTF8") == 0;
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

class IconvHandle {
  public:
    IconvHandle(const std::string& to, const std::string& from)
        : handle_(::iconv_open(to.c_str(), from.c_str())) {}
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    ~IconvHandle() {
        if (valid()) {
            ::iconv_close(handle_);
        }
    }
    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return handle_; }

  private:
    iconv_t handle_;
};

// Converts between two code pages. A byte sequence that is not valid in the
// source, or a character the target lacks, becomes "?", as the desktop's own
// conversions do; the conversion itself never fails.
std::string Convert(const std::string& text, const std::string& from, const std::string& to) {
    if (IsUtf8Name(from) && IsUtf8Name(to)) {
        return text;
    }
    // Transliteration turns a character the target lacks into "?".
    IconvHandle converter(to + "//TRANSLIT", from);
    if (!converter.valid()) {
        LogError("cannot convert from %s to %s\n", from.c_str(), to.c_str());
        return text;
    }
    std::string result;
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char buffer[4096];
    bool flushing = false;
    while (true) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t status = flushing ? ::iconv(converter.get(), nullptr, nullptr, &out, &outLeft)
                                      : ::iconv(converter.get(), &in, &inLeft, &out, &outLeft);
        result.append(buffer, static_cast<std::size_t>(out - buffer));
        if (status != static_cast<std::size_t>(-1)) {
            if (flushing) {
                break;
            }
            flushing = true;
            continue;
        }
        if (errno == E2BIG) {
            continue;
        }
        // An invalid or incomplete sequence becomes one "?"; from UTF-8 the
        // whole broken sequence is skipped.
        if (flushing || inLeft == 0) {
            break;
        }
        result.push_back('?');
        do {
            ++in;
            --inLeft;
        } while (IsUtf8Name(from) && inLeft > 0 && IsContinuation(static_cast<unsigned char>(*in)));
    }
    return result;
}

// True when the count bytes after position are all of the form 10xxxxxx.
bool ContinuationsFollow(const std::string& text, std::size_t position, std::size_t count) {
    if (position + count >= text.size()) {
        return false;
    }
    for (std::size_t i = 1; i <= count; ++i) {
        if (!IsContinuation(static_cast<unsigned char>(text[position + i]))) {
            return false;
        }
    }
    return true;
}

// A two-character pair read as hexadecimal: its valid prefix, or 0.
unsigned HexPair(const std::string& pair) {
    int high = HexDigitValue(pair[0]);
    if (high < 0) {
        return 0;
    }
    int low = HexDigitValue(pair[1]);
    return low < 0 ? static_cast<unsigned>(high) : static_cast<unsigned>(high * 16 + low);
}

}  // namespace

std::string FormatString(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (length > static_cast<int>(kFormatCapacity)) {
        LogError("formatted text of %d bytes is longer than %zu bytes, refused\n", length,
                 kFormatCapacity);
    } else if (length > 0) {
        text.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, arguments);
        text.resize(static_cast<std::size_t>(length));
    }
    va_end(arguments);
    return text;
}

bool IsUtf8Text(const std::string& text) {
    if (text.empty()) {
        return false;
    }
    if (text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0xEF &&
        static_cast<unsigned char>(text[1]) == 0xBB) {
        return true;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            continue;
        }
        if ((lead == 0xFC || lead == 0xFD) && ContinuationsFollow(text, i, 5)) {
            return true;
        }
        if (lead >= 0xF8 && lead <= 0xFB && ContinuationsFollow(text, i, 4)) {
            return true;
        }
        if (lead >= 0xF0 && lead <= 0xF7 && ContinuationsFollow(text, i, 3)) {
            return true;
        }
        if (lead >= 0xE0 && lead <= 0xEF && ContinuationsFollow(text, i, 2)) {
            return true;
        }
        if (lead >= 0xC0 && lead <= 0xDF && ContinuationsFollow(text, i, 1)) {
            unsigned char next = static_cast<unsigned char>(text[i + 1]);
            if ((((lead & 0x03) << 6) | (next & 0x3F)) >= 0x80) {
                return true;
            }
        }
        return false;
    }
    return false;
}

void SetHostCodePage(const std::string& name) {
    if (!IsUtf8Name(name)) {
        IconvHandle probe("UTF-8", name);
        if (name.empty() || !probe.valid()) {
            LogError("unknown code page %s, keeping %s\n", name.c_str(), HostCodePage().c_str());
            return;
        }
    }
    std::lock_guard<std::mutex> lock(CodePageMutex());
    CodePage() = name;
}

std::string HostCodePage() {
    std::lock_guard<std::mutex> lock(CodePageMutex());
    return CodePage();
}

std::string Utf8ToAnsi(const std::string& text) {
    if (text.empty()) {
        return std::string();
    }
    if (!IsUtf8Text(text)) {
        return text;
    }
    // Only a whole byte-order mark is dropped: full-width characters such as
    // "（" (EF BC 88) begin with the same first byte.
    const bool byteOrderMark = text.compare(0, 3, "\xEF\xBB\xBF") == 0;
    const std::size_t start = byteOrderMark ? 3 : 0;
    if (start >= text.size()) {
        return std::string();
    }
    return Convert(text.substr(start), "UTF-8", HostCodePage());
}

std::string AnsiToUtf8(const std::string& text) {
    if (text.empty()) {
        return std::string();
    }
    return Convert(text, HostCodePage(), "UTF-8");
}

bool SplitList(const std::string& text, std::vector<std::string>& list) {
    list.clear();
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t bar = text.find('|', start);
        std::size_t end = bar == std::string::npos ? text.size() : bar;
        if (end - start > kListItemCapacity) {
            list.clear();
            LogError("list item of %zu bytes is longer than %zu bytes, refused\n", end - start,
                     kListItemCapacity);
            return false;
        }
        if (end > start) {
            list.push_back(text.substr(start, end - start));
        }
        if (bar == std::string::npos) {
            break;
        }
        start = bar + 1;
    }
    return true;
}

PackedColor ParseColor(const std::string& text) {
    std::string digits = text;
    std::size_t hash = text.find('#');
    if (hash != std::string::npos) {
        digits = text.substr(hash + 1);
    }
    if (digits.size() > 8) {
        digits.resize(8);
    }
    std::string value = "FF000000";
    value.replace(8 - digits.size(), digits.size(), digits);
    PackedColor alpha = HexPair(value.substr(0, 2));
    PackedColor red = HexPair(value.substr(2, 2));
    PackedColor green = HexPair(value.substr(4, 2));
    PackedColor blue = HexPair(value.substr(6, 2));
    return alpha << 24 | blue << 16 | green << 8 | red;
}

std::string FormatColor(PackedColor value) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X%02X", AlphaOf(value), RedOf(value),
                  GreenOf(value), BlueOf(value));
    return text;
}

std::string RandomLetters() {
    // The generator is process-wide; the lock keeps one call's seed and draws
    // together.
    static std::mutex mutex;
    std::lock_guard<std::mutex> lock(mutex);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    std::string letters;
    for (int i = 0; i < 10; ++i) {
        letters.push_back(static_cast<char>('A' + std::rand() % 26));
    }
    return letters;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string Trim(const std::string& text) {
    const char* blanks = " \t\r\n";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return std::string();
    }
    std::size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

}  // namespace sw
