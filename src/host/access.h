// Who may talk to the host. The run's token (printed in the address the user
// opens) is exchanged on the first request for an HttpOnly, SameSite=Strict
// cookie; every later request and every WebSocket upgrade must carry that
// cookie, name the loopback address in its Host header and, when it carries
// an Origin header (WebSocket upgrades always must), name the host's own
// origin.
#pragma once

#include <string>
#include <string_view>

namespace sw::host {

// 128 random bits from the kernel's generator as 32 lower-case hex digits;
// "" when no random bits could be had.
std::string RandomSecret();

// True when the two texts are equal, in a time that does not depend on where
// they differ.
bool SecretsEqual(std::string_view a, std::string_view b);

class AccessSecrets {
  public:
    // Fresh token and cookie value; valid() is false when randomness failed.
    AccessSecrets();
    AccessSecrets(std::string token, std::string cookie);

    bool valid() const { return !token_.empty() && !cookie_.empty(); }
    const std::string& token() const { return token_; }
    const std::string& cookie() const { return cookie_; }

  private:
    std::string token_;
    std::string cookie_;
};

// The parts of a request that decide access.
struct RequestFacts {
    std::string_view host;    // Host header
    std::string_view origin;  // Origin header, "" when absent
    std::string_view cookie;  // Cookie header, "" when absent
    std::string_view target;  // request target: path and query
    bool websocket = false;   // a WebSocket upgrade
};

enum class AccessVerdict {
    kAllowed,   // serve the request
    kExchange,  // a valid token: set the cookie and redirect to `redirect`
    kForbidden  // 403, with `reason` for the log
};

struct AccessDecision {
    AccessVerdict verdict = AccessVerdict::kForbidden;
    std::string reason;
    std::string redirect;
};

// The name of the session cookie for a port (cookies are shared by all ports
// of one address, so the port is part of the name).
std::string CookieName(unsigned short port);

// The Set-Cookie value that hands the cookie to the browser.
std::string SetCookieValue(const AccessSecrets& secrets, unsigned short port);

AccessDecision CheckAccess(const RequestFacts& facts, const AccessSecrets& secrets,
                           unsigned short port);

// The value of one query parameter of a request target, percent-decoded; ""
// when absent. found (when given) tells whether it was present.
std::string QueryParameter(std::string_view target, std::string_view name, bool* found = nullptr);

// The target without its query.
std::string_view TargetPath(std::string_view target);

// Percent-decoding ("+" stays as it is); false for a broken escape.
bool PercentDecode(std::string_view text, std::string& decoded);

}  // namespace sw::host
