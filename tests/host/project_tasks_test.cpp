// The tasks that open projects from the start window and show the main
// window's settings popups.
#include <gtest/gtest.h>

#include <future>

#include "engine/engine_fixture.h"
#include "engine/theme_project.h"
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
    std::string message;
    alert->Define("SetMessage", [&message](const Json::Value& args) -> std::optional<std::string> {
        message = args[0].asString();
        return "";
    });
    alert->Call("OnDocumentReady");
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

}  // namespace
}  // namespace sw::host::test
