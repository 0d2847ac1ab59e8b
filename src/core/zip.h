// Making and opening zip archives (libzip).
#pragma once

#include <string>

namespace sw {

// Archives a folder's contents. source is either "FOLDER/*.*" or a plain
// "FOLDER": in both forms the folder's contents form the archive's top level
// (the folder's own name never appears in the entries). Files are deflated,
// except PNG and JPEG pictures and zip archives, which are stored as they
// are; every folder below also has its own "dir/" entry. Entries are stored in
// byte order of their relative paths, with one fixed time and fixed
// permissions, so the same folder always gives the same archive. The archive
// is written beside its final name and renamed into place, so a failure
// leaves no half-written archive (and an older one untouched). An archive
// inside its own source folder is not stored in itself. Links to files are
// stored as the files; links to folders are not followed and, like anything
// else that is neither file nor folder, fail the call. True
// on success; failures are logged at ERROR.
bool ZipCompress(const std::string& source, const std::string& archive);

// Writes every entry below destination, creating it and its sub-folders. "/"
// and "\\" both separate components. Every name is checked before anything is
// written: an entry with an absolute path or a ".." component is refused with
// ERROR "zip entry NAME escapes the destination", nothing is written and the
// result is false. Link entries are written as plain files holding the link
// text. A corrupt or truncated archive gives false.
bool ZipExtract(const std::string& archive, const std::string& destination);

}  // namespace sw
