// Making and opening zip archives (libzip).
#pragma once

#include <string>

namespace sw {

// Archives a folder's contents. source is either "FOLDER/*.*" or a plain
// "FOLDER": in both forms the folder's contents form the archive's top level
// (the folder's own name never appears in the entries). Entries are stored in
// sorted order so the same folder always gives the same archive. True on
// success.
bool ZipCompress(const std::string& source, const std::string& archive);

// Writes every entry below destination, creating sub-folders. An entry with an
// absolute path or a ".." component is refused: it is logged, nothing is
// written outside destination and the result is false.
bool ZipExtract(const std::string& archive, const std::string& destination);

}  // namespace sw
