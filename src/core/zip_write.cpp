// Writing archives from a list of entries (libzip). Every file entry is read
// through a source of our own, so that a file is opened only when its bytes
// are written, never through a link and never blocking on a pipe, and so that
// a write can be stopped between any two reads.
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "core/files.h"
#include "core/log.h"
#include "core/unique_fd.h"
#include "core/zip.h"

namespace sw {

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

// What all entries of one write share.
struct WriteState {
    const ZipWriteControl& control;
    std::uint64_t total = 0;
    std::uint64_t done = 0;
    bool stopped = false;
    // The fault found while reading an entry, logged once by the writer.
    std::string fault;

    bool StopRequested() {
        if (!stopped && control.stop && control.stop()) {
            stopped = true;
        }
        return stopped;
    }
    void Progress(std::uint64_t count) {
        done += count;
        if (control.progress) {
            control.progress(done, total);
        }
    }
};

// The libzip source of one file entry.
class EntrySource {
  public:
    EntrySource(const ZipEntry& entry, WriteState& state) : entry_(entry), state_(state) {
        zip_error_init(&error_);
    }
    ~EntrySource() { zip_error_fini(&error_); }
    EntrySource(const EntrySource&) = delete;
    EntrySource& operator=(const EntrySource&) = delete;

    static zip_int64_t Callback(void* self, void* data, zip_uint64_t length,
                                zip_source_cmd_t command) {
        auto* source = static_cast<EntrySource*>(self);
        if (command == ZIP_SOURCE_FREE) {
            delete source;
            return 0;
        }
        return source->Handle(data, length, command);
    }

  private:
    std::uint64_t Size() const { return entry_.bytes ? entry_.bytes->size() : entry_.size; }

    zip_int64_t Fail(int code, const std::string& fault) {
        if (!fault.empty() && state_.fault.empty()) {
            state_.fault = fault;
        }
        zip_error_set(&error_, code, 0);
        return -1;
    }

    zip_int64_t Open() {
        if (state_.StopRequested()) {
            return Fail(ZIP_ER_CANCELLED, "");
        }
        offset_ = 0;
        if (entry_.bytes) {
            return 0;
        }
        // O_NONBLOCK: a pipe put where a file was listed must not hang the
        // write; it is refused below like any other non-file.
        fd_.Reset(::open(entry_.path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
        struct stat info {};
        if (!fd_.valid() || ::fstat(fd_.get(), &info) != 0) {
            return Fail(ZIP_ER_OPEN, "cannot read " + entry_.path + ": " + std::strerror(errno));
        }
        if (!S_ISREG(info.st_mode)) {
            return Fail(ZIP_ER_OPEN, entry_.path + " is not a regular file");
        }
        if (static_cast<std::uint64_t>(info.st_size) != entry_.size) {
            return Fail(ZIP_ER_CHANGED, entry_.path + " changed while it was archived");
        }
        return 0;
    }

    zip_int64_t Read(void* data, zip_uint64_t length) {
        if (state_.StopRequested()) {
            return Fail(ZIP_ER_CANCELLED, "");
        }
        const std::uint64_t left = Size() - offset_;
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(length, left));
        if (want == 0) {
            return 0;
        }
        std::size_t got = 0;
        if (entry_.bytes) {
            std::memcpy(data, entry_.bytes->data() + offset_, want);
            got = want;
        } else {
            ssize_t count;
            do {
                count = ::read(fd_.get(), data, want);
            } while (count < 0 && errno == EINTR);
            if (count < 0) {
                return Fail(ZIP_ER_READ,
                            "cannot read " + entry_.path + ": " + std::strerror(errno));
            }
            if (count == 0) {
                return Fail(ZIP_ER_CHANGED, entry_.path + " changed while it was archived");
            }
            got = static_cast<std::size_t>(count);
        }
        offset_ += got;
        state_.Progress(got);
        return static_cast<zip_int64_t>(got);
    }

    zip_int64_t Handle(void* data, zip_uint64_t length, zip_source_cmd_t command) {
        switch (command) {
            case ZIP_SOURCE_OPEN:
                return Open();
            case ZIP_SOURCE_READ:
                return Read(data, length);
            case ZIP_SOURCE_CLOSE:
                fd_.Reset();
                return 0;
            case ZIP_SOURCE_STAT: {
                auto* stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &error_);
                if (stat == nullptr) {
                    return -1;
                }
                zip_stat_init(stat);
                stat->size = Size();
                stat->valid |= ZIP_STAT_SIZE;
                return 0;
            }
            case ZIP_SOURCE_ERROR:
                return zip_error_to_data(&error_, data, length);
            case ZIP_SOURCE_SUPPORTS:
                return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ,
                                                      ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                      ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
            default:
                zip_error_set(&error_, ZIP_ER_OPNOTSUPP, 0);
                return -1;
        }
    }

