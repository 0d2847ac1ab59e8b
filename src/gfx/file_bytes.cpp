#include "gfx/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace sw::gfx {

namespace {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    int get() const { return fd_; }
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

}  // namespace

int OpenRegularFile(const std::string& path) {
    // O_NONBLOCK: a FIFO without a writer, or a device, is not waited on;
    // it is refused below like anything but a regular file.
    FileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st;
    if (fd.get() < 0 || fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return -1;
    }
    const int flags = fcntl(fd.get(), F_GETFL);
    if (flags < 0 || fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return -1;
    }
    return fd.Release();
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>* bytes) {
    bytes->clear();
    FileDescriptor fd(OpenRegularFile(path));
    if (fd.get() < 0) {
        return false;
    }
    struct stat st;
    if (fstat(fd.get(), &st) != 0 || st.st_size > kMaxImageFileBytes) {
        return false;
    }
    bytes->resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (done < bytes->size()) {
        ssize_t n = read(fd.get(), bytes->data() + done, bytes->size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            // The file shrank while it was read, or the read failed.
            bytes->clear();
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool WriteFileReplacing(const std::string& path, const uint8_t* data, size_t size) {
    std::string temp = path + ".XXXXXX";
    int raw = mkostemp(temp.data(), O_CLOEXEC);
    if (raw < 0) {
        return false;
    }
    bool written = true;
    {
        FileDescriptor fd(raw);
        size_t done = 0;
        while (written && done < size) {
            ssize_t n = write(fd.get(), data + done, size - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                written = false;
            } else {
                done += static_cast<size_t>(n);
            }
        }
        // mkostemp makes the file private; pictures are ordinary files.
        written = written && fchmod(fd.get(), 0644) == 0;
    }
    if (!written || std::rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace sw::gfx
