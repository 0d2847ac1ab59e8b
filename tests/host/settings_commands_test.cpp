// The settings forms' commands as a popup's page calls them: the field
// setters a load sends, the warning a save answers, and the quiet reload
// after a save, which the editor page and the popup hear of only as
// "pictures changed".
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/engine_fixture.h"
#include "engine/theme_project.h"
#include "harness.h"
#include "host/project_tasks.h"

namespace sw::host::test {
namespace {

class SettingsCommandsTest : public ::testing::Test {
  protected:
    SettingsCommandsTest() {
        project_file_ = harness_.folder() / "P/theme.wtpj";
        WriteFile(project_file_, "{\"name\": \"theme\", \"dpi\": \"xxhdpi\", \"density\": 320}");
        sw::test::ModuleFolder(harness_.folder() / "P/theme/launcher").WriteDefault();
        EXPECT_TRUE(OpenProjectAtStart(project_file_));
        harness_.host().SetTopWindow(harness_.host().main_window());
        main_ = std::make_unique<PageClient>(harness_.port(), "main", harness_.cookie());
    }

    // Opens the attribute popup from the main window and connects its page.
    std::unique_ptr<PageClient> OpenPopup() {
        EXPECT_TRUE(main_->Call("OpenAttribute"));
        auto open = main_->Next([](const Json::Value& m) { return IsPopup(m, "open"); });
        EXPECT_TRUE(open);
        if (!open) {
            return nullptr;
        }
        return std::make_unique<PageClient>(harness_.port(), (*open)["window"].asString(),
                                            harness_.cookie());
    }

    std::string Folder() const { return harness_.folder() / "P"; }

    HostHarness harness_;
    std::string project_file_;
    std::unique_ptr<PageClient> main_;
};

TEST_F(SettingsCommandsTest, ALoadFillsTheFormWithEscapedValues) {
    WriteFile(harness_.folder() / "P/theme/launcher/content/res/values/dimens.xml",
              "<resources><dimen name=\"home_point_width\">6'dp</dimen>"
              "<dimen name=\"home_point_height\">7dp</dimen></resources>");
    auto popup = OpenPopup();
    ASSERT_TRUE(popup);
    auto answer = popup->Call("LoadAttribute", Array({"theme", Folder()}));
    ASSERT_TRUE(answer);
    ASSERT_EQ(popup->expressions().size(), 9u);
    EXPECT_EQ(popup->expressions()[0], "$('#pageWidth').val('6\\'dp');");
    EXPECT_EQ(popup->expressions()[1], "$('#pageHeight').val('7dp');");
    EXPECT_EQ(popup->expressions()[8], "$('#dayColor').val('');");
    popup->Call("CloseWindow");
}

TEST_F(SettingsCommandsTest, ASaveAnswersWhatItCouldNotWrite) {
    WriteFile(harness_.folder() / "P/theme/launcher/content/res/values/dimens.xml",
              "<resources><dimen name=\"home_point_width\">6dp</dimen></resources>");
    auto popup = OpenPopup();
    ASSERT_TRUE(popup);
    struct Case {
        const char* command;
        Json::Value args;
        std::string answer;
    };
    const Case cases[] = {
        // The launcher has dimens.xml only: it is written, the others named.
        {"SaveAttribute",
         Array({"theme", Folder(), "1", "true", "1", "8dp", "8dp", "12sp", "30sp", "", ""}),
         "以下文件不存在，已跳过：<br />launcher/content/res/values/integers.xml"
         "<br />launcher/content/res/values/bools.xml"},
        {"SaveCallscreen", Array({"theme", Folder(), "1,2,3"}),
         "没有保存：表单送出 3 个数值，应为 16 个。<br />请检查是否有数值中含有英文逗号。"},
        {"SaveLockscreen", Array({"<b>", "theme", Folder(), "", "2", "2", "2", "2"}),
         "没有保存：锁屏模板编号“&lt;b&gt;”无效，应为 1 到 6。<br />"
         "请在“锁屏布局”中选择一个模板后再保存。"},
        // The animation works on the template in use, which this project lacks.
        {"saveAnimator", Array({"1", "theme", Folder(), std::string(25, ',')}),
         "没有保存：找不到使用中的锁屏模板编号。<br />请在“锁屏布局”中选择一个模板后再保存。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        auto answer = popup->Call(c.command, c.args);
        ASSERT_TRUE(answer);
        EXPECT_EQ((*answer)["value"].asString(), c.answer);
    }
    EXPECT_NE(
        ReadFile(harness_.folder() / "P/theme/launcher/content/res/values/dimens.xml").find("8dp"),
        std::string::npos);
    popup->Call("CloseWindow");
}

TEST_F(SettingsCommandsTest, TheQuietReloadDrawsTheThumbnailsAgainAndSaysSo) {
    ASSERT_TRUE(main_->Call("DrawThumbNail", Array({"桌面", 108, 192})));
    const std::string thumbnail =
        harness_.folder() / "P/theme/launcher/preview/xxhdpi/thumbnail/preview1.jpg";
    ASSERT_TRUE(std::filesystem::remove(thumbnail));
    auto popup = OpenPopup();
    ASSERT_TRUE(popup);
    ASSERT_TRUE(popup->Call("RefreshLockscreen"));
    auto changed = [](const Json::Value& m) { return m.get("imagesChanged", false).asBool(); };
    EXPECT_TRUE(main_->Next(changed, 20s));
    EXPECT_TRUE(popup->Next(changed, 5s));
    EXPECT_TRUE(std::filesystem::exists(thumbnail));
    EXPECT_EQ(ReadProject()->thumbnail_width(), 108);
    // No overlay, no lists: the editor page keeps its state.
    EXPECT_TRUE(main_->expressions().empty());
    EXPECT_TRUE(main_->invocations().empty());
    popup->Call("CloseWindow");
}

}  // namespace
}  // namespace sw::host::test
