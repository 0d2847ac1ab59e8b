#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"
#include "core/unique_fd.h"
#include "core/zip.h"

namespace sw {

namespace fs = std::filesystem;

namespace {

// Every entry carries the same time, 2000-01-01 00:00:00, and the same
// permissions, so an archive depends only on the names and contents.
constexpr zip_uint16_t kDosDate = (20 << 9) | (1 << 5) | 1;
constexpr zip_uint16_t kDosTime = 0;
constexpr zip_uint32_t kFileMode = S_IFREG | 0644;
constexpr zip_uint32_t kFolderMode = S_IFDIR | 0755;

// An archive with no entries: the end-of-central-directory record alone.
const char kEmptyArchive[22] = {'P', 'K', 5, 6};

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ArchivePtr = std::unique_ptr<zip_t, ArchiveCloser>;

struct EntryCloser {
    void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};
using EntryPtr = std::unique_ptr<zip_file_t, EntryCloser>;

struct Entry {
    std::string name;  // relative, "/"-separated; folders end in "/"
    std::string path;  // on disk
};

// Lists folder's tree below prefix. False for anything that is neither a
// folder nor a (link to a) regular file, and for folder links, which are
// never followed.
bool CollectEntries(const std::string& folder, const std::string& prefix,
                    const std::string& skipPath, std::vector<Entry>& entries) {
    std::vector<std::string> names;
    if (!ListFolder(folder, names)) {
        LogError("cannot list folder %s for the zip archive\n", folder.c_str());
        return false;
    }
    for (const std::string& name : names) {
        std::string path = folder + "/" + name;
        if (!CheckPathCapacity(path)) {
            return false;
        }
        std::error_code error;
        fs::file_status own = fs::symlink_status(path, error);
        if (own.type() == fs::file_type::directory) {
            entries.push_back({prefix + name + "/", path});
            if (!CollectEntries(path, prefix + name + "/", skipPath, entries)) {
                return false;
            }
        } else if (fs::is_regular_file(fs::status(path, error))) {
            if (path != skipPath) {
                entries.push_back({prefix + name, path});
            }
        } else {
            LogError("cannot put %s into a zip archive\n", path.c_str());
            return false;
        }
    }
    return true;
}

// The folder named by a compress source: "FOLDER/*.*" or "FOLDER".
std::string SourceFolder(const std::string& source) {
    std::string folder = source;
    const std::string pattern = "/*.*";
    if (folder.size() >= pattern.size() &&
        folder.compare(folder.size() - pattern.size(), pattern.size(), pattern) == 0) {
        folder.resize(folder.size() - pattern.size());
    }
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

// PNG and JPEG pictures and archives are compressed already: deflating
// them again costs time and saves next to nothing, so they are stored.
bool IsCompressedAlready(const std::string& name) {
    for (const char* suffix : {".png", ".jpg", ".jpeg", ".zip"}) {
        const std::size_t length = std::strlen(suffix);
        if (name.size() >= length && strcasecmp(name.c_str() + name.size() - length, suffix) == 0) {
            return true;
        }
    }
    return false;
}

bool AddEntry(zip_t* archive, const Entry& entry) {
    bool folder = entry.name.back() == '/';
    zip_int64_t index;
    if (folder) {
        index = zip_dir_add(archive, entry.name.c_str(), ZIP_FL_ENC_GUESS);
    } else {
        zip_source_t* source = zip_source_file(archive, entry.path.c_str(), 0, -1);
        if (source == nullptr) {
            return false;
        }
        index = zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_GUESS);
        if (index < 0) {
            zip_source_free(source);
            return false;
        }
    }
    if (index < 0) {
        return false;
    }
    zip_uint64_t at = static_cast<zip_uint64_t>(index);
    return zip_file_set_dostime(archive, at, kDosTime, kDosDate, 0) == 0 &&
           zip_file_set_external_attributes(archive, at, 0, ZIP_OPSYS_UNIX,
                                            (folder ? kFolderMode : kFileMode) << 16) == 0 &&
           (folder || zip_set_file_compression(
                          archive, at,
                          IsCompressedAlready(entry.name) ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0) == 0);
}

// The entry name as a relative path below the destination, "" when it names
// the destination itself; false when it is absolute or climbs out.
bool SafeRelativePath(const std::string& name, std::string& relative) {
    relative.clear();
    if (name.empty() || name[0] == '/' || name[0] == '\\' || (name.size() >= 2 && name[1] == ':')) {
        return false;
    }
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find_first_of("/\\", start);
        if (end == std::string::npos) {
            end = name.size();
        }
        std::string part = name.substr(start, end - start);
        if (part == "..") {
            return false;
        }
        if (!part.empty() && part != ".") {
            relative += (relative.empty() ? "" : "/") + part;
        }
        start = end + 1;
    }
    return true;
}

bool ExtractFile(zip_t* archive, zip_uint64_t index, const std::string& path) {
    EntryPtr entry(zip_fopen_index(archive, index, 0));
    if (!entry) {
        return false;
    }
    // O_NOFOLLOW: a link standing at the path is never written through.
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!fd.valid()) {
        return false;
    }
    char buffer[65536];
    for (;;) {
        zip_int64_t count = zip_fread(entry.get(), buffer, sizeof buffer);
        if (count < 0) {
            return false;
        }
        if (count == 0) {
            return ::close(fd.Release()) == 0;
        }
        std::size_t done = 0;
        while (done < static_cast<std::size_t>(count)) {
            ssize_t written =
                ::write(fd.get(), buffer + done, static_cast<std::size_t>(count) - done);
            if (written < 0 && errno != EINTR) {
                return false;
            }
            done += written > 0 ? static_cast<std::size_t>(written) : 0;
        }
    }
}

}  // namespace

