#include "host/access.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "core/text.h"

namespace sw::host {

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') {
            x = static_cast<char>(x - 'A' + 'a');
        }
        if (y >= 'A' && y <= 'Z') {
            y = static_cast<char>(y - 'A' + 'a');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

// True when host is "127.0.0.1:PORT" or "localhost:PORT".
bool IsLoopbackHost(std::string_view host, unsigned short port) {
    const std::string suffix = ":" + std::to_string(port);
    if (host.size() <= suffix.size() || host.substr(host.size() - suffix.size()) != suffix) {
        return false;
    }
    const std::string_view name = host.substr(0, host.size() - suffix.size());
    return name == "127.0.0.1" || EqualsIgnoringCase(name, "localhost");
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// The value of the named cookie in a Cookie header; found tells whether it
// was there.
std::string_view CookieValue(std::string_view header, std::string_view name, bool& found) {
    found = false;
    while (!header.empty()) {
        const std::size_t end = header.find(';');
        std::string_view pair = TrimBlanks(header.substr(0, end));
        header = end == std::string_view::npos ? std::string_view() : header.substr(end + 1);
        const std::size_t equals = pair.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        if (TrimBlanks(pair.substr(0, equals)) == name) {
            found = true;
            return TrimBlanks(pair.substr(equals + 1));
        }
    }
    return {};
}

// A path of this host for a Location header. The browser reads "//x" and
// "/\x" as another host ("x"), so the leading slashes and backslashes
// become one slash; a target that does not begin with a slash (an absolute
// address) leads to the root.
std::string LocalPath(std::string_view path) {
    if (path.empty() || path.front() != '/') {
        return "/";
    }
    const std::size_t rest = path.find_first_not_of("/\\");
    return rest == std::string_view::npos ? "/" : "/" + std::string(path.substr(rest));
}

// The target with the "token" parameter taken out of its query.
std::string TargetWithoutToken(std::string_view target) {
    const std::string_view path = TargetPath(target);
    if (path.size() == target.size()) {
        return LocalPath(target);
    }
    std::string_view query = target.substr(path.size() + 1);
    std::string kept;
    while (!query.empty()) {
        const std::size_t end = query.find('&');
        const std::string_view pair = query.substr(0, end);
        query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);
        const std::string_view key = pair.substr(0, pair.find('='));
        if (key == "token" || pair.empty()) {
            continue;
        }
        kept += kept.empty() ? "" : "&";
        kept += pair;
    }
    std::string result = LocalPath(path);
    if (!kept.empty()) {
        result += "?" + kept;
    }
    return result;
}

}  // namespace

std::string RandomSecret() {
    std::uint8_t bytes[16];
    std::size_t filled = 0;
    while (filled < sizeof bytes) {
        const ssize_t got = getrandom(bytes + filled, sizeof bytes - filled, 0);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return "";
        }
        filled += static_cast<std::size_t>(got);
    }
    std::string hex;
    hex.reserve(32);
    for (std::uint8_t b : bytes) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", b);
        hex += pair;
    }
    return hex;
}

bool SecretsEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    unsigned char difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    }
    return difference == 0;
}

AccessSecrets::AccessSecrets() : token_(RandomSecret()), cookie_(RandomSecret()) {}

AccessSecrets::AccessSecrets(std::string token, std::string cookie)
    : token_(std::move(token)), cookie_(std::move(cookie)) {}

std::string CookieName(unsigned short port) {
    return "skinwright_" + std::to_string(port);
}

std::string SetCookieValue(const AccessSecrets& secrets, unsigned short port) {
    return CookieName(port) + "=" + secrets.cookie() + "; Path=/; HttpOnly; SameSite=Strict";
}

AccessDecision CheckAccess(const RequestFacts& facts, const AccessSecrets& secrets,
                           unsigned short port) {
    AccessDecision decision;
    if (!secrets.valid()) {
        decision.reason = "no secret";
        return decision;
    }
    if (!IsLoopbackHost(facts.host, port)) {
        decision.reason = "Host header is not the loopback address";
        return decision;
    }
    if (facts.websocket && facts.origin.empty()) {
        decision.reason = "WebSocket upgrade without Origin";
        return decision;
    }
    if (!facts.origin.empty() && facts.origin != "http://" + std::string(facts.host)) {
        decision.reason = "Origin is not the host's own";
        return decision;
    }
    bool hasCookie = false;
    const std::string_view cookie = CookieValue(facts.cookie, CookieName(port), hasCookie);
    if (hasCookie && SecretsEqual(cookie, secrets.cookie())) {
        decision.verdict = AccessVerdict::kAllowed;
        return decision;
    }
    bool hasToken = false;
    const std::string token = QueryParameter(facts.target, "token", &hasToken);
    if (!facts.websocket && hasToken && SecretsEqual(token, secrets.token())) {
        decision.verdict = AccessVerdict::kExchange;
        decision.redirect = TargetWithoutToken(facts.target);
        return decision;
    }
    decision.reason = hasToken ? "wrong token" : "no session cookie";
    return decision;
}

std::string_view TargetPath(std::string_view target) {
    return target.substr(0, target.find('?'));
}

bool PercentDecode(std::string_view text, std::string& decoded) {
    decoded.clear();
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return false;
        }
        const int high = HexDigitValue(text[i + 1]);
        const int low = HexDigitValue(text[i + 2]);
        if (high < 0 || low < 0) {
            return false;
        }
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

std::string QueryParameter(std::string_view target, std::string_view name, bool* found) {
    if (found != nullptr) {
        *found = false;
    }
    const std::size_t mark = target.find('?');
    if (mark == std::string_view::npos) {
        return "";
    }
    std::string_view query = target.substr(mark + 1);
    while (!query.empty()) {
        const std::size_t end = query.find('&');
        const std::string_view pair = query.substr(0, end);
        query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);
        const std::size_t equals = pair.find('=');
        if (pair.substr(0, equals) != name) {
            continue;
        }
        std::string value;
        if (equals != std::string_view::npos && !PercentDecode(pair.substr(equals + 1), value)) {
            return "";
        }
        if (found != nullptr) {
            *found = true;
        }
        return value;
    }
    return "";
}

}  // namespace sw::host
