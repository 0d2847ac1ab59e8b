// Making and opening zip archives (libzip).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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

// One entry of an archive being written: a folder (name ends in "/"), or a
// file whose bytes are those of the regular file at path, or bytes held in
// memory.
struct ZipEntry {
    std::string name;  // relative, "/"-separated
    std::string path;  // read when the archive is written; its size must still be size
    std::shared_ptr<const std::string> bytes;  // used instead of path when set
    std::uint64_t size = 0;                    // of the file at path
};

// How a long write is followed and stopped.
struct ZipWriteControl {
    // Polled before every entry and between reads; true ends the write with
    // failure and no archive (no ERROR line: the caller asked).
    std::function<bool()> stop;
    // Bytes of the entries read so far, of all of them.
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;
};

// Writes entries as an archive, in byte order of their names, with the
// fixed time, permissions and compression rules of ZipCompress, so that the
// same entries always give the same bytes. A path is opened without
// following a link and without blocking, and must be a regular file of the
// size given: anything else fails the write with an ERROR line naming it.
// The archive file is written beside its final name and renamed into place.
bool ZipWriteFile(std::vector<ZipEntry> entries, const std::string& archive,
                  const ZipWriteControl& control = {});
// The same archive into bytes.
bool ZipWriteMemory(std::vector<ZipEntry> entries, std::string& bytes,
                    const ZipWriteControl& control = {});

// What an extraction may write. An archive from elsewhere may be made to
// expand without end (a "zip bomb"); far above any theme, these stop it.
struct ZipLimits {
    std::uint64_t max_total_bytes = std::uint64_t{4} << 30;  // all entries together
    std::uint64_t max_entries = 200000;
    // An entry may expand to at most this many times its compressed size,
    // once it is larger than ratio_floor bytes.
    std::uint64_t max_ratio = 200;
    std::uint64_t ratio_floor = std::uint64_t{1} << 20;
};

// Writes every entry below destination, creating it and its sub-folders. "/"
// and "\\" both separate components. Every name is checked before anything is
// written: an entry with an absolute path or a ".." component is refused with
// ERROR "zip entry NAME escapes the destination", nothing is written and the
// result is false. Link entries are written as plain files holding the link
// text. An archive over one of the limits is refused with an ERROR line: by
// what its entries declare before anything is written, and by the bytes
// actually written as it is extracted (a declared size may lie). A corrupt or
// truncated archive gives false. Whenever the result is false, every file and
// folder the extraction wrote is removed again.
bool ZipExtract(const std::string& archive, const std::string& destination,
                const ZipLimits& limits = ZipLimits{});

}  // namespace sw