bool ZipCompress(const std::string& source, const std::string& archive) {
    std::string folder = SourceFolder(source);
    if (folder.empty() || archive.empty() || !CheckPathCapacity(folder) ||
        !CheckPathCapacity(archive)) {
        LogError("cannot make zip archive %s from %s\n", archive.c_str(), source.c_str());
        return false;
    }
    if (!IsFolder(folder)) {
        LogError("zip source %s is not a folder\n", folder.c_str());
        return false;
    }
    // An archive written into its own source folder is not put into itself.
    std::string skipPath;
    std::error_code error;
    fs::path archivePath = fs::absolute(archive, error);
    fs::path archiveFolder = fs::weakly_canonical(archivePath.parent_path(), error);
    fs::path sourceFolder = fs::weakly_canonical(folder, error);
    fs::path inside = (archiveFolder / archivePath.filename()).lexically_relative(sourceFolder);
    if (!error && !inside.empty() && *inside.begin() != "..") {
        skipPath = folder + "/" + inside.string();
    }

    std::vector<Entry> entries;
    if (!CollectEntries(folder, "", skipPath, entries)) {
        return false;
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    if (entries.empty()) {
        return WriteFileAtomic(archive, std::string(kEmptyArchive, sizeof kEmptyArchive));
    }

    // libzip writes into a temporary file beside the archive and renames it
    // over the archive only when everything was written.
    int code = 0;
    ArchivePtr zip(zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code));
    if (!zip) {
        zip_error_t reason;
        zip_error_init_with_code(&reason, code);
        LogError("cannot create zip archive %s: %s\n", archive.c_str(),
                 zip_error_strerror(&reason));
        zip_error_fini(&reason);
        return false;
    }
    for (const Entry& entry : entries) {
        if (!AddEntry(zip.get(), entry)) {
            LogError("cannot add %s to zip archive %s: %s\n", entry.path.c_str(), archive.c_str(),
                     zip_strerror(zip.get()));
            return false;
        }
    }
    if (zip_close(zip.get()) != 0) {
        LogError("cannot write zip archive %s: %s\n", archive.c_str(), zip_strerror(zip.get()));
        return false;
    }
    zip.release();
    return true;
}

bool ZipExtract(const std::string& archive, const std::string& destination) {
    std::string target = destination;
    while (target.size() > 1 && target.back() == '/') {
        target.pop_back();
    }
    if (archive.empty() || target.empty() || !CheckPathCapacity(target)) {
        return false;
    }
    int code = 0;
    ArchivePtr zip(zip_open(archive.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!zip) {
        zip_error_t reason;
        zip_error_init_with_code(&reason, code);
        LogError("cannot open zip archive %s: %s\n", archive.c_str(), zip_error_strerror(&reason));
        zip_error_fini(&reason);
        return false;
    }
    zip_int64_t count = zip_get_num_entries(zip.get(), 0);
    // Every name is checked before anything is written.
    std::vector<std::string> paths;
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* raw = zip_get_name(zip.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
        std::string name = raw != nullptr ? raw : "";
        std::string relative;
        bool folder = !name.empty() && (name.back() == '/' || name.back() == '\\');
        if (raw == nullptr || !SafeRelativePath(name, relative) || (relative.empty() && !folder)) {
            LogError("zip entry %s escapes the destination\n", name.c_str());
            return false;
        }
        std::string path = relative.empty() ? target : target + "/" + relative;
        if (!CheckPathCapacity(path)) {
            return false;
        }
        paths.push_back(folder ? path + "/" : path);
    }
    if (!MakeFolderPath(target)) {
        LogError("cannot make folder %s\n", target.c_str());
        return false;
    }
    for (zip_int64_t i = 0; i < count; ++i) {
        const std::string& path = paths[static_cast<std::size_t>(i)];
        if (path.back() == '/') {
            if (!MakeFolderPath(path)) {
                LogError("cannot make folder %s\n", path.c_str());
                return false;
            }
            continue;
        }
        // Link entries are written as plain files holding the link text.
        if (!MakeFolderPath(FolderOf(path)) ||
            !ExtractFile(zip.get(), static_cast<zip_uint64_t>(i), path)) {
            LogError("cannot extract %s from zip archive %s: %s\n", path.c_str(), archive.c_str(),
                     zip_strerror(zip.get()));
            ::unlink(path.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace sw
