// Popups: how they are shown in the root page, their commands, how they end,
// and the four alerts byte for byte.
#include <gtest/gtest.h>

#include <future>

#include "core/process.h"
#include "harness.h"
#include "host/alerts.h"
#include "host/app_state.h"
#include "host/project_tasks.h"
#include "ui/resources.h"

namespace sw::host::test {
namespace {

class PopupTest : public ::testing::Test {
  protected:
    PopupTest() : main_(harness_.port(), "main", harness_.cookie()) {
        harness_.host().SetTopWindow(harness_.host().main_window());
    }

    // Opens a popup over the main window on another thread.
    std::future<PopupResult> Open(PopupOptions options) {
        return std::async(std::launch::async, [this, options] {
            return harness_.host().OpenPopup(&harness_.host().main_window(), options);
        });
    }

    // The next popup the main page is asked to show.
    Json::Value NextOpen() {
        auto open = main_.Next([](const Json::Value& m) { return IsPopup(m, "open"); });
        EXPECT_TRUE(open);
        return open ? *open : Json::Value();
    }

    HostHarness harness_;
    PageClient main_;
};

// Closing an alert or another form while a pack runs must not cancel it;
// closing the pack form does, whichever way it is closed.
TEST_F(PopupTest, OnlyThePackFormsCloseStopsPacking) {
    const struct {
        int page_id;
        bool caption;  // closed by the caption's button instead of the page
        bool stops;
    } cases[] = {
        {-1, false, false},       {kCreatePage, false, false}, {190, true, false},
        {kPackPage, false, true}, {kPackPage, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page_id);
        ClearPackStop();
        PopupOptions options;
        options.page_id = c.page_id;
        auto closed = Open(options);
        const std::string id = NextOpen()["window"].asString();
        if (c.caption) {
            Json::Value request;
            request["closePopup"] = id;
            main_.Send(request);
        } else {
            PageClient popup(harness_.port(), id, harness_.cookie());
            ASSERT_TRUE(popup.Call("CloseWindow"));
        }
        EXPECT_EQ(closed.get().result, "cancel");
        EXPECT_EQ(PackStopRequested(), c.stops);
    }
    ClearPackStop();
}

TEST_F(PopupTest, APopupIsShownInTheRootPageAndEndsWithCancelOrOk) {
    PopupOptions options;
    options.title = "属性设置";
    auto cancelled = Open(options);
    const Json::Value open = NextOpen();
    const std::string id = open["window"].asString();
    EXPECT_EQ(id.substr(0, 6), "popup-");
    EXPECT_EQ(open["title"].asString(), "属性设置");
    EXPECT_EQ(open["width"].asInt(), 400);
    EXPECT_EQ(open["height"].asInt(), 220);
    EXPECT_EQ(open["src"].asString(), "/page/108?window=" + id);

    PageClient popup(harness_.port(), id, harness_.cookie());
    ASSERT_TRUE(popup.Call("CloseWindow"));
    EXPECT_EQ(cancelled.get().result, "cancel");
    auto close = main_.Next([](const Json::Value& m) { return IsPopup(m, "close"); });
    ASSERT_TRUE(close);
    EXPECT_EQ((*close)["window"].asString(), id);

    auto accepted = Open(PopupOptions());
    PageClient second(harness_.port(), NextOpen()["window"].asString(), harness_.cookie());
    ASSERT_TRUE(second.Call("OnOk"));
    EXPECT_EQ(accepted.get().result, "ok");

    // The caption's close button, pressed in the root page.
    auto captionClosed = Open(PopupOptions());
    Json::Value request;
    request["closePopup"] = NextOpen()["window"];
    main_.Send(request);
    EXPECT_EQ(captionClosed.get().result, "cancel");
}

TEST_F(PopupTest, GetParameterGivesStyledJsonOrNullAndALineEnd) {
    auto bare = Open(PopupOptions());
    PageClient popup(harness_.port(), NextOpen()["window"].asString(), harness_.cookie());
    auto none = popup.Call("GetParameter");
    ASSERT_TRUE(none);
    EXPECT_EQ((*none)["value"].asString(), "null\n");
    popup.Call("CloseWindow");
    bare.get();

    PopupOptions options;
    options.parameters["name"] = "demo";
    options.parameters["path"] = "/home/designer/work/demo";
    auto with = Open(options);
    PageClient settings(harness_.port(), NextOpen()["window"].asString(), harness_.cookie());
    auto parameters = settings.Call("getparameter");
    ASSERT_TRUE(parameters);
    EXPECT_EQ((*parameters)["value"].asString(),
              "{\n   \"name\" : \"demo\",\n   \"path\" : \"/home/designer/work/demo\"\n}\n");
    settings.Call("CloseWindow");
    with.get();
}

TEST_F(PopupTest, SetWindowSizeResizesTheDialogInTheRootPage) {
    auto future = Open(PopupOptions());
    const std::string id = NextOpen()["window"].asString();
    PageClient popup(harness_.port(), id, harness_.cookie());
    ASSERT_TRUE(popup.Call("SetWindowSize", Array({460, 350})));
    auto size = main_.Next([](const Json::Value& m) { return IsPopup(m, "size"); });
    ASSERT_TRUE(size);
    EXPECT_EQ((*size)["window"].asString(), id);
    EXPECT_EQ((*size)["width"].asInt(), 460);
    EXPECT_EQ((*size)["height"].asInt(), 350);

    // A root page that comes back learns which popups are open, at their size.
    main_.Close();
    PageClient again(harness_.port(), "main", harness_.cookie());
    auto sync = again.Next([](const Json::Value& m) { return IsPopup(m, "sync"); });
    ASSERT_TRUE(sync);
    EXPECT_EQ((*sync)["windows"], Array({id}));
    auto reopened = again.Next([](const Json::Value& m) { return IsPopup(m, "open"); });
    ASSERT_TRUE(reopened);
    EXPECT_EQ((*reopened)["window"].asString(), id);
    EXPECT_EQ((*reopened)["width"].asInt(), 460);
    popup.Call("CloseWindow");
    EXPECT_EQ(future.get().result, "cancel");
}

TEST_F(PopupTest, OnDocumentReadyShowsTheMessageOrThePageFragment) {
    const struct {
        std::string message;
        int page;
        std::optional<std::string> shown;
    } cases[] = {
        {"<b>hello</b>", -1, "<b>hello</b>"},
        {"", 108, ui::LoadHtmlResource(108)},
        {"", -1, std::nullopt},
    };
    for (const auto& c : cases) {
        PopupOptions options;
        options.message = c.message;
        options.page_id = c.page;
        auto future = Open(options);
        PageClient popup(harness_.port(), NextOpen()["window"].asString(), harness_.cookie());
        std::vector<std::string> shown;
        popup.Define("SetMessage", [&shown](const Json::Value& args) -> std::optional<std::string> {
            shown.push_back(args[0].asString());
            return "";
        });
        ASSERT_TRUE(popup.Call("OnDocumentReady"));
        if (c.shown) {
            EXPECT_EQ(shown, std::vector<std::string>{*c.shown});
        } else {
            EXPECT_TRUE(shown.empty());
        }
        popup.Call("CloseWindow");
        future.get();
    }
}

TEST_F(PopupTest, SetCreateInfoKeepsTheTextsAndEmptiesTheRecordOnOverlongOnes) {
    auto future = Open(PopupOptions());
    PageClient popup(harness_.port(), NextOpen()["window"].asString(), harness_.cookie());
    auto accepted = popup.Call("SetCreateInfo",
                               Array({"demo", "主题", "1.0", "desc", "src", "me", "/work", "42"}));
    ASSERT_TRUE(accepted);
    EXPECT_EQ((*accepted)["value"], true);
    CreateInfo info = GetAppState().GetCreateInfo();
    EXPECT_EQ(info.prj_name, "demo");
    EXPECT_EQ(info.theme_name, "主题");
    EXPECT_EQ(info.theme_path, "/work");
    EXPECT_EQ(info.resourceid, "42");
    EXPECT_EQ(CreatedProjectPath(info), "/work/demo/demo.wtpj");

    // The refusal is a warning over the form (answered here) and a false.
    const std::uint64_t id = popup.Post(
        "SetCreateInfo", Array({"other", "", "", std::string(512, 'x'), "", "", "/else", ""}));
    PageClient alert(harness_.port(), NextOpen()["window"].asString(), harness_.cookie());
    ASSERT_TRUE(alert.Call("CloseWindow"));
    auto refused = popup.Next([id](const Json::Value& m) { return IsResult(m, id); });
    ASSERT_TRUE(refused);
    EXPECT_EQ((*refused)["value"], false);
    EXPECT_EQ(GetAppState().GetCreateInfo().prj_name, "") << "the previous record is not kept";
    EXPECT_NE(harness_.log().find("create info refused: description of 512 bytes"),
              std::string::npos);
    ASSERT_TRUE(popup.Call("SetCreateInfo",
                           Array({"other", "", "", std::string(511, 'x'), "", "", "/else", ""})));
    EXPECT_EQ(GetAppState().GetCreateInfo().prj_name, "other");
    popup.Call("CloseWindow");
    future.get();
}

TEST(LonelyPopupTest, APopupWhoseTabNeverComesEndsWithCancel) {
    HostOptions options = QuickOptions();
    options.lost_page_grace = 100ms;
    HostHarness lonely(StandardTables(), options);
    const PopupResult result = lonely.host().OpenPopup(nullptr, PopupOptions());
    EXPECT_EQ(result.result, "cancel");
    EXPECT_NE(lonely.log().find("closed: no page has shown it"), std::string::npos);
}

// The alert's fragment as the popup page receives it through SetMessage.
struct AlertSeen {
    std::string title;
    std::string message;
};

class AlertTest : public PopupTest {
  protected:
    AlertSeen Show(const std::function<void()>& show) {
        auto future = std::async(std::launch::async, show);
        const Json::Value open = NextOpen();
        AlertSeen seen;
        seen.title = open["title"].asString();
        PageClient popup(harness_.port(), open["window"].asString(), harness_.cookie());
        popup.Define("SetMessage", [&seen](const Json::Value& args) -> std::optional<std::string> {
            seen.message = args[0].asString();
            return "";
        });
        popup.Call("OnDocumentReady");
        popup.Call("CloseWindow");
        future.get();
        return seen;
    }
};

TEST_F(AlertTest, TheFourAlertsAreComposedByteForByte) {
    Host& host = harness_.host();
    const AlertSeen warning = Show([&] { ShowWarningAlert(host, "打开主题包失败。"); });
    EXPECT_EQ(warning.title, "警告");
    EXPECT_EQ(warning.message,
              "<table width=100% height=100%><tr><td><img src='res:/PNG/#184' "
              "style='margin-left:20px;' /></td><td align=center valign=middle height=50%>"
              "<div class='alert-msg'>打开主题包失败。<br /><a style='color:#41b5f2; "
              "font-size:14px;text-decoration: underline; cursor:pointer;' "
              "onclick=\"javascript: external.openlog( '/n,/select,', '%s');\">查看错误信息</a>"
              "</div></td></tr><tr><td  COLSPAN=2 align=center valign=middle><span  "
              "class='btn-big' onclick='javascript: external.CloseWindow();'>确定</span>"
              "</td></tr></table>");

    const AlertSeen info = Show([&] { ShowInfoAlert(host, "导入成功"); });
    EXPECT_EQ(info.title, "");
    EXPECT_EQ(info.message,
              "<table width=100% height=100%><tr><td><img src='res:/PNG/#189' "
              "style='margin-left:20px;' /></td><td align=center valign=middle height=50%>"
              "<div class='alert-msg'>导入成功</div></td></tr><tr><td COLSPAN=2 align=center "
              "valign=middle><span class='btn-big' onclick='javascript: "
              "external.CloseWindow();'>确定</span></td></tr></table>");

    const AlertSeen hint = Show([&] { ShowPhoneHintAlert(host, "没有找到手机"); });
    EXPECT_EQ(hint.title, "");
    EXPECT_EQ(hint.message,
              "<table width=100% height=100%><tr><td><img src='res:/PNG/#184' "
              "style='margin-left:20px;' /></td><td align=center valign=middle height=50%>"
              "<div class='alert-msg'>没有找到手机<li> 是否已使用USB线连接手机</li><li> "
              "是否正确开启手机 USB调试模式</li><li> 是否正确勾选 媒体设备（MTP）连接方式</li>"
              "</div></td></tr><tr><td COLSPAN=2 align=center valign=middle><span "
              "class='btn-big' onclick='javascript: external.CloseWindow();'>确定</span>"
              "</td></tr></table>");

    const AlertSeen tip = Show([&] { ShowTipAlert(host, "主题包已成功生成。"); });
    EXPECT_EQ(tip.title, "提示");
    EXPECT_EQ(tip.message,
              "<table width=100% height=75%><tr><td><img src='res:/PNG/#189' "
              "style='margin-left:20px;' /></td><td align=center valign=middle height=50%>"
              "<div class='alert-msg'>主题包已成功生成。</div></td></tr><tr><td COLSPAN=2 "
              "align=center valign=middle><span class='btn-big'  onclick='javascript: "
              "external.CloseWindow();'>确定</span></td></tr></table>");
}

TEST_F(AlertTest, ALERTFromAPageShowsTheWarningOverTheTopWindow) {
    const std::uint64_t id = main_.Post("ALERT", Array({"请选择保存路径"}));
    const Json::Value open = NextOpen();
    EXPECT_EQ(open["title"].asString(), "警告");
    PageClient popup(harness_.port(), open["window"].asString(), harness_.cookie());
    const std::string message = ShownMessage(popup);
    EXPECT_EQ(message, WarningAlertMessage("请选择保存路径"));
    EXPECT_NE(message.find("<div class='alert-msg'>请选择保存路径<br />"), std::string::npos);
    popup.Call("CloseWindow");
    EXPECT_TRUE(main_.Next([id](const Json::Value& m) { return IsResult(m, id); }))
        << "ALERT returns when the alert is closed";
}

}  // namespace
}  // namespace sw::host::test
