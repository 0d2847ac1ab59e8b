// A cheap look at an XML document before TinyXML reads it. TinyXML reads
// nested elements by recursion (and frees them the same way), so a document
// nested a few hundred thousand levels deep overflows the stack; and a comment,
// CDATA section or quoted value left open at the end of the text makes it step
// past the end of its buffer. The scan follows TinyXML's own reading rules
// (what starts an element, a comment, CDATA or a declaration, how text and
// quoted values are stepped through, including its UTF-8 mode) without
// building anything, so what it measures is what the parser would meet.
#pragma once

#include <cstddef>
#include <string>

namespace sw {

// No theme file comes near this depth; TinyXML stays far from the end of
// its stack well past it.
inline constexpr std::size_t kMaxXmlNesting = 256;

enum class XmlNesting {
    kFits,          // the parser may be given the text
    kTooDeep,       // more than the limit of elements open at once
    kUnterminated,  // the parser would read past the end of the text
};

// Scans text as TinyXML's file reader would see it: carriage returns already
// turned into line feeds, and nothing after a zero byte.
XmlNesting CheckXmlNesting(const std::string& text, std::size_t limit = kMaxXmlNesting);

// The text as TinyXML's file reader hands it to the parser: "\r\n" and a lone
// "\r" become "\n", and the text ends at the first zero byte.
std::string NormalizeXmlText(const std::string& bytes);

}  // namespace sw
