// Calls from the host into its pages: answers, the three failure lines,
// bounded waits, expressions, calls into a page that awaits its own command,
// and a second tab taking a window over.
#include <gtest/gtest.h>

#include <future>

#include "harness.h"
#include "host/escape.h"
#include "host/script_bridge.h"

namespace sw::host::test {
namespace {

// Answers host calls until the future is ready; its value.
template <class T>
T ServeUntil(PageClient& page, std::future<T>& future) {
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (future.wait_for(0s) != std::future_status::ready &&
           std::chrono::steady_clock::now() < deadline) {
        page.Serve(5ms);
    }
    return future.get();
}

struct CallOutcome {
    bool ok = false;
    std::string value;
};

CallOutcome Invoke(Window& window, const std::string& name, std::vector<std::string> args) {
    CallOutcome outcome;
    outcome.ok = CallPageFunction(&window, name, args, &outcome.value);
    return outcome;
}

TEST(BridgeTest, APageFunctionReceivesItsArgumentsAndItsValueComesBack) {
    HostHarness harness;
    PageClient page(harness.port(), "main", harness.cookie());
    ASSERT_TRUE(harness.WaitForPage("main"));
    page.Define("SetResourceList", [](const Json::Value& args) -> std::optional<std::string> {
        return "got " + args[0].asString() + "|" + args[1].asString();
    });
    auto future = std::async(std::launch::async, [&] {
        return Invoke(harness.host().main_window(), "SetResourceList", {"{\"桌面\":{}}", "二"});
    });
    const CallOutcome outcome = ServeUntil(page, future);
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.value, "got {\"桌面\":{}}|二");
}

TEST(BridgeTest, FailuresAreLoggedWithTheirThreeLines) {
    HostHarness harness;
    // No page at all.
    const CallOutcome noPage = Invoke(harness.host().main_window(), "SetCategoryList", {"[]"});
    EXPECT_FALSE(noPage.ok);
    EXPECT_EQ(noPage.value, "");
    EXPECT_NE(harness.log().find("ERROR\tcan not get script.\n"), std::string::npos);

    PageClient page(harness.port(), "main", harness.cookie());
    ASSERT_TRUE(harness.WaitForPage("main"));
    page.Define("Throws",
                [](const Json::Value&) -> std::optional<std::string> { return std::nullopt; });
    auto unknown = std::async(
        std::launch::async, [&] { return Invoke(harness.host().main_window(), "NotDefined", {}); });
    EXPECT_FALSE(ServeUntil(page, unknown).ok);
    EXPECT_NE(harness.log().find("ERROR\tcall js script error\n"), std::string::npos);

    auto threw = std::async(std::launch::async,
                            [&] { return Invoke(harness.host().main_window(), "Throws", {"x"}); });
    EXPECT_FALSE(ServeUntil(page, threw).ok);
    EXPECT_NE(harness.log().find("ERROR\tinvoke js script error\n"), std::string::npos);
}

TEST(BridgeTest, APageThatGoesAwayOrStaysSilentNeverHoldsTheCallerForEver) {
    {
        HostOptions options = QuickOptions();
        options.page_call_timeout = 10s;
        HostHarness harness(StandardTables(), options);
        PageClient page(harness.port(), "main", harness.cookie());
        ASSERT_TRUE(harness.WaitForPage("main"));
        const auto start = std::chrono::steady_clock::now();
        auto call = std::async(std::launch::async, [&] {
            return Invoke(harness.host().main_window(), "SetResourceList", {"[]"});
        });
        // The page sees the call, then its tab goes away without answering.
        ASSERT_TRUE(page.Next([](const Json::Value& m) { return m.isMember("invoke"); }));
        page.Close();
        EXPECT_FALSE(call.get().ok);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "the lost page ends the wait";
    }
    HostOptions silent = QuickOptions();
    silent.page_call_timeout = 200ms;
    HostHarness quiet(StandardTables(), silent);
    PageClient page(quiet.port(), "main", quiet.cookie());
    ASSERT_TRUE(quiet.WaitForPage("main"));
    auto call = std::async(std::launch::async, [&] {
        return Invoke(quiet.host().main_window(), "SetResourceList", {"[]"});
    });
    ASSERT_TRUE(page.Next([](const Json::Value& m) { return m.isMember("invoke"); }));
    EXPECT_FALSE(call.get().ok) << "an unanswered call ends after the bounded wait";
    EXPECT_NE(quiet.log().find("ERROR\tcan not get script.\n"), std::string::npos);
}

TEST(BridgeTest, ExpressionsGetTheirFinalSemicolonAndStayWithinTheirCapacity) {
    HostHarness harness;
    PageClient page(harness.port(), "main", harness.cookie());
    ASSERT_TRUE(harness.WaitForPage("main"));
    auto future = std::async(std::launch::async, [&] {
        Window& main = harness.host().main_window();
        EvalInPage(&main, "OnProjectOpenFailed()");
        EvalInPage(&main, "OnProjectOpened();");
        EvalInPage(&main, "  $('#%s').val('%s')  ", "author", EscapeJsString("it's").c_str());
        EvalExpression(&main, "x" + std::string(4092, ' ') + "y");  // 4095 with ";"
        return EvalExpression(&main, std::string(4095, 'z'));       // 4096 with ";"
    });
    EXPECT_FALSE(ServeUntil(page, future));
    ASSERT_EQ(page.expressions().size(), 4u);
    EXPECT_EQ(page.expressions()[0], "OnProjectOpenFailed();");
    EXPECT_EQ(page.expressions()[1], "OnProjectOpened();");
    EXPECT_EQ(page.expressions()[2], "$('#author').val('it\\'s');");
    EXPECT_EQ(page.expressions()[3].size(), 4095u);
    EXPECT_NE(harness.log().find("page expression of 4096 characters refused"), std::string::npos);
    EXPECT_FALSE(EvalInPage(nullptr, "OnProjectOpened();")) << "a window-less target hears nothing";
}

TEST(BridgeTest, ACommandMayCallItsOwnPageWhileThePageAwaitsIt) {
    CommandTables tables;
    tables.Add(WindowClass::kMain, {{"Fill", Texts(1), ResultKind::kText, [](CommandCall& call) {
                                         EvalInPage(&call.window(), "$('#author').val('%s');",
                                                    EscapeJsString(call.text(0)).c_str());
                                         std::string value;
                                         CallPageFunction(&call.window(), "ReadAuthor", {}, &value);
                                         return CommandResult::Text(value);
                                     }}});
    HostHarness harness(std::move(tables));
    PageClient page(harness.port(), "main", harness.cookie());
    ASSERT_TRUE(harness.WaitForPage("main"));
    page.Define("ReadAuthor",
                [](const Json::Value&) -> std::optional<std::string> { return "O'Brien"; });
    auto result = page.Call("Fill", Array({"O'Brien"}));
    ASSERT_TRUE(result);
    EXPECT_EQ((*result)["value"].asString(), "O'Brien");
    ASSERT_EQ(page.expressions().size(), 1u);
    EXPECT_EQ(page.expressions()[0], "$('#author').val('O\\'Brien');");
}

TEST(BridgeTest, ASecondTabTakesTheWindowOverAndTheFirstIsTold) {
    HostHarness harness;
    PageClient first(harness.port(), "main", harness.cookie());
    ASSERT_TRUE(first.connected());
    PageClient second(harness.port(), "main", harness.cookie());
    ASSERT_TRUE(second.connected());
    auto notice = first.Next([](const Json::Value& m) { return m.isMember("takenOver"); });
    ASSERT_TRUE(notice);
    EXPECT_TRUE((*notice)["takenOver"].asBool());
    EXPECT_TRUE(first.WaitClosed());

    second.Define("Where",
                  [](const Json::Value&) -> std::optional<std::string> { return "second"; });
    auto future = std::async(std::launch::async,
                             [&] { return Invoke(harness.host().main_window(), "Where", {}); });
    EXPECT_EQ(ServeUntil(second, future).value, "second");
}

TEST(BridgeTest, AnUnknownWindowIsToldItIsClosed) {
    HostHarness harness;
    PageClient page(harness.port(), "popup-77", harness.cookie());
    ASSERT_EQ(page.handshake_status(), 101u);
    auto closed = page.Next([](const Json::Value& m) { return m.isMember("closed"); });
    ASSERT_TRUE(closed);
    EXPECT_TRUE(page.WaitClosed());
}

TEST(EscapeTest, ValuesAreEscapedForScriptStringsAndHtml) {
    const struct {
        const char* in;
        const char* js;
        const char* html;
    } cases[] = {
        {"plain 文字", "plain 文字", "plain 文字"},
        {"it's", "it\\'s", "it&#39;s"},
        {"a\"b", "a\\\"b", "a&quot;b"},
        {"c:\\x\\y", "c:\\\\x\\\\y", "c:\\x\\y"},
        {"line\nnext\r\t", "line\\nnext\\r\\t", "line\nnext\r\t"},
        {"</script><b>&", "\\x3C/script\\x3E\\x3Cb\\x3E\\x26", "&lt;/script&gt;&lt;b&gt;&amp;"},
        {"\x01", "\\x01", "\x01"},
        {"\xE2\x80\xA8", "\\u2028", "\xE2\x80\xA8"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EscapeJsString(c.in), c.js) << c.in;
        EXPECT_EQ(EscapeHtml(c.in), c.html) << c.in;
    }
}

}  // namespace
}  // namespace sw::host::test
