// Copying, creating and deleting folder trees, and whole-file reads and
// writes. Every function reports failure by its result and logs nothing,
// except the writers and copies, which log an ERROR line naming the file, and
// a path longer than kPathCapacity, which is refused with an ERROR line.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace sw {

bool IsFolder(const std::string& path);
bool IsFile(const std::string& path);
bool PathExists(const std::string& path);

// Copies a file (overwriting, through CopyFileAtomic) or, for a folder, the
// whole tree. Equal texts are a success without any copy.
bool CopyPath(const std::string& source, const std::string& destination);

// Copies every entry of source below destination, creating destination first.
// Symbolic links are followed (a linked folder is copied as a folder). Fails
// at the first entry that cannot be copied, at a link that loops back, and at
// once when destination lies inside source.
bool CopyFolder(const std::string& source, const std::string& destination);

// What a copy of a folder tree makes below its destination: the folders
// (relative to it, each after its parent, "" for the destination itself)
// and the plain files (relative).
struct FolderCopyPlan {
    std::vector<std::string> folders;
    std::vector<std::string> files;
};

// Lists what CopyFolder copies, writing nothing. False where the copy would
// fail before any file: a link that loops back, a folder that cannot be
// listed, a path too long, destination inside source.
bool PlanFolderCopy(const std::string& source, const std::string& destination,
                    FolderCopyPlan& plan);

// Makes the plan's folders below destination, then calls copyFile(from, to)
// for each of its files in turn; false at the first that fails.
bool CopyPlannedFolder(const FolderCopyPlan& plan, const std::string& source,
                       const std::string& destination,
                       const std::function<bool(const std::string&, const std::string&)>& copyFile);

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

// Reads a whole file; false when it cannot be read. The file is opened
// through OpenFileForReading: never waiting on a FIFO, only a regular file,
// and with a root only through links that stay inside it.
bool ReadFileText(const std::string& path, std::string& contents, const std::string& root = {});

// Writes a whole file through a temporary file in the same folder, flushed to
// disk and renamed over the old one (the folder flushed too): a failed or
// interrupted write, or a crash, never leaves a broken file. Files below the
// pack's work area and the push staging folder, which the next pack or push
// makes again, are renamed the same way but not flushed. A rewritten file
// keeps its permissions. Logs ERROR on failure.
bool WriteFileAtomic(const std::string& path, const std::string& contents);

// Copies the plain file source over destination the same way: written beside
// it and renamed, so the old file stays whole until the new one is complete.
// Keeps the permissions of the file replaced (the source's for a new file).
// The source is opened as ReadFileText opens it (root likewise). Logs ERROR
// on failure.
bool CopyFileAtomic(const std::string& source, const std::string& destination,
                    const std::string& root = {});

}  // namespace sw
