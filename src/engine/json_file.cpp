#include "engine/json_file.h"

#include <json/reader.h>
#include <json/writer.h>

#include <exception>

#include "core/files.h"
#include "core/text.h"

namespace sw {

namespace {

// The code unit of "\uXXXX" at text[at] (at the backslash), or -1.
long CodeUnitAt(const std::string& text, std::size_t at) {
    if (at + 6 > text.size() || text[at] != '\\' || text[at + 1] != 'u') {
        return -1;
    }
    long unit = 0;
    for (std::size_t i = at + 2; i < at + 6; ++i) {
        const int digit = HexDigitValue(text[i]);
        if (digit < 0) {
            return -1;
        }
        unit = unit * 16 + digit;
    }
    return unit;
}

void AppendUtf8(std::string& out, unsigned long code) {
    if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    }
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
}

// Inside the string literals of a styled text, turns the \u escapes of
// characters beyond ASCII back into their UTF-8 bytes; escapes of control
// characters, everything outside strings (comments included) and the layout
// stay as they are.
std::string UnescapeBeyondAscii(const std::string& styled) {
    enum class State { kOutside, kString, kLineComment, kBlockComment };
    State state = State::kOutside;
    std::string out;
    out.reserve(styled.size());
    for (std::size_t i = 0; i < styled.size(); ++i) {
        const char c = styled[i];
        const char next = i + 1 < styled.size() ? styled[i + 1] : '\0';
        switch (state) {
            case State::kOutside:
                if (c == '"') {
                    state = State::kString;
                } else if (c == '/' && next == '/') {
                    state = State::kLineComment;
                } else if (c == '/' && next == '*') {
                    state = State::kBlockComment;
                    out += "/*";
                    ++i;
                    continue;
                }
                break;
            case State::kLineComment:
                if (c == '\n') {
                    state = State::kOutside;
                }
                break;
            case State::kBlockComment:
                if (c == '*' && next == '/') {
                    state = State::kOutside;
                    out += "*/";
                    ++i;
                    continue;
                }
                break;
            case State::kString: {
                if (c == '"') {
                    state = State::kOutside;
                    break;
                }
                if (c != '\\') {
                    break;
                }
                const long unit = CodeUnitAt(styled, i);
                if (unit < 0x80) {
                    // Another escape, or one of a control character: kept.
                    out.push_back(c);
                    out.push_back(next);
                    ++i;
                    continue;
                }
                const long low = CodeUnitAt(styled, i + 6);
                if (unit >= 0xD800 && unit <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF) {
                    AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                    i += 11;
                } else {
                    AppendUtf8(out, static_cast<unsigned long>(unit));
                    i += 5;
                }
                continue;
            }
        }
        out.push_back(c);
    }
    return out;
}

}  // namespace

bool ParseJsonFileText(const std::string& text, Json::Value& value, bool keepComments) {
    try {
        Json::Reader reader;
        return reader.parse(text, value, keepComments);
    } catch (const std::exception&) {
        return false;
    }
}

std::string JsonFileText(const Json::Value& value) {
    try {
        Json::StyledWriter writer;
        return UnescapeBeyondAscii(writer.write(value));
    } catch (const std::exception&) {
        return "null\n";
    }
}

bool WriteJsonFile(const std::string& path, const Json::Value& value) {
    return WriteFileAtomic(path, JsonFileText(value));
}

}  // namespace sw
