#include "host/routes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdint>

#include "core/log.h"
#include "core/unique_fd.h"
#include "engine/theme_project.h"
#include "host/access.h"
#include "host/image_files.h"
#include "host/page_text.h"
#include "ui/resources.h"

namespace sw::host {

namespace {

// Position just after the '>' of the first tag named name (any case), npos
// when there is none.
std::size_t AfterTag(std::string_view html, std::string_view name) {
    for (std::size_t at = html.find('<'); at != std::string_view::npos;
         at = html.find('<', at + 1)) {
        if (at + 1 + name.size() > html.size()) {
            return std::string_view::npos;
        }
        bool same = true;
        for (std::size_t i = 0; i < name.size(); ++i) {
            if (std::tolower(static_cast<unsigned char>(html[at + 1 + i])) != name[i]) {
                same = false;
                break;
            }
        }
        if (!same) {
            continue;
        }
        const std::size_t next = at + 1 + name.size();
        if (next < html.size() && html[next] != '>' &&
            !std::isspace(static_cast<unsigned char>(html[next])) && html[next] != '/') {
            continue;
        }
        const std::size_t close = html.find('>', next);
        return close == std::string_view::npos ? close : close + 1;
    }
    return std::string_view::npos;
}

// How long a request for a picture the open still draws waits for it.
constexpr auto kDrawingWait = std::chrono::seconds(10);

bool AllDigits(std::string_view text) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

bool IsShellName(std::string_view name) {
    if (name.empty() || name[0] == '.') {
        return false;
    }
    for (char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_') {
            return false;
        }
    }
    return true;
}

HttpReply Bytes(std::string_view contentType, std::string_view bytes) {
    HttpReply reply;
    reply.content_type = std::string(contentType);
    reply.body = std::string(bytes);
    return reply;
}

HttpReply HtmlPage(std::string_view html) {
    return Bytes("text/html; charset=utf-8", InjectBridge(html));
}

HttpReply ServeImage(std::string_view target, const RouteContext& context) {
    bool found = false;
    const std::string requested = QueryParameter(target, "path", &found);
    // A preview or thumbnail the open is still drawing is served once drawn
    // (the first time it may not exist yet).
    if (found && !WaitForOpenPicture(requested, kDrawingWait)) {
        LogWarn("file %s is still being drawn: served as it is\n", requested.c_str());
    }
    std::string canonical;
    std::string reason;
    if (!found || !context.image_files().Resolve(requested, canonical, reason)) {
        LogWarn("refused file %s: %s\n", requested.c_str(), found ? reason.c_str() : "no path");
        return TextReply(403, "This file is not served.");
    }
    std::shared_ptr<ServedFile> file = OpenServedFile(canonical, reason);
    if (!file) {
        LogWarn("refused file %s: %s\n", requested.c_str(), reason.c_str());
        return TextReply(404, "The file cannot be read.");
    }
    std::string name = canonical;
    for (char& c : name) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    HttpReply reply;
    reply.content_type = std::string(ui::MimeTypeFor(name));
    reply.file = std::move(file);
    return reply;
}

// The last limit bytes of the file at path, from the start of a line, with a
// note on what was left out; "" when it cannot be read.
std::string TailOfFile(const std::string& path, std::size_t limit) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return "";
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    const std::uint64_t start = size > limit ? size - limit : 0;
    std::string text(static_cast<std::size_t>(size - start), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = ::pread(fd.get(), text.data() + done, text.size() - done,
                                    static_cast<off_t>(start + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    text.resize(done);
    if (start > 0) {
        const std::size_t lineEnd = text.find('\n');
        text.erase(0, lineEnd == std::string::npos ? 0 : lineEnd + 1);
        text.insert(0, "(the log's first " + std::to_string(size - text.size()) +
                           " bytes are left out; the whole log is " + path + ")\n");
    }
    return text;
}

HttpReply ServeLog() {
    const std::string path = GetLogFilePath();
    const std::string text = path.empty() ? std::string() : TailOfFile(path, kLogViewLimit);
    return Bytes("text/plain; charset=utf-8", ToPageText(text));
}

}  // namespace

std::string InjectBridge(std::string_view html) {
    std::string out(html);
    std::size_t at = AfterTag(html, "head");
    if (at != std::string_view::npos) {
        out.insert(at, kBridgeScript);
        return out;
    }
    const std::string head = "<head>" + std::string(kBridgeScript) + "</head>";
    at = AfterTag(html, "html");
    if (at != std::string_view::npos) {
        out.insert(at, head);
        return out;
    }
    return head + out;
}

HttpReply TextReply(unsigned status, std::string text) {
    HttpReply reply;
    reply.status = status;
    reply.content_type = "text/plain; charset=utf-8";
    reply.body = std::move(text);
    return reply;
}

HttpReply RouteRequest(std::string_view target, const RouteContext& context) {
    const std::string_view path = TargetPath(target);
    if (path == "/") {
        HttpReply reply;
        reply.status = 302;
        reply.headers.emplace_back("Location", context.TopPageAddress());
        return reply;
    }
    if (path.substr(0, 6) == "/page/" && AllDigits(path.substr(6))) {
        const int number = std::stoi(std::string(path.substr(6)));
        if (auto bytes = ui::FindResource("HTML", number)) {
            return HtmlPage(ui::LoadHtmlResource(number));
        }
        return TextReply(404, "No such page.");
    }
    if (path.substr(0, 5) == "/res/") {
        const std::string_view rest = path.substr(5);
        const std::size_t slash = rest.find('/');
        if (slash != std::string_view::npos) {
            const std::string_view type = rest.substr(0, slash);
            const std::string_view number = rest.substr(slash + 1);
            if ((type == "HTML" || type == "PNG" || type == "GIF" || type == "CSS" ||
                 type == "JS") &&
                AllDigits(number)) {
                if (auto bytes = ui::FindResource(type, std::stoi(std::string(number)))) {
                    return Bytes(ui::MimeTypeFor(type), *bytes);
                }
            }
        }
        return TextReply(404, "No such resource.");
    }
    if (path.substr(0, 7) == "/shell/" && IsShellName(path.substr(7))) {
        const std::string_view name = path.substr(7);
        if (auto bytes = ui::FindNamedResource(name)) {
            const std::string_view mime = ui::MimeTypeFor(name);
            if (mime.substr(0, 9) == "text/html") {
                return HtmlPage(*bytes);
            }
            return Bytes(mime, *bytes);
        }
        return TextReply(404, "No such shell file.");
    }
    if (path == "/log") {
        return ServeLog();
    }
    if (path == "/file") {
        return ServeImage(target, context);
    }
    return TextReply(404, "Not found.");
}

}  // namespace sw::host