    const ZipEntry& entry_;
    WriteState& state_;
    zip_error_t error_;
    UniqueFd fd_;
    std::uint64_t offset_ = 0;
};

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

bool AddEntry(zip_t* archive, const ZipEntry& entry, WriteState& state) {
    const bool folder = entry.name.back() == '/';
    zip_int64_t index;
    if (folder) {
        index = zip_dir_add(archive, entry.name.c_str(), ZIP_FL_ENC_GUESS);
    } else {
        auto* reader = new EntrySource(entry, state);
        zip_source_t* source = zip_source_function(archive, &EntrySource::Callback, reader);
        if (source == nullptr) {
            delete reader;
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
    const auto at = static_cast<zip_uint64_t>(index);
    return zip_file_set_dostime(archive, at, kDosTime, kDosDate, 0) == 0 &&
           zip_file_set_external_attributes(archive, at, 0, ZIP_OPSYS_UNIX,
                                            (folder ? kFolderMode : kFileMode) << 16) == 0 &&
           (folder || zip_set_file_compression(
                          archive, at,
                          IsCompressedAlready(entry.name) ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0) == 0);
}

// Adds the sorted entries and writes the archive; what is logged names
// target.
bool AddAndClose(ArchivePtr& zip, std::vector<ZipEntry>& entries, const std::string& target,
                 WriteState& state) {
    for (const ZipEntry& entry : entries) {
        if (entry.name.empty()) {
            LogError("cannot add an entry without a name to zip archive %s\n", target.c_str());
            return false;
        }
        if (!AddEntry(zip.get(), entry, state)) {
            LogError("cannot add %s to zip archive %s: %s\n", entry.name.c_str(), target.c_str(),
                     zip_strerror(zip.get()));
            return false;
        }
    }
    if (zip_close(zip.get()) != 0) {
        if (!state.stopped) {
            LogError("cannot write zip archive %s: %s\n", target.c_str(),
                     state.fault.empty() ? zip_strerror(zip.get()) : state.fault.c_str());
        }
        return false;
    }
    zip.release();
    return true;
}

void Prepare(std::vector<ZipEntry>& entries, WriteState& state) {
    std::sort(entries.begin(), entries.end(),
              [](const ZipEntry& a, const ZipEntry& b) { return a.name < b.name; });
    for (const ZipEntry& entry : entries) {
        state.total += entry.bytes ? entry.bytes->size() : entry.size;
    }
}

struct SourceFree {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};

}  // namespace

bool ZipWriteFile(std::vector<ZipEntry> entries, const std::string& archive,
                  const ZipWriteControl& control) {
    WriteState state{control};
    Prepare(entries, state);
    if (state.StopRequested()) {
        return false;
    }
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
    return AddAndClose(zip, entries, archive, state);
}

bool ZipWriteMemory(std::vector<ZipEntry> entries, std::string& bytes,
                    const ZipWriteControl& control) {
    WriteState state{control};
    Prepare(entries, state);
    bytes.clear();
    if (state.StopRequested()) {
        return false;
    }
    if (entries.empty()) {
        bytes.assign(kEmptyArchive, sizeof kEmptyArchive);
        return true;
    }
    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, SourceFree> buffer(
        zip_source_buffer_create(nullptr, 0, 0, &error));
    zip_error_fini(&error);
    if (!buffer) {
        LogError("cannot make a zip archive in memory\n");
        return false;
    }
    // The archive's own reference goes with zip_close or zip_discard; this
    // one keeps the bytes readable afterwards.
    zip_source_keep(buffer.get());
    zip_error_init(&error);
    ArchivePtr zip(zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error));
    zip_error_fini(&error);
    if (!zip) {
        zip_source_free(buffer.get());
        LogError("cannot make a zip archive in memory\n");
        return false;
    }
    if (!AddAndClose(zip, entries, "in memory", state)) {
        return false;
    }
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(buffer.get(), &stat) != 0 || (stat.valid & ZIP_STAT_SIZE) == 0 ||
        zip_source_open(buffer.get()) != 0) {
        LogError("cannot read back a zip archive made in memory\n");
        return false;
    }
    bytes.resize(static_cast<std::size_t>(stat.size));
    const zip_int64_t read = zip_source_read(buffer.get(), bytes.data(), bytes.size());
    zip_source_close(buffer.get());
    if (read != static_cast<zip_int64_t>(bytes.size())) {
        LogError("cannot read back a zip archive made in memory\n");
        bytes.clear();
        return false;
    }
    return true;
}

}  // namespace sw
