// Reading and writing XML files of a module with TinyXML.
#pragma once

#include <tinyxml.h>

#include <cstddef>
#include <string>

namespace sw {

// No theme's XML file comes near this size.
inline constexpr std::size_t kMaxXmlFileBytes = 32u << 20;

// Parses the file at path into document; false when the path is not a plain
// file or does not parse. A file larger than kMaxXmlFileBytes, nested deeper
// than kMaxXmlNesting elements or ending inside a comment, CDATA section or
// quoted value is refused with an ERROR line before the parser sees it. The
// document remembers the path for saving.
bool LoadXmlFile(TiXmlDocument& document, const std::string& path);

// Writes the document to path as TinyXML prints it (with a UTF-8 byte-order
// mark when the document was read with one), through a temporary file in the
// same folder renamed over the old file, so a failed write leaves the old
// file whole. False, logged, on failure.
bool SaveXmlFile(const TiXmlDocument& document, const std::string& path);

// The bytes SaveXmlFile writes; false, logged, when the document cannot be
// printed.
bool XmlFileText(const TiXmlDocument& document, std::string& text);

}  // namespace sw
