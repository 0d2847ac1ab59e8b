// What the host serves at its addresses.
#include <gtest/gtest.h>

#include "core/log.h"
#include "harness.h"
#include "host/routes.h"
#include "ui/resources.h"

namespace sw::host::test {
namespace {

TEST(InjectBridgeTest, TheBridgeBecomesTheFirstChildOfHead) {
    const std::string script(kBridgeScript);
    const struct {
        const char* html;
        std::string expected;
    } cases[] = {
        {"<html><head><title>t</title></head></html>",
         "<html><head>" + script + "<title>t</title></head></html>"},
        {"<!DOCTYPE html><HTML><HEAD lang=\"zh\"><meta charset=\"utf-8\"></HEAD></HTML>",
         "<!DOCTYPE html><HTML><HEAD lang=\"zh\">" + script +
             "<meta charset=\"utf-8\"></HEAD></HTML>"},
        {"<html><header>x</header><head></head></html>",
         "<html><header>x</header><head>" + script + "</head></html>"},
        {"<html><body>no head</body></html>",
         "<html><head>" + script + "</head><body>no head</body></html>"},
        {"<p>fragment</p>", "<head>" + script + "</head><p>fragment</p>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InjectBridge(c.html), c.expected) << c.html;
    }
}

TEST(RoutesTest, PagesResourcesAndShellFilesAreServed) {
    HostHarness harness;
    HttpResult page = harness.Get("/page/108?window=popup-1");
    EXPECT_EQ(page.status, 200u);
    EXPECT_EQ(page.headers["content-type"], "text/html; charset=utf-8");
    EXPECT_EQ(page.body, InjectBridge(ui::LoadHtmlResource(108)));
    EXPECT_NE(page.body.find("<head><script src=\"/shell/bridge.js\"></script>"),
              std::string::npos);

    HttpResult jquery = harness.Get("/res/JS/136");
    EXPECT_EQ(jquery.status, 200u);
    EXPECT_EQ(jquery.headers["content-type"], "text/javascript; charset=utf-8");
    EXPECT_EQ(jquery.body, std::string(*ui::FindResource("JS", 136)));

    HttpResult bridge = harness.Get("/shell/bridge.js");
    EXPECT_EQ(bridge.status, 200u);
    EXPECT_EQ(bridge.body, std::string(*ui::FindNamedResource("bridge.js")));

    HttpResult dialog = harness.Get("/shell/file-dialog.html?window=popup-2");
    EXPECT_EQ(dialog.status, 200u);
    EXPECT_NE(dialog.body.find(std::string(kBridgeScript)), std::string::npos);
    EXPECT_NE(dialog.body.find("id=\"file-path\""), std::string::npos);
}

TEST(RoutesTest, UnknownAddressesAndMethodsAreRefused) {
    HostHarness harness;
    const struct {
        const char* target;
        unsigned status;
    } cases[] = {
        {"/page/99999", 404}, {"/page/abc", 404},      {"/res/EXE/1", 404},
        {"/res/PNG/x", 404},  {"/shell/../log", 404},  {"/shell/.hidden", 404},
        {"/nothing", 404},    {"/res/JS/136/..", 404},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(harness.Get(c.target).status, c.status) << c.target;
    }
    EXPECT_EQ(
        HttpRequest(harness.port(), "/page/108", {{"Cookie", harness.cookie()}}, "POST").status,
        405u);
}

TEST(RoutesTest, TheRootLeadsToTheTopWindowsPage) {
    HostHarness harness;
    HttpResult root = harness.Get("/");
    EXPECT_EQ(root.status, 302u);
    EXPECT_EQ(root.headers["location"], "/page/106?window=start");

    PageClient start(harness.port(), "start", harness.cookie());
    ASSERT_TRUE(start.connected());
    harness.host().SetTopWindow(harness.host().main_window());
    auto navigate = start.Next([](const Json::Value& m) { return m.isMember("navigate"); });
    ASSERT_TRUE(navigate);
    EXPECT_EQ((*navigate)["navigate"].asString(), "/page/104?window=main");
    EXPECT_EQ(harness.Get("/").headers["location"], "/page/104?window=main");
}

TEST(RoutesTest, TheLogIsShownAsText) {
    HostHarness harness;
    LogInfo("a line for the log page: 日志\n");
    HttpResult log = harness.Get("/log");
    EXPECT_EQ(log.status, 200u);
    EXPECT_EQ(log.headers["content-type"], "text/plain; charset=utf-8");
    EXPECT_NE(log.body.find("INFO \ta line for the log page: 日志\n"), std::string::npos);
}

TEST(RoutesTest, ALongLogIsShownByItsEnd) {
    HostHarness harness;
    // Lines of 100 bytes well past the part the page shows.
    const std::string filler(80, 'f');
    for (std::size_t i = 0; i < kLogViewLimit / 100 + 20000; ++i) {
        LogInfo("%s\n", filler.c_str());
    }
    LogInfo("the last line\n");
    const HttpResult log = harness.Get("/log");
    EXPECT_EQ(log.status, 200u);
    EXPECT_LE(log.body.size(), kLogViewLimit + 200);
    EXPECT_EQ(log.body.rfind("(the log's first ", 0), 0u) << log.body.substr(0, 200);
    const std::size_t firstLine = log.body.find('\n') + 1;
    EXPECT_EQ(log.body.substr(firstLine + 19, 7), "\tINFO \t") << "a whole line follows the note";
    EXPECT_EQ(log.body.substr(log.body.size() - 14), "the last line\n");
}

}  // namespace
}  // namespace sw::host::test
