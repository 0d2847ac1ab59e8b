#include "settings/staged_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <set>

#include "core/files.h"
#include "core/flush_together.h"
#include "core/log.h"
#include "core/own_writes.h"
#include "core/paths.h"
#include "core/unique_fd.h"
#include "core/write_watch.h"

namespace sw::settings {

namespace {

// Writes contents into a new hidden file beside path with the given
// permissions (not yet flushed to disk); its name, or "" on failure (errno
// kept).
std::string WriteHiddenBeside(const std::string& path, const std::string& contents, mode_t mode) {
    std::string name = FolderOf(path) + "/." + FileNameOf(path) + ".XXXXXX";
    UniqueFd fd(::mkostemp(name.data(), O_CLOEXEC));
    if (!fd.valid()) {
        return "";
    }
    std::size_t done = 0;
    bool written = ::fchmod(fd.get(), mode) == 0;
    while (written && done < contents.size()) {
        const ssize_t count = ::write(fd.get(), contents.data() + done, contents.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        written = count > 0;
        done += written ? static_cast<std::size_t>(count) : 0;
    }
    written = ::close(fd.Release()) == 0 && written;
    if (!written) {
        const int failure = errno;
        ::unlink(name.c_str());
        errno = failure;
        return "";
    }
    return name;
}

// A second name for the file at path, hidden beside it, so that the file
// outlives the rename of a new text over path; "" when the file system
// gives no second names (errno kept).
std::string LinkHiddenBeside(const std::string& path) {
    static std::atomic<unsigned> count{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = FolderOf(path) + "/." + FileNameOf(path) + ".old." +
                                 std::to_string(::getpid()) + "." + std::to_string(++count);
        if (::link(path.c_str(), name.c_str()) == 0) {
            return name;
        }
        if (errno != EEXIST) {
            return "";
        }
    }
    return "";
}

}  // namespace

StagedFiles::~StagedFiles() {
    RemoveTemporaries();
}

void StagedFiles::RemoveTemporaries() {
    for (const Staged& file : staged_) {
        if (!file.fresh.empty()) {
            ::unlink(file.fresh.c_str());
        }
        if (!file.backup.empty()) {
            ::unlink(file.backup.c_str());
        }
    }
    staged_.clear();
}

void StagedFiles::DropFrom(std::size_t mark) {
    for (std::size_t i = mark; i < staged_.size(); ++i) {
        ::unlink(staged_[i].fresh.c_str());
        if (!staged_[i].backup.empty()) {
            ::unlink(staged_[i].backup.c_str());
        }
    }
    staged_.resize(std::min(mark, staged_.size()));
}

bool StagedFiles::Stage(const std::string& path, const std::string& text, mode_t newMode) {
    Staged file{path, "", ""};
    struct stat old {};
    const bool exists = ::stat(path.c_str(), &old) == 0;
    const mode_t mode = exists ? (old.st_mode & 07777) : newMode;
    if (exists) {
        // The old file itself is kept under a second name; a copy only where
        // the file system (or the file) refuses one.
        file.backup = LinkHiddenBeside(path);
    }
    if (exists && file.backup.empty()) {
        std::string contents;
        if (!ReadFileText(path, contents)) {
            LogError("cannot read file %s: %s\n", path.c_str(), std::strerror(errno));
            failed_path_ = path;
            return false;
        }
        file.backup = WriteHiddenBeside(path, contents, mode);
    }
    if (!exists || !file.backup.empty()) {
        file.fresh = WriteHiddenBeside(path, text, mode);
    }
    if (file.fresh.empty()) {
        LogError("cannot write file %s: %s\n", path.c_str(), std::strerror(errno));
        if (!file.backup.empty()) {
            ::unlink(file.backup.c_str());
        }
        failed_path_ = path;
        return false;
    }
    staged_.push_back(std::move(file));
    return true;
}

bool StagedFiles::Commit() {
    // Every new text is on disk before the first file is replaced; the
    // flushes are asked for together.
    std::vector<std::string> fresh;
    for (const Staged& file : staged_) {
        fresh.push_back(file.fresh);
    }
    if (const std::optional<FlushFailure> failure = FlushTogether(fresh)) {
        for (const Staged& file : staged_) {
            if (file.fresh == failure->path) {
                failed_path_ = file.path;
            }
        }
        LogError("cannot write file %s: %s\n", failed_path_.c_str(), std::strerror(failure->error));
        RemoveTemporaries();
        return false;
    }
    for (const Staged& file : staged_) {
        NotifyBeforeWrite(file.path);
    }
    std::size_t done = 0;
    for (; done < staged_.size(); ++done) {
        Staged& file = staged_[done];
        if (::rename(file.fresh.c_str(), file.path.c_str()) != 0) {
            LogError("cannot write file %s: %s\n", file.path.c_str(), std::strerror(errno));
            failed_path_ = file.path;
            break;
        }
        // The project's watch passes over what the editor wrote itself.
        NoteOwnWrite(file.path);
        file.fresh.clear();
    }
    if (done < staged_.size()) {
        // Put back, newest first, what was replaced before the failure.
        while (done > 0) {
            Staged& file = staged_[--done];
            const bool restored = file.backup.empty()
                                      ? ::unlink(file.path.c_str()) == 0
                                      : ::rename(file.backup.c_str(), file.path.c_str()) == 0;
            if (restored) {
                NoteOwnWrite(file.path);
                file.backup.clear();
                LogWarn("put %s back as it was\n", file.path.c_str());
            } else {
                LogError("cannot put %s back as it was: %s\n", file.path.c_str(),
                         std::strerror(errno));
            }
        }
        RemoveTemporaries();
        return false;
    }
    // The renames last once their folders are flushed, each folder once.
    std::set<std::string> folders;
    for (const Staged& file : staged_) {
        folders.insert(FolderOf(file.path));
    }
    if (const std::optional<FlushFailure> failure =
            FlushTogether({folders.begin(), folders.end()})) {
        LogWarn("the new files in %s may not outlast a crash: %s\n", failure->path.c_str(),
                std::strerror(failure->error));
    }
    RemoveTemporaries();
    return true;
}

}  // namespace sw::settings
