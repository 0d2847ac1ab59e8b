// The tasks that open projects from the start and main windows, reload them
// and show the main window's settings popups.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <latch>
#include <mutex>

#include "engine/engine_fixture.h"
#include "engine/screen_drawing.h"
#include "engine/theme_project.h"
#include "gfx/image_decode.h"
#include "harness.h"
#include "host/json_text.h"
#include "host/project_tasks.h"

namespace sw::host::test {
namespace {

class ProjectTasksTest : public ::testing::Test {
  protected:
    ProjectTasksTest() {
        project_file_ = harness_.folder() / "P/theme.wtpj";
        WriteFile(project_file_, "{\"name\": \"theme\", \"dpi\": \"xxhdpi\", \"density\": 320}");
        sw::test::ModuleFolder(harness_.folder() / "P/theme/launcher").WriteDefault();
    }

    // Connects the page of the popup the root page is asked to show next.
    std::unique_ptr<PageClient> NextPopup(PageClient& root, std::string* title = nullptr) {
        auto open = root.Next([](const Json::Value& m) { return IsPopup(m, "open"); });
        EXPECT_TRUE(open);
        if (!open) {
            return nullptr;
        }
        if (title != nullptr) {
            *title = (*open)["title"].asString();
        }
        return std::make_unique<PageClient>(harness_.port(), (*open)["window"].asString(),
                                            harness_.cookie());
    }

    HostHarness harness_;
    std::string project_file_;
};

TEST_F(ProjectTasksTest, OpeningFromTheStartWindowEndsItWithOk) {
    PageClient start(harness_.port(), "start", harness_.cookie());
    ASSERT_TRUE(start.Call("OpenThemeProject"));
    auto dialog = NextPopup(start);
    ASSERT_TRUE(dialog);
    auto parameters = dialog->Call("GetParameter");
    ASSERT_TRUE(parameters);
    Json::Value value;
    ASSERT_TRUE(ParseJson((*parameters)["value"].asString(), value));
    EXPECT_EQ(value["filters"][0]["description"].asString(), "Quindo手机主题包工程(*.wtpj)");
    ASSERT_TRUE(dialog->Call("EndDialog", Array({project_file_})));
    EXPECT_TRUE(WaitForEnd(harness_.host().start_window(), 10s));
    EXPECT_EQ(harness_.host().start_window().result(), "ok");
    // A late second click finds the start window ended and starts nothing.
    auto late = start.Call("OpenThemeProject");
    ASSERT_TRUE(late);
    EXPECT_TRUE(late->isMember("error"));
    EXPECT_EQ(ReadProject()->project_path(), project_file_);
    EXPECT_TRUE(ReadProject()->loaded());
    start.Serve(50ms);
    EXPECT_EQ(start.expressions(),
              (std::vector<std::string>{"ShowStatus('open');", "ShowStatus('open');"}));

    // The project's images may now be shown by the pages.
    EXPECT_EQ(
        harness_
            .Get("/file?path=" +
                 (harness_.folder() / "P/theme/launcher/content/res/drawable-xxhdpi/wallpaper.png"))
            .status,
        200u);
}

TEST_F(ProjectTasksTest, AFailedOpenWarnsAndReturnsTheStartPageToItsButtons) {
    WriteFile(project_file_, "{\"name\": \"theme\"}");
    PageClient start(harness_.port(), "start", harness_.cookie());
    ASSERT_TRUE(start.Call("OpenThemeProject"));
    auto dialog = NextPopup(start);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(dialog->Call("EndDialog", Array({project_file_})));
    std::string title;
    auto alert = NextPopup(start, &title);
    ASSERT_TRUE(alert);
    EXPECT_EQ(title, "警告");
    const std::string message = ShownMessage(*alert);
    EXPECT_NE(message.find("打开主题包失败。"), std::string::npos);
    alert->Call("CloseWindow");
    ASSERT_TRUE(start.ServeUntil([&] { return start.expressions().size() >= 3; }));
    ASSERT_EQ(start.expressions().size(), 3u);
    EXPECT_EQ(start.expressions()[2], "ShowStatus('all');");
    EXPECT_FALSE(harness_.host().start_window().ended());
}

TEST_F(ProjectTasksTest, ACancelledFileDialogReturnsTheStartPageToItsButtons) {
    PageClient start(harness_.port(), "start", harness_.cookie());
    ASSERT_TRUE(start.Call("OpenThemeProject"));
    auto dialog = NextPopup(start);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(dialog->Call("CloseWindow"));
    ASSERT_TRUE(start.ServeUntil([&] { return start.expressions().size() >= 3; }));
    EXPECT_EQ(start.expressions().back(), "ShowStatus('all');");
    EXPECT_FALSE(harness_.host().start_window().ended());
}

TEST_F(ProjectTasksTest, ASettingsPopupGetsTheProjectsNameAndFolder) {
    ASSERT_TRUE(OpenProjectAtStart(project_file_));
    harness_.host().SetTopWindow(harness_.host().main_window());
    PageClient main(harness_.port(), "main", harness_.cookie());
    ASSERT_TRUE(main.Call("openattribute"));
    std::string title;
    auto popup = NextPopup(main, &title);
    ASSERT_TRUE(popup);
    EXPECT_EQ(title, "属性设置");
    auto parameters = popup->Call("GetParameter");
    ASSERT_TRUE(parameters);
    EXPECT_EQ((*parameters)["value"].asString(), "{\n   \"name\" : \"theme\",\n   \"path\" : \"" +
                                                     (harness_.folder() / "P") + "\"\n}\n");
    popup->Call("CloseWindow");
}

// The main window's own tasks: they frame their work in page notifications
// whose order the editor page relies on.
class MainWindowTasksTest : public ProjectTasksTest {
  protected:
    MainWindowTasksTest() {
        harness_.host().SetTopWindow(harness_.host().main_window());
        main_ = std::make_unique<PageClient>(harness_.port(), "main", harness_.cookie());
        for (const char* name : {"SetResourceList", "SetCategoryList"}) {
            main_->Define(
                name, [this, name](const Json::Value& args) -> std::optional<std::string> {
                    lists_.push_back({name, main_->expressions().size(), args[0].asString()});
                    return "";
                });
        }
    }

