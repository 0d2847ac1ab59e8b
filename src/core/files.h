// Copying, creating and deleting folder trees, and whole-file reads and
// writes. Every function reports failure by its result and logs nothing,
// except the writers, which log an ERROR line naming the file, and a path
// longer than kPathCapacity, which is refused with an ERROR line.
#pragma once

#include <string>
#include <vector>

namespace sw {

bool IsFolder(const std::string& path);
bool IsFile(const std::string& path);
bool PathExists(const std::string& path);

// Copies a file (overwriting) or, for a folder, the whole tree. Equal texts
// are a success without any copy.
bool CopyPath(const std::string& source, const std::string& destination);

// Copies every entry of source below destination, creating destination first.
// Fails at the first entry that cannot be copied, and at once when
// destination lies inside source.
bool CopyFolder(const std::string& source, const std::string& destination);

// Creates the folder and every missing parent; true when it exists afterwards.
// A file standing where a folder is to be made makes it fail.
bool MakeFolderPath(const std::string& path);

// Deletes a file, or a folder tree. Entries whose names begin with "." are
// kept, so a folder holding one is emptied of everything else but not removed
// and the result is false.
bool DeletePath(const std::string& path);

// The names of a folder's entries (not "." and ".."), unsorted; false when the
// folder cannot be listed.
bool ListFolder(const std::string& folder, std::vector<std::string>& names);

// Reads a whole file; false when it cannot be read.
bool ReadFileText(const std::string& path, std::string& contents);

// Writes a whole file through a temporary file in the same folder renamed over
// the old one, so a failed write never leaves a broken file. Logs ERROR on
// failure.
bool WriteFileAtomic(const std::string& path, const std::string& contents);

}  // namespace sw
