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

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ArchivePtr = std::unique_ptr<zip_t, ArchiveCloser>;

struct EntryCloser {
    void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};
using EntryPtr = std::unique_ptr<zip_file_t, EntryCloser>;

// Lists folder's tree below prefix. False for anything that is neither a
// folder nor a (link to a) regular file, and for folder links, which are
// never followed.
bool CollectEntries(const std::string& folder, const std::string& prefix,
                    const std::string& skipPath, std::vector<ZipEntry>& entries) {
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
            entries.push_back({prefix + name + "/", path, nullptr, 0});
            if (!CollectEntries(path, prefix + name + "/", skipPath, entries)) {
                return false;
            }
        } else if (fs::is_regular_file(fs::status(path, error))) {
            if (path != skipPath) {
                // A link is read as the file it leads to.
                const std::string real = own.type() == fs::file_type::symlink
                                             ? fs::canonical(path, error).string()
                                             : path;
                const std::uintmax_t size = fs::file_size(real, error);
                if (error) {
                    LogError("cannot put %s into a zip archive\n", path.c_str());
                    return false;
                }
                entries.push_back({prefix + name, real, nullptr, size});
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

// Everything one extraction has written, removed again when it fails.
class WrittenPaths {
  public:
    WrittenPaths() = default;
    WrittenPaths(const WrittenPaths&) = delete;
    WrittenPaths& operator=(const WrittenPaths&) = delete;
    ~WrittenPaths() {
        if (keep_) {
            return;
        }
        for (auto file = files_.rbegin(); file != files_.rend(); ++file) {
            ::unlink(file->c_str());
        }
        for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder) {
            ::rmdir(folder->c_str());
        }
    }

    // Makes the folder and its missing parents, noting those it made.
    bool MakeFolder(const std::string& path) {
        std::vector<std::string> missing;
        for (std::string at = path; !at.empty() && at != "/" && !PathExists(at);
             at = FolderOf(at)) {
            missing.push_back(at);
            if (at.find('/') == std::string::npos) {
                break;
            }
        }
        const bool made = MakeFolderPath(path);
        for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder) {
            if (IsFolder(*folder)) {
                folders_.push_back(*folder);
            }
        }
        return made;
    }

    void AddFile(const std::string& path) { files_.push_back(path); }
    void Keep() { keep_ = true; }

  private:
    std::vector<std::string> files_;
    std::vector<std::string> folders_;
    bool keep_ = false;
};

// What an extraction has written so far, against its limits.
struct ExtractBudget {
    const ZipLimits& limits;
    const std::string& archive;
    std::uint64_t total = 0;
    bool exceeded = false;

    // Takes count more bytes of the entry at name, which has now written
    // written bytes from its compressed ones; false, with an ERROR line,
    // past a limit.
    bool Take(const std::string& name, std::uint64_t count, std::uint64_t written,
              std::uint64_t compressed) {
        total += count;
        if (total > limits.max_total_bytes) {
            LogError("zip archive %s expands to more than %llu bytes; extraction stopped at %s\n",
                     archive.c_str(), static_cast<unsigned long long>(limits.max_total_bytes),
                     name.c_str());
            exceeded = true;
            return false;
        }
        if (written > limits.ratio_floor &&
            written / std::max<std::uint64_t>(compressed, 1) >= limits.max_ratio) {
            LogError(
                "zip entry %s of %s expands more than %llu times its packed size; "
                "extraction stopped\n",
                name.c_str(), archive.c_str(), static_cast<unsigned long long>(limits.max_ratio));
            exceeded = true;
            return false;
        }
        return true;
    }
};