    // Picks path in the file dialog the main page is asked to show next.
    void ChooseInFileDialog(const std::string& path) {
        auto dialog = NextPopup(*main_);
        ASSERT_TRUE(dialog);
        ASSERT_TRUE(dialog->Call("EndDialog", Array({path})));
    }

    bool WaitForExpressions(std::size_t count) {
        return main_->ServeUntil([&] { return main_->expressions().size() >= count; });
    }

    // A list the page received and how many notifications came before it.
    struct ListCall {
        std::string name;
        std::size_t after;
        std::string text;
    };

    // What the page hears of a successful open or reload.
    const std::vector<std::string> kOpenedAndLoaded = {"OnProjectOpening();", "OnProjectOpened();",
                                                       "OnProjectLoading();", "OnProjectLoaded();"};

    std::unique_ptr<PageClient> main_;
    std::vector<ListCall> lists_;
};

TEST_F(MainWindowTasksTest, OpeningASecondProjectSendsTheNotificationsAndListsInOrder) {
    ASSERT_TRUE(OpenProjectAtStart(project_file_));
    const std::string second = harness_.folder() / "Q/second.wtpj";
    WriteFile(second, "{\"name\": \"second\", \"dpi\": \"xxhdpi\", \"density\": 320}");
    sw::test::ModuleFolder(harness_.folder() / "Q/second/launcher").WriteDefault();

    ASSERT_TRUE(main_->Call("OpenThemeProject"));
    ChooseInFileDialog(second);
    ASSERT_TRUE(WaitForExpressions(4));
    EXPECT_EQ(main_->expressions(), kOpenedAndLoaded);
    ASSERT_EQ(lists_.size(), 2u);
    EXPECT_EQ(lists_[0].name, "SetResourceList");
    EXPECT_EQ(lists_[1].name, "SetCategoryList");
    EXPECT_EQ(lists_[0].after, 3u);
    EXPECT_EQ(lists_[1].after, 3u);
    EXPECT_NE(lists_[0].text.find("\"\\u684c\\u9762\" : {"), std::string::npos);  // 桌面
    EXPECT_EQ(ReadProject()->project_path(), second);
}

TEST_F(MainWindowTasksTest, ACancelledFileDialogSendsNothing) {
    ASSERT_TRUE(main_->Call("OpenThemeProject"));
    auto dialog = NextPopup(*main_);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(dialog->Call("CloseWindow"));
    main_->Serve(300ms);
    EXPECT_TRUE(main_->expressions().empty());
}

TEST_F(MainWindowTasksTest, TheReadyPageGetsTheListsOfTheOpenProject) {
    ASSERT_TRUE(OpenProjectAtStart(project_file_));
    ASSERT_TRUE(main_->Call("OnDocumentReady"));
    ASSERT_TRUE(WaitForExpressions(2));
    EXPECT_EQ(main_->expressions(),
              (std::vector<std::string>{"OnProjectLoading();", "OnProjectLoaded();"}));
    EXPECT_EQ(lists_.size(), 2u);
}

// A project that did not load gives no lists: the page hears of the failure
// and its loading overlay comes down.
TEST_F(MainWindowTasksTest, AReadyPageWithoutALoadedProjectWarns) {
    EXPECT_FALSE(OpenProject(harness_.folder() / "missing.wtpj"));
    ASSERT_TRUE(main_->Call("OnDocumentReady"));
    std::string title;
    auto alert = NextPopup(*main_, &title);
    ASSERT_TRUE(alert);
    EXPECT_EQ(title, "警告");
    const std::string message = ShownMessage(*alert);
    EXPECT_NE(message.find("打开主题包失败。"), std::string::npos);
    EXPECT_NE(message.find("查看错误信息"), std::string::npos);
    alert->Call("CloseWindow");
    ASSERT_TRUE(WaitForExpressions(2));
    EXPECT_EQ(main_->expressions(),
              (std::vector<std::string>{"OnProjectLoading();", "OnProjectOpenFailed();"}));
    EXPECT_TRUE(lists_.empty());
}

TEST_F(MainWindowTasksTest, ReloadingAProjectWhoseFileWentAwayWarns) {
    ASSERT_TRUE(OpenProjectAtStart(project_file_));
    std::filesystem::remove(project_file_);
    ASSERT_TRUE(main_->Call("RefreshWeather"));
    std::string title;
    auto alert = NextPopup(*main_, &title);
    ASSERT_TRUE(alert);
    EXPECT_EQ(title, "警告");
    alert->Call("CloseWindow");
    ASSERT_TRUE(WaitForExpressions(2));
    EXPECT_EQ(main_->expressions(),
              (std::vector<std::string>{"OnProjectOpening();", "OnProjectOpenFailed();"}));
}

TEST_F(MainWindowTasksTest, ReloadingSendsOnlyTheCategoryListAgain) {
    ASSERT_TRUE(OpenProjectAtStart(project_file_));
    ASSERT_TRUE(main_->Call("RefreshWeather"));
    ASSERT_TRUE(WaitForExpressions(4));
    EXPECT_EQ(main_->expressions(), kOpenedAndLoaded);
    ASSERT_EQ(lists_.size(), 1u);
    EXPECT_EQ(lists_[0].name, "SetCategoryList");
}

TEST_F(MainWindowTasksTest, APopupsReloadRedrawsThePreviewsQuietly) {
    ASSERT_TRUE(OpenProjectAtStart(project_file_));
    const std::string preview =
        harness_.folder() / "P/theme/launcher/preview/xxhdpi/preview1_suit.jpg";
    ASSERT_TRUE(std::filesystem::remove(preview));
    ASSERT_TRUE(main_->Call("OpenAttribute"));
    auto popup = NextPopup(*main_);
    ASSERT_TRUE(popup);
    ASSERT_TRUE(popup->Call("RefreshLockscreen"));
    ASSERT_TRUE(main_->ServeUntil([&] { return std::filesystem::exists(preview); }));
    popup->Call("CloseWindow");
    main_->Serve(200ms);
    EXPECT_TRUE(main_->expressions().empty());
    EXPECT_TRUE(lists_.empty());
}

// The editor's engine commands are reachable with the page's argument kinds.
TEST_F(MainWindowTasksTest, EditorCommandsTakeThePagesArguments) {
    ASSERT_TRUE(OpenProjectAtStart(project_file_));
    struct Case {
        const char* name;
        Json::Value args;
        Json::Value expected;
    };
    const Case cases[] = {
        {"drawthumbnail", Array({"桌面", 216, 384}), true},
        {"DrawThumbNail", Array({"无此页", 216, 384}), false},
        {"GetRectByElementID", Array({"桌面", "0", 0}),
         "[\n   {\n      \"height\" : 1920,\n      \"left\" : 0,\n      \"top\" : 0,\n"
         "      \"width\" : 1080\n   }\n]\n"},
        {"GetElementByXY", Array({"桌面", 9, "", 10, 10}), "[]"},
        {"Redraw", Array({"桌面", 0, 0, 0}), true},
        {"RedrawAll", Json::Value(Json::arrayValue), true},
        {"SaveThemeColor", Array({"桌面", 0, 1, "FF00FF00"}), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto answer = main_->Call(c.name, c.args, 20s);
        ASSERT_TRUE(answer);
        EXPECT_EQ((*answer)["value"], c.expected);
    }
    EXPECT_NE(ReadFile(harness_.folder() / "P/theme/launcher/content/res/values/colors.xml")
                  .find("#FF00FF00"),
              std::string::npos);
}

// The page hears of the screen of an edit as soon as that screen is drawn,
// before the command answers, and the preview it then loads is the new one.
TEST_F(MainWindowTasksTest, TheScreenOfAnEditIsShownBeforeTheAnswer) {
    ASSERT_TRUE(OpenProjectAtStart(project_file_));
    const std::string preview =
        harness_.folder() / "P/theme/launcher/preview/xxhdpi/preview2_suit.jpg";
    const std::string red = harness_.folder() / "red.png";
    sw::test::WriteSolidPng(red, 108, 192, sw::test::Rgb(255, 0, 0), false);
    ASSERT_TRUE(main_->Call("DrawThumbNail", Array({"桌面", 54, 96})));
    struct Told {
        Json::Value args;
        gfx::Pixel middle;
    };
    std::vector<Told> told;
    main_->Define("OnShownScreenDrawn", [&](const Json::Value& args) -> std::optional<std::string> {
        gfx::Image picture;
        gfx::Pixel middle;
        if (gfx::DecodeImage(preview, &picture)) {
            middle = picture.PixelAt(picture.width() / 2, picture.height() / 2);
        }
        told.push_back({args, middle});
        return "";
    });
    const struct {
        const char* command;
        Json::Value args;
    } cases[] = {
        {"SaveThemeImage", Array({"桌面", 1, 0, 0, red})},
        {"Redraw", Array({"桌面", 1, 0, 0})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        told.clear();
        // Gone, so that only the redraw can have written it when the page hears.
        ASSERT_TRUE(std::filesystem::remove(preview));
        auto answer = main_->Call(c.command, c.args, 20s);
        ASSERT_TRUE(answer);
        EXPECT_EQ((*answer)["value"], true);
        ASSERT_EQ(told.size(), 1u);
        EXPECT_EQ(told[0].args, Array({"桌面", "1"}));
        EXPECT_GT(told[0].middle.r, 240);
        EXPECT_LT(told[0].middle.g, 16);
    }
}

// The open answers once the home screen's first screens are drawn; the
// others follow while the editor starts, and whoever reads them waits.
class DrawingAfterTheOpenTest : public MainWindowTasksTest {
  protected:
    DrawingAfterTheOpenTest() {
        lockscreen_ = harness_.folder() / "P/theme/lockscreen";
        sw::test::ModuleFolder lockscreen(lockscreen_);
        lockscreen.WriteDefault();
        lockscreen.WriteTemplate(
            "<category list=\"a\" /><screen><icon left=\"zero\" top=\"zero\" "
            "width=\"screen_w\" height=\"screen_h\" res=\"wallpaper\" /></screen>",
            "name=\"锁屏\"");
        // The lock screen's drawing waits until the test lets it go.
        SetScreenDrawingHook([this](const ThemePackage& screen) {
            if (screen.context->module_path == lockscreen_) {
                held_.wait();
            }
        });
    }
    ~DrawingAfterTheOpenTest() override {
        Release();
        WaitForOpenDrawing();
        SetScreenDrawingHook(nullptr);
    }

    void Release() {
        std::call_once(released_, [this] { held_.count_down(); });
    }

    std::string lockscreen_;
    std::latch held_{1};
    std::once_flag released_;
};

// A preview the open still draws is served once drawn, not before (it does
// not exist yet here).
TEST_F(DrawingAfterTheOpenTest, APreviewStillDrawnIsServedOnceDrawn) {
    ASSERT_TRUE(OpenProjectAtStart(project_file_));
    const std::string preview = lockscreen_ + "/preview/xxhdpi/preview1_suit.jpg";
    ASSERT_FALSE(std::filesystem::exists(preview));
    auto served =
        std::async(std::launch::async, [&] { return harness_.Get("/file?path=" + preview); });
    EXPECT_EQ(served.wait_for(300ms), std::future_status::timeout);
    Release();
    HttpResult reply = served.get();
    EXPECT_EQ(reply.status, 200u);
    EXPECT_EQ(reply.headers["content-type"], "image/jpeg");
    EXPECT_EQ(reply.body, ReadFile(preview));
}

// A picture of a later screen that turns out damaged fails the open after
// its answer: the page hears of it as of a failed open, with no lists.
TEST_F(DrawingAfterTheOpenTest, AFailureOfTheLaterDrawingWarnsAsAFailedOpen) {
    const std::string wallpaper = lockscreen_ + "/content/res/drawable-xxhdpi/wallpaper.png";
    const std::string png = ReadFile(wallpaper);
    WriteFile(wallpaper, png.substr(0, png.size() / 2));
    Release();
    ASSERT_TRUE(OpenProjectAtStart(project_file_));
    ASSERT_TRUE(main_->Call("OnDocumentReady"));
    std::string title;
    auto alert = NextPopup(*main_, &title);
    ASSERT_TRUE(alert);
    EXPECT_EQ(title, "警告");
    EXPECT_NE(ShownMessage(*alert).find("打开主题包失败。"), std::string::npos);
    alert->Call("CloseWindow");
    ASSERT_TRUE(WaitForExpressions(2));
    EXPECT_EQ(main_->expressions(),
              (std::vector<std::string>{"OnProjectLoading();", "OnProjectOpenFailed();"}));
    EXPECT_TRUE(lists_.empty());
    EXPECT_FALSE(ReadProject()->loaded());
}

}  // namespace
}  // namespace sw::host::test
