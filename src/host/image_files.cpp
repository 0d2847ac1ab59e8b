#include "host/image_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "core/unique_fd.h"

namespace sw::host {

namespace {

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool HasParentComponent(const std::string& path) {
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        if (path.compare(start, end - start, "..") == 0 && end - start == 2) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// The canonical form of an existing path, "" when it cannot be resolved.
std::string Canonical(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        return "";
    }
    std::string result(resolved);
    std::free(resolved);
    return result;
}

bool IsBelow(const std::string& path, const std::string& folder) {
    if (folder.empty()) {
        return false;
    }
    if (folder == "/") {
        return path.size() > 1 && path[0] == '/';
    }
    return path.size() > folder.size() + 1 && path.compare(0, folder.size(), folder) == 0 &&
           path[folder.size()] == '/';
}

}  // namespace

bool IsImageName(const std::string& name) {
    const std::string lower = LowerAscii(name);
    return EndsWith(lower, ".png") || EndsWith(lower, ".jpg") || EndsWith(lower, ".jpeg") ||
           EndsWith(lower, ".gif");
}

void ImageFileAccess::SetRootsProvider(RootsProvider provider) {
    std::lock_guard<std::mutex> lock(mutex_);
    roots_ = std::move(provider);
}

void ImageFileAccess::AllowFile(const std::string& path) {
    if (!IsImageName(path)) {
        return;
    }
    const std::string canonical = Canonical(path);
    if (canonical.empty()) {
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    allowed_.insert(canonical);
}

bool ImageFileAccess::Resolve(const std::string& requested, std::string& canonical,
                              std::string& reason) const {
    canonical.clear();
    if (requested.empty() || requested[0] != '/') {
        reason = "not an absolute path";
        return false;
    }
    if (HasParentComponent(requested)) {
        reason = "the path climbs with \"..\"";
        return false;
    }
    if (!IsImageName(requested)) {
        reason = "not an image file name";
        return false;
    }
    std::string resolved = Canonical(requested);
    struct stat info;
    if (resolved.empty() || stat(resolved.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        reason = "no such file";
        return false;
    }
    if (!IsImageName(resolved)) {
        reason = "the link does not lead to an image file";
        return false;
    }
    RootsProvider roots;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (allowed_.count(resolved) != 0) {
            canonical = std::move(resolved);
            return true;
        }
        roots = roots_;
    }
    if (roots) {
        for (const std::string& root : roots()) {
            if (root.empty()) {
                continue;
            }
            if (IsBelow(resolved, Canonical(root))) {
                canonical = std::move(resolved);
                return true;
            }
        }
    }
    reason = "outside the project and the data folder";
    return false;
}

std::shared_ptr<ServedFile> OpenServedFile(const std::string& canonical, std::string& reason) {
    auto file = std::make_shared<ServedFile>();
    file->fd = UniqueFd(::open(canonical.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat info {};
    if (!file->fd.valid() || ::fstat(file->fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        reason = "it cannot be opened as a file";
        return nullptr;
    }
    char opened[PATH_MAX + 1];
    const std::string link = "/proc/self/fd/" + std::to_string(file->fd.get());
    const ssize_t length = ::readlink(link.c_str(), opened, PATH_MAX);
    if (length <= 0 || std::string(opened, static_cast<std::size_t>(length)) != canonical) {
        reason = "the file changed while it was opened";
        return nullptr;
    }
    file->size = static_cast<std::uint64_t>(info.st_size);
    return file;
}

}  // namespace sw::host
