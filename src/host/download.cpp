#include "host/download.h"

#include <curl/curl.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "core/log.h"
#include "core/paths.h"

namespace sw::host {

namespace {

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlHandle {
    CURL* curl = curl_easy_init();
    ~CurlHandle() {
        if (curl != nullptr) {
            curl_easy_cleanup(curl);
        }
    }
};

struct TempFile {
    std::string path;
    FILE* file = nullptr;
    ~TempFile() {
        if (file != nullptr) {
            std::fclose(file);
        }
        if (!path.empty()) {
            ::unlink(path.c_str());
        }
    }
};

bool IsWebAddress(const std::string& url) {
    auto startsWith = [&](const char* prefix) {
        const std::string p(prefix);
        if (url.size() < p.size()) {
            return false;
        }
        for (std::size_t i = 0; i < p.size(); ++i) {
            char c = url[i];
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
            if (c != p[i]) {
                return false;
            }
        }
        return true;
    };
    return startsWith("http://") || startsWith("https://");
}

std::size_t WriteToFile(char* data, std::size_t size, std::size_t count, void* file) {
    return std::fwrite(data, size, count, static_cast<FILE*>(file)) * size;
}

}  // namespace

std::string IconListUrl(const std::string& server) {
    if (server.empty()) {
        return "";
    }
    std::string base = server;
    while (!base.empty() && base.back() == '/') {
        base.pop_back();
    }
    return base + "/ROM/themetools/xml/icons.xml";
}

std::string IconListPath() {
    return ExePath("template/launcher/content/res/xml/icons.xml");
}

bool Download(const std::string& url, const std::string& destination) {
    if (!IsWebAddress(url)) {
        LogWarn("download of %s refused: not a web address\n", url.c_str());
        return true;
    }
    InitCurlOnce();
    TempFile temp;
    temp.path = destination + ".download-XXXXXX";
    const int fd = ::mkstemp(temp.path.data());
    if (fd < 0) {
        LogError("cannot write %s\n", destination.c_str());
        temp.path.clear();
        return false;
    }
    ::fchmod(fd, 0644);
    temp.file = ::fdopen(fd, "wb");
    if (temp.file == nullptr) {
        ::close(fd);
        LogError("cannot write %s\n", destination.c_str());
        return false;
    }

    CurlHandle handle;
    if (handle.curl == nullptr) {
        LogWarn("download of %s skipped: no HTTP client\n", url.c_str());
        return true;
    }
    char error[CURL_ERROR_SIZE] = "";
    curl_easy_setopt(handle.curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle.curl, CURLOPT_USERAGENT, kDownloadAgent);
    curl_easy_setopt(handle.curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle.curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle.curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle.curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(handle.curl, CURLOPT_CONNECTTIMEOUT, 10L);
    curl_easy_setopt(handle.curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle.curl, CURLOPT_LOW_SPEED_TIME, 30L);
    // The start page waits for this download: a server that trickles its
    // answer must not hold it for ever.
    curl_easy_setopt(handle.curl, CURLOPT_TIMEOUT, 60L);
    curl_easy_setopt(handle.curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle.curl, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(handle.curl, CURLOPT_WRITEFUNCTION, &WriteToFile);
    curl_easy_setopt(handle.curl, CURLOPT_WRITEDATA, temp.file);
    const CURLcode code = curl_easy_perform(handle.curl);
    long status = 0;
    curl_easy_getinfo(handle.curl, CURLINFO_RESPONSE_CODE, &status);

    if (code == CURLE_COULDNT_RESOLVE_HOST || code == CURLE_COULDNT_CONNECT ||
        code == CURLE_COULDNT_RESOLVE_PROXY || (code == CURLE_OPERATION_TIMEDOUT && status == 0)) {
        LogWarn("download of %s skipped: %s\n", url.c_str(),
                error[0] != '\0' ? error : curl_easy_strerror(code));
        return true;
    }
    if (code != CURLE_OK) {
        LogWarn("download of %s broke off: %s\n", url.c_str(),
                error[0] != '\0' ? error : curl_easy_strerror(code));
        return false;
    }
    if (status < 200 || status >= 300) {
        LogWarn("download of %s skipped: the server answered %ld\n", url.c_str(), status);
        return true;
    }
    const bool flushed = std::fflush(temp.file) == 0 && ::fsync(::fileno(temp.file)) == 0;
    const bool closed = std::fclose(temp.file) == 0;
    temp.file = nullptr;
    if (!flushed || !closed || std::rename(temp.path.c_str(), destination.c_str()) != 0) {
        LogError("cannot write %s\n", destination.c_str());
        return false;
    }
    temp.path.clear();
    LogInfo("downloaded %s to %s\n", url.c_str(), destination.c_str());
    return true;
}

}  // namespace sw::host
