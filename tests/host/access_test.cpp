// Who may reach the host: the token, the session cookie, the Host header and
// the Origin of WebSocket upgrades.
#include <gtest/gtest.h>

#include "harness.h"
#include "host/access.h"

namespace sw::host::test {
namespace {

TEST(AccessSecretsTest, TokensAre128RandomBitsInHexAndNewEachTime) {
    const AccessSecrets a;
    const AccessSecrets b;
    ASSERT_TRUE(a.valid());
    EXPECT_EQ(a.token().size(), 32u);
    EXPECT_EQ(a.token().find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_NE(a.token(), b.token());
    EXPECT_NE(a.token(), a.cookie());
}

TEST(AccessTest, TokenIsExchangedForAStrictHttpOnlyCookieAndLeavesTheAddress) {
    HostHarness harness;
    const std::string address = harness.host().Address();
    const std::string prefix = "http://127.0.0.1:" + std::to_string(harness.port()) + "/?token=";
    ASSERT_EQ(address.substr(0, prefix.size()), prefix);
    const std::string token = address.substr(prefix.size());

    HttpResult exchange = HttpRequest(harness.port(), "/page/108?window=x&token=" + token, {});
    EXPECT_EQ(exchange.status, 302u);
    EXPECT_EQ(exchange.headers["location"], "/page/108?window=x");
    const std::string cookie = exchange.headers["set-cookie"];
    EXPECT_NE(cookie.find("HttpOnly"), std::string::npos);
    EXPECT_NE(cookie.find("SameSite=Strict"), std::string::npos);
    EXPECT_EQ(cookie.find(token), std::string::npos) << "the cookie is not the token";

    const std::string pair = cookie.substr(0, cookie.find(';'));
    EXPECT_EQ(HttpRequest(harness.port(), "/page/108", {{"Cookie", pair}}).status, 200u);
}

struct RefusalCase {
    const char* name;
    const char* target;
    bool withCookie;
    const char* host;    // "" for 127.0.0.1:PORT, "%" for another port
    const char* origin;  // "" for none
    unsigned status;
};

TEST(AccessTest, RequestsWithoutTheCookieOrFromElsewhereAreRefused) {
    HostHarness harness;
    const std::string own = "127.0.0.1:" + std::to_string(harness.port());
    const RefusalCase cases[] = {
        {"no cookie", "/page/108", false, "", "", 403},
        {"no cookie at the root", "/", false, "", "", 403},
        {"no cookie for the log", "/log", false, "", "", 403},
        {"wrong token", "/?token=00000000000000000000000000000000", false, "", "", 403},
        {"foreign host", "/page/108", true, "evil.example", "", 403},
        {"foreign host with the port", "/page/108", true, "evil.example:%", "", 403},
        {"loopback on another port", "/page/108", true, "%", "", 403},
        {"foreign origin", "/page/108", true, "", "http://evil.example", 403},
        {"localhost is the loopback", "/page/108", true, "localhost:%", "", 200},
        {"own origin", "/page/108", true, "", "own", 200},
        {"cookie", "/page/108", true, "", "", 200},
    };
    for (const RefusalCase& c : cases) {
        Headers headers;
        if (c.withCookie) {
            headers.emplace_back("Cookie", harness.cookie());
        }
        std::string host = c.host;
        if (host == "%") {
            host = "127.0.0.1:" + std::to_string(harness.port() + 1);
        } else if (!host.empty() && host.back() == '%') {
            host = host.substr(0, host.size() - 1) + std::to_string(harness.port());
        }
        if (!host.empty()) {
            headers.emplace_back("Host", host);
        }
        std::string origin = c.origin;
        if (origin == "own") {
            origin = "http://" + own;
        }
        if (!origin.empty()) {
            headers.emplace_back("Origin", origin);
        }
        EXPECT_EQ(HttpRequest(harness.port(), c.target, headers).status, c.status) << c.name;
    }
}

TEST(AccessTest, WebSocketUpgradesNeedTheCookieAndTheHostsOwnOrigin) {
    HostHarness harness;
    const std::string own = "http://127.0.0.1:" + std::to_string(harness.port());
    EXPECT_EQ(PageClient(harness.port(), "main", "").handshake_status(), 403u);
    EXPECT_EQ(PageClient(harness.port(), "main", "skinwright_1=abc").handshake_status(), 403u);
    EXPECT_EQ(PageClient(harness.port(), "main", harness.cookie(), "http://evil.example")
                  .handshake_status(),
              403u);
    EXPECT_EQ(PageClient(harness.port(), "main", harness.cookie(), "").handshake_status(), 403u);
    EXPECT_EQ(PageClient(harness.port(), "main", harness.cookie(), own).handshake_status(), 101u);
}

TEST(AccessTest, TheExchangeRedirectsOnlyToAPathOfThisHost) {
    const AccessSecrets secrets("t0ken", "c00kie");
    const unsigned short port = 4242;
    const struct {
        const char* target;
        const char* location;
    } cases[] = {
        {"/page/108?window=x&token=t0ken", "/page/108?window=x"},
        {"/?token=t0ken", "/"},
        // A browser takes "//host" and "/\host" for another site.
        {"//evil.example/x?token=t0ken", "/evil.example/x"},
        {"///evil.example?token=t0ken&a=1", "/evil.example?a=1"},
        {"/\\evil?token=t0ken", "/evil"},
        {"/\\/\\?token=t0ken", "/"},
        // An absolute address in the request line leads home.
        {"http://x/page?token=t0ken", "/"},
        {"?token=t0ken", "/"},
    };
    for (const auto& c : cases) {
        const AccessDecision decision =
            CheckAccess({"127.0.0.1:4242", "", "", c.target, false}, secrets, port);
        EXPECT_EQ(decision.verdict, AccessVerdict::kExchange) << c.target;
        EXPECT_EQ(decision.redirect, c.location) << c.target;
    }
}

TEST(AccessTest, QueryParametersArePercentDecoded) {
    bool found = false;
    EXPECT_EQ(QueryParameter("/file?t=1&path=%2Fa%20b%2Bc.png", "path", &found), "/a b+c.png");
    EXPECT_TRUE(found);
    EXPECT_EQ(QueryParameter("/file?path=%2", "path"), "");
    EXPECT_EQ(QueryParameter("/file?other=1", "path", &found), "");
    EXPECT_FALSE(found);
}

}  // namespace
}  // namespace sw::host::test
