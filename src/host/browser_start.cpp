#include "host/browser_start.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"
#include "core/process.h"
#include "core/unique_fd.h"

namespace sw::host {

namespace {

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

std::string BrowserStartFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/' && IsFolder(runtime)) {
        return runtime;
    }
    return HomePath();
}

std::string BrowserStartPage(const std::string& address) {
    // The address is the loopback address, a port and hexadecimal digits:
    // nothing in it needs escaping.
    return "<!DOCTYPE html>\n"
           "<html>\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta http-equiv=\"refresh\" content=\"0;url=" +
           address +
           "\">\n<title>Skinwright</title>\n</head>\n<body>\n"
           "<p>Opening <a href=\"" +
           address +
           "\">Skinwright</a>&hellip;</p>\n"
           "<script>window.location.replace(\"" +
           address + "\");</script>\n</body>\n</html>\n";
}

BrowserStartFile::BrowserStartFile(const std::string& folder, const std::string& address) {
    if (folder.empty()) {
        LogError("no folder for the browser's start page\n");
        return;
    }
    std::string name = folder;
    if (name.back() != '/') {
        name += '/';
    }
    name += "skinwright-XXXXXX.html";
    // mkstemps makes the file with mode 0600 under a name nobody else holds.
    UniqueFd fd(::mkstemps(name.data(), 5));
    if (!fd.valid()) {
        LogError("cannot write the browser's start page in %s: %s\n", folder.c_str(),
                 std::strerror(errno));
        return;
    }
    if (::fchmod(fd.get(), S_IRUSR | S_IWUSR) != 0 ||
        !WriteAll(fd.get(), BrowserStartPage(address))) {
        LogError("cannot write the browser's start page %s: %s\n", name.c_str(),
                 std::strerror(errno));
        ::unlink(name.c_str());
        return;
    }
    path_ = std::move(name);
}

BrowserStartFile::~BrowserStartFile() {
    if (!path_.empty()) {
        ::unlink(path_.c_str());
    }
}

std::unique_ptr<BrowserStartFile> OpenBrowserAt(const std::string& address) {
    auto file = std::make_unique<BrowserStartFile>(BrowserStartFolder(), address);
    if (file->path().empty()) {
        LogWarn("the browser is not opened; open the address printed on the terminal\n");
        return nullptr;
    }
    OpenWithShell(file->path());
    return file;
}

}  // namespace sw::host
