// Reading and writing XML files of a module with TinyXML.
#pragma once

#include <tinyxml.h>

#include <cstddef>
#include <string>

namespace sw {

// No theme's XML file comes near this size.
inline constexpr std::size_t kMaxXmlFileBytes = 32u << 20;

// Parses the file at path into document; false when the path is not a plain
// file or does not parse. The file is opened through OpenFileForReading:
// never waiting on a FIFO and, with a root, never through a link out of it. A file larger than
// kMaxXmlFileBytes, nested deeper than kMaxXmlNesting elements or ending inside a comment, CDATA
// section or quoted value is refused with an ERROR line before the parser sees it. The document
// remembers the path for saving.
bool LoadXmlFile(TiXmlDocument& document, const std::string& path, const std::string& root = {});

// True when the file at path, read and printed again, is text: writing text
// would change nothing but the way the file was first written (its
// declaration, its indentation).
bool XmlFileHolds(const std::string& path, const std::string& text);

// Writes the document to path as TinyXML prints it, through a temporary file
// in the same folder renamed over the old file, so a failed write leaves the
// old file whole. A file that already holds the same document is left as it
// is, so that an edit changes only the files it really changes. False,
// logged, on failure.
bool SaveXmlFile(const TiXmlDocument& document, const std::string& path);

// The bytes SaveXmlFile writes: the document as TinyXML prints it to a file
// (with a UTF-8 byte-order mark when it was read with one); false, logged,
// when the document cannot be printed.
bool XmlFileText(const TiXmlDocument& document, std::string& text);

}  // namespace sw