bool ExtractFile(zip_t* archive, zip_uint64_t index, const std::string& path,
                 std::uint64_t compressed, ExtractBudget& budget) {
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
    std::uint64_t written = 0;
    for (;;) {
        zip_int64_t count = zip_fread(entry.get(), buffer, sizeof buffer);
        if (count < 0) {
            return false;
        }
        if (count == 0) {
            return ::close(fd.Release()) == 0;
        }
        // The bytes really coming out are counted, not the size the entry
        // declares.
        written += static_cast<std::uint64_t>(count);
        if (!budget.Take(path, static_cast<std::uint64_t>(count), written, compressed)) {
            return false;
        }
        std::size_t done = 0;
        while (done < static_cast<std::size_t>(count)) {
            ssize_t put = ::write(fd.get(), buffer + done, static_cast<std::size_t>(count) - done);
            if (put < 0 && errno != EINTR) {
                return false;
            }
            done += put > 0 ? static_cast<std::size_t>(put) : 0;
        }
    }
}

// The limits checked on what the entries declare, before anything is
// written; false, with an ERROR line, when one is passed.
bool DeclaredSizesFit(zip_t* zip, zip_int64_t count, const std::string& archive,
                      const ZipLimits& limits, std::vector<std::uint64_t>& compressed) {
    if (static_cast<std::uint64_t>(count) > limits.max_entries) {
        LogError("zip archive %s holds %lld entries, more than %llu; nothing is extracted\n",
                 archive.c_str(), static_cast<long long>(count),
                 static_cast<unsigned long long>(limits.max_entries));
        return false;
    }
    std::uint64_t total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &stat) != 0) {
            LogError("cannot read entry %lld of zip archive %s: %s\n", static_cast<long long>(i),
                     archive.c_str(), zip_strerror(zip));
            return false;
        }
        const std::uint64_t size = (stat.valid & ZIP_STAT_SIZE) != 0 ? stat.size : 0;
        const std::uint64_t packed = (stat.valid & ZIP_STAT_COMP_SIZE) != 0 ? stat.comp_size : 0;
        compressed.push_back(packed);
        total += size;
        const char* name = (stat.valid & ZIP_STAT_NAME) != 0 ? stat.name : "";
        if (total > limits.max_total_bytes || total < size) {
            LogError("zip archive %s expands to more than %llu bytes; nothing is extracted\n",
                     archive.c_str(), static_cast<unsigned long long>(limits.max_total_bytes));
            return false;
        }
        if (size > limits.ratio_floor &&
            size / std::max<std::uint64_t>(packed, 1) >= limits.max_ratio) {
            LogError(
                "zip entry %s of %s expands more than %llu times its packed size; "
                "nothing is extracted\n",
                name, archive.c_str(), static_cast<unsigned long long>(limits.max_ratio));
            return false;
        }
    }
    return true;
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

    std::vector<ZipEntry> entries;
    if (!CollectEntries(folder, "", skipPath, entries)) {
        return false;
    }
    return ZipWriteFile(std::move(entries), archive);
}

bool ZipExtract(const std::string& archive, const std::string& destination,
                const ZipLimits& limits) {
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
    std::vector<std::uint64_t> compressed;
    if (!DeclaredSizesFit(zip.get(), count, archive, limits, compressed)) {
        return false;
    }
    WrittenPaths written;
    if (!written.MakeFolder(target)) {
        LogError("cannot make folder %s\n", target.c_str());
        return false;
    }
    ExtractBudget budget{limits, archive};
    for (zip_int64_t i = 0; i < count; ++i) {
        const std::size_t at = static_cast<std::size_t>(i);
        const std::string& path = paths[at];
        if (path.back() == '/') {
            if (!written.MakeFolder(path.substr(0, path.size() - 1))) {
                LogError("cannot make folder %s\n", path.c_str());
                return false;
            }
            continue;
        }
        // Link entries are written as plain files holding the link text.
        if (!written.MakeFolder(FolderOf(path))) {
            LogError("cannot make folder %s\n", FolderOf(path).c_str());
            return false;
        }
        written.AddFile(path);
        if (!ExtractFile(zip.get(), static_cast<zip_uint64_t>(i), path, compressed[at], budget)) {
            if (!budget.exceeded) {
                LogError("cannot extract %s from zip archive %s: %s\n", path.c_str(),
                         archive.c_str(), zip_strerror(zip.get()));
            }
            return false;
        }
    }
    written.Keep();
    return true;
}

}  // namespace sw
