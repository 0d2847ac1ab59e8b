#include "engine/xml_nesting.h"

#include <cstring>
#include <vector>

namespace sw {

namespace {

constexpr std::size_t kStop = static_cast<std::size_t>(-1);

bool IsSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// TinyXML takes every byte from 127 up for a letter.
bool IsNameStart(unsigned char c) {
    return c >= 127 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsNameChar(unsigned char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':';
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// How many bytes TinyXML steps over for one character in UTF-8 mode.
std::size_t Utf8Step(unsigned char lead) {
    if (lead >= 0xc2 && lead <= 0xdf) {
        return 2;
    }
    if (lead >= 0xe0 && lead <= 0xef) {
        return 3;
    }
    if (lead >= 0xf0 && lead <= 0xf4) {
        return 4;
    }
    return 1;
}

class NestingScan {
  public:
    NestingScan(const char* text, std::size_t limit)
        : s_(text), n_(std::strlen(text)), limit_(limit) {}

    XmlNesting Run() {
        ReadDocument();
        if (too_deep_) {
            return XmlNesting::kTooDeep;
        }
        return past_end_ ? XmlNesting::kUnterminated : XmlNesting::kFits;
    }

  private:
    enum class Node { kDeclaration, kComment, kCdata, kUnknown, kElement };

    // Every position handed on is checked here: the parser would read the
    // byte at a position past the terminating zero.
    bool Bad(std::size_t i) {
        if (i == kStop) {
            return true;
        }
        if (i > n_) {
            past_end_ = true;
            return true;
        }
        return false;
    }

    bool StartsWith(std::size_t i, const char* tag, bool ignoreCase = false) const {
        for (; *tag != 0; ++i, ++tag) {
            if (s_[i] == 0) {
                return false;
            }
            if (ignoreCase ? LowerAscii(s_[i]) != LowerAscii(*tag) : s_[i] != *tag) {
                return false;
            }
        }
        return true;
    }

    // Stop at the end of the text, as the parser's white-space skip does.
    std::size_t SkipSpace(std::size_t i) const {
        if (s_[i] == 0) {
            return kStop;
        }
        for (;;) {
            if (utf8_ && (StartsWith(i, "\xef\xbb\xbf") || StartsWith(i, "\xef\xbf\xbe") ||
                          StartsWith(i, "\xef\xbf\xbf"))) {
                i += 3;
            } else if (IsSpace(static_cast<unsigned char>(s_[i]))) {
                ++i;
            } else {
                return i;
            }
        }
    }

    // One entity beginning with '&' at i; the decoded byte, in the byte
    // mode, goes to collected.
    std::size_t ReadEntity(std::size_t i, std::string* collected) const {
        static const struct {
            const char* text;
            char value;
        } kNamed[] = {
            {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
        if (s_[i + 1] == '#' && s_[i + 2] != 0) {
            const bool hex = s_[i + 2] == 'x';
            if (hex && s_[i + 3] == 0) {
                return kStop;
            }
            const char* semicolon = std::strchr(s_ + i + (hex ? 3 : 2), ';');
            if (semicolon == nullptr) {
                return kStop;
            }
            const std::size_t end = static_cast<std::size_t>(semicolon - s_);
            unsigned long code = 0;
            unsigned long scale = 1;
            for (std::size_t q = end - 1; s_[q] != (hex ? 'x' : '#'); --q) {
                if (hex ? !IsHexDigit(s_[q]) : !(s_[q] >= '0' && s_[q] <= '9')) {
                    return kStop;
                }
                const unsigned long digit =
                    s_[q] <= '9' ? static_cast<unsigned long>(s_[q] - '0')
                                 : static_cast<unsigned long>(LowerAscii(s_[q]) - 'a' + 10);
                code += scale * digit;
                scale *= hex ? 16 : 10;
            }
            if (collected != nullptr && !utf8_) {
                collected->push_back(static_cast<char>(code));
            }
            return end + 1;
        }
        for (const auto& named : kNamed) {
            if (std::strncmp(s_ + i, named.text, std::strlen(named.text)) == 0) {
                if (collected != nullptr) {
                    collected->push_back(named.value);
                }
                return i + std::strlen(named.text);
            }
        }
        return i + 1;
    }

    // One character of text or of a quoted value.
    std::size_t ReadChar(std::size_t i, std::string* collected) const {
        const std::size_t step = utf8_ ? Utf8Step(static_cast<unsigned char>(s_[i])) : 1;
        if (step == 1) {
            if (s_[i] == '&') {
                return ReadEntity(i, collected);
            }
            if (collected != nullptr) {
                collected->push_back(s_[i]);
            }
            return i + 1;
        }
        // A lead byte is followed blindly: this may step over the end.
        return i + step;
    }

    // Text up to and past endTag; past the end of the text when endTag is
    // missing, as the parser does.
    std::size_t ReadTextTo(std::size_t i, const char* endTag, std::string* collected = nullptr) {
        while (!Bad(i) && s_[i] != 0 && !StartsWith(i, endTag)) {
            i = ReadChar(i, collected);
        }
        if (Bad(i)) {
            return kStop;
        }
        return i + std::strlen(endTag);
    }

    // An element's text up to the next '<' (or the end of the text).
    std::size_t ReadContentText(std::size_t i) {
        while (!Bad(i) && s_[i] != 0 && s_[i] != '<') {
            i = IsSpace(static_cast<unsigned char>(s_[i])) ? i + 1 : ReadChar(i, nullptr);
        }
        return Bad(i) ? kStop : i;
    }

    std::size_t ReadName(std::size_t i) const {
        if (!IsNameStart(static_cast<unsigned char>(s_[i]))) {
            return kStop;
        }
        while (IsNameChar(static_cast<unsigned char>(s_[i]))) {
            ++i;
        }
        return i;
    }

    std::size_t ReadAttribute(std::size_t i, std::string* value = nullptr) {
        i = SkipSpace(i);
        if (Bad(i)) {
            return kStop;
        }
        i = ReadName(i);
        if (i == kStop || s_[i] == 0) {
            return kStop;
        }
        i = SkipSpace(i);
        if (i == kStop || s_[i] != '=') {
            return kStop;
        }
        i = SkipSpace(i + 1);
        if (i == kStop) {
            return kStop;
        }
        if (s_[i] == '\'' || s_[i] == '"') {
            const char quote[2] = {s_[i], 0};
            return ReadTextTo(i + 1, quote, value);
        }
        while (s_[i] != 0 && !IsSpace(static_cast<unsigned char>(s_[i])) && s_[i] != '/' &&
               s_[i] != '>') {
            if (s_[i] == '\'' || s_[i] == '"') {
                return kStop;
            }
            if (value != nullptr) {
                value->push_back(s_[i]);
            }
            ++i;
        }
        return i;
    }

    Node Identify(std::size_t i) const {
        if (StartsWith(i, "<?xml", true)) {
            return Node::kDeclaration;
        }
        if (StartsWith(i, "<!--")) {
            return Node::kComment;
        }
        if (StartsWith(i, "<![CDATA[")) {
            return Node::kCdata;
        }
        if (StartsWith(i, "<!")) {
            return Node::kUnknown;
        }
        return IsNameStart(static_cast<unsigned char>(s_[i + 1])) ? Node::kElement : Node::kUnknown;
    }

    // A declaration; its encoding, when it names one, goes to encoding.
    std::size_t ReadDeclaration(std::size_t i, std::string& encoding) {
        i += 5;
        while (!Bad(i) && s_[i] != 0) {
            if (s_[i] == '>') {
                return i + 1;
            }
            i = SkipSpace(i);
            if (i == kStop) {
                return kStop;
            }
            if (StartsWith(i, "version", true) || StartsWith(i, "standalone", true)) {
                i = ReadAttribute(i);
            } else if (StartsWith(i, "encoding", true)) {
                encoding.clear();
                i = ReadAttribute(i, &encoding);
            } else {
                while (s_[i] != 0 && s_[i] != '>' && !IsSpace(static_cast<unsigned char>(s_[i]))) {
                    ++i;
                }
            }
        }
        return kStop;
    }

    // A comment is read byte by byte up to the first "-->", whatever the
    // encoding: a UTF-8 lead byte does not step over its end. One left open
    // is refused, as parsers differ on where it ends.
    std::size_t ReadComment(std::size_t i) {
        i += 4;
        while (s_[i] != 0 && !StartsWith(i, "-->")) {
            ++i;
        }
        if (s_[i] == 0) {
            past_end_ = true;
            return kStop;
        }
        return i + 3;
    }

    std::size_t ReadCdata(std::size_t i) {
        i += 9;
        while (s_[i] != 0 && !StartsWith(i, "]]>")) {
            ++i;
        }
        return i + 3;
    }

    std::size_t ReadUnknown(std::size_t i) const {
        ++i;
        while (s_[i] != 0 && s_[i] != '>') {
            ++i;
        }
        return s_[i] == '>' ? i + 1 : i;
    }

    // Any node but an element, starting at its '<'.
    std::size_t ReadLeaf(Node node, std::size_t i, std::string& encoding) {
        switch (node) {
            case Node::kDeclaration:
                return ReadDeclaration(i, encoding);
            case Node::kComment:
                return ReadComment(i);
            case Node::kCdata:
                return ReadCdata(i);
            case Node::kUnknown:
            case Node::kElement:
                break;
        }
        return ReadUnknown(i);
    }

    // An element with everything inside it, starting at its '<'; the open
    // elements are kept in a list, not on the call stack.
    std::size_t ReadElement(std::size_t i) {
        std::vector<std::string> open;
        std::string ignored;
        for (;;) {
            // A start tag at i. The parser makes the element and goes one
            // level down as soon as it sees the '<' and a name's first
            // character, and keeps the element in the tree even when its tag
            // is broken: an empty or unfinished element is a level too.
            if (open.size() + 1 > limit_) {
                too_deep_ = true;
                return kStop;
            }
            i = SkipSpace(i + 1);
            if (i == kStop) {
                return kStop;
            }
            const std::size_t nameStart = i;
            i = ReadName(i);
            if (i == kStop || s_[i] == 0) {
                return kStop;
            }
            std::string name(s_ + nameStart, i - nameStart);
            bool opened = false;
            for (;;) {
                i = SkipSpace(i);
                if (i == kStop) {
                    return kStop;
                }
                if (s_[i] == '/') {
                    if (s_[i + 1] != '>') {
                        return kStop;
                    }
                    i += 2;
                    break;
                }
                if (s_[i] == '>') {
                    ++i;
                    opened = true;
                    break;
                }
                i = ReadAttribute(i);
                if (Bad(i) || s_[i] == 0) {
                    return kStop;
                }
            }
            if (opened) {
                open.push_back(std::move(name));
            }
            // The contents of the innermost open element, up to its end
            // tag; a child element goes round the outer loop.
            bool child = false;
            while (!open.empty() && !child) {
                if (Bad(i)) {
                    return kStop;
                }
                i = SkipSpace(i);
                if (i == kStop) {
                    return kStop;
                }
                if (s_[i] != '<') {
                    i = ReadContentText(i);
                    if (i == kStop) {
                        return kStop;
                    }
                    continue;
                }
                if (StartsWith(i, "</")) {
                    // "</name", blanks allowed, then '>'.
                    const std::string endTag = "</" + open.back();
                    if (!StartsWith(i, endTag.c_str())) {
                        return kStop;
                    }
                    i = SkipSpace(i + endTag.size());
                    if (i == kStop || s_[i] != '>') {
                        return kStop;
                    }
                    ++i;
                    open.pop_back();
                    continue;
                }
                const Node node = Identify(i);
                if (node == Node::kElement) {
                    child = true;
                } else {
                    i = ReadLeaf(node, i, ignored);
                }
            }
            if (!child) {
                return i;
            }
        }
    }

    void ReadDocument() {
        bool encodingKnown = false;
        if (StartsWith(0, "\xef\xbb\xbf")) {
            utf8_ = true;
            encodingKnown = true;
        }
        std::size_t i = SkipSpace(0);
        while (!Bad(i) && s_[i] == '<') {
            const Node node = Identify(i);
            std::string encoding;
            i = node == Node::kElement ? ReadElement(i) : ReadLeaf(node, i, encoding);
            if (node == Node::kDeclaration && !encodingKnown) {
                // An empty encoding or one beginning "UTF-8" or "UTF8"
                // switches the parser to UTF-8; any other to single bytes.
                encodingKnown = true;
                std::string lower;
                for (char c : encoding) {
                    lower.push_back(LowerAscii(c));
                }
                utf8_ =
                    lower.empty() || lower.rfind("utf-8", 0) == 0 || lower.rfind("utf8", 0) == 0;
            }
            if (Bad(i)) {
                return;
            }
            i = SkipSpace(i);
        }
    }

    const char* s_;
    std::size_t n_;
    std::size_t limit_;
    bool utf8_ = false;
    bool too_deep_ = false;
    bool past_end_ = false;
};

}  // namespace

XmlNesting CheckXmlNesting(const std::string& text, std::size_t limit) {
    return NestingScan(text.c_str(), limit).Run();
}

std::string NormalizeXmlText(const std::string& bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size() && bytes[i] != 0; ++i) {
        if (bytes[i] == '\r') {
            text.push_back('\n');
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
        } else {
            text.push_back(bytes[i]);
        }
    }
    return text;
}

}  // namespace sw
