// Creating a project from the start window, and the description-file
// commands of the create and pack forms.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>

#include "engine/theme_project.h"
#include "harness.h"

namespace sw::host::test {
namespace {

class CreateTest : public ::testing::Test {
  protected:
    CreateTest() {
        // The template that ships with the program.
        std::filesystem::copy(SKINWRIGHT_SOURCE_DIR "/template", harness_.data() + "/template",
                              std::filesystem::copy_options::recursive);
    }

    std::unique_ptr<PageClient> NextPopup(PageClient& root) {
        auto open = root.Next([](const Json::Value& m) { return IsPopup(m, "open"); });
        EXPECT_TRUE(open);
        if (!open) {
            return nullptr;
        }
        return std::make_unique<PageClient>(harness_.port(), (*open)["window"].asString(),
                                            harness_.cookie());
    }

    HostHarness harness_;
};

TEST_F(CreateTest, TheCreateFormMakesOpensAndEndsTheStartWindow) {
    PageClient start(harness_.port(), "start", harness_.cookie());
    ASSERT_TRUE(start.Call("CreateThemeProject"));
    auto form = NextPopup(start);
    ASSERT_TRUE(form);
    const std::string work = harness_.home() + "/work";
    ASSERT_TRUE(
        form->Call("SetCreateInfo", Array({"demo", "演示", "1.0", "", "", "me", work, "0"})));
    ASSERT_TRUE(form->Call("OnOk"));
    EXPECT_TRUE(WaitForEnd(harness_.host().start_window(), 60s));
    EXPECT_EQ(harness_.host().start_window().result(), "ok");
    EXPECT_EQ(ReadProject()->project_path(), work + "/demo/demo.wtpj");
    start.Serve(50ms);
    EXPECT_EQ(start.expressions(),
              (std::vector<std::string>{"ShowStatus('create');", "ShowStatus('create');",
                                        "ShowStatus('open');"}));
}

// A text over the record's capacity is named in a warning; the form stays
// open for the user to shorten it and nothing is created.
TEST_F(CreateTest, AnOverlongTextIsNamedAndTheFormStays) {
    PageClient start(harness_.port(), "start", harness_.cookie());
    ASSERT_TRUE(start.Call("CreateThemeProject"));
    auto form = NextPopup(start);
    ASSERT_TRUE(form);
    std::string description;
    for (int i = 0; i < 171; ++i) {
        description += "长";
    }
    const std::uint64_t id = form->Post(
        "SetCreateInfo",
        Array({"demo", "演示", "1.0", description, "", "me", harness_.home() + "/work", "0"}));
    auto alert = NextPopup(start);
    ASSERT_TRUE(alert);
    const std::string message = ShownMessage(*alert);
    EXPECT_NE(message.find("“描述”太长了：最多511个字节（约170个汉字）"), std::string::npos)
        << message;
    alert->Call("CloseWindow");
    auto answer = form->Next([id](const Json::Value& m) { return IsResult(m, id); });
    ASSERT_TRUE(answer);
    EXPECT_EQ((*answer)["value"], false);
    EXPECT_FALSE(harness_.host().start_window().ended());
    ASSERT_TRUE(form->Call("CloseWindow"));
    EXPECT_FALSE(std::filesystem::exists(harness_.home() + "/work/demo"));
}

TEST_F(CreateTest, ACancelledCreateFormCreatesNothing) {
    PageClient start(harness_.port(), "start", harness_.cookie());
    ASSERT_TRUE(start.Call("CreateThemeProject"));
    auto form = NextPopup(start);
    ASSERT_TRUE(form);
    ASSERT_TRUE(form->Call("CloseWindow"));
    ASSERT_TRUE(start.ServeUntil([&] { return start.expressions().size() >= 3; }));
    EXPECT_EQ(start.expressions().back(), "ShowStatus('all');");
    EXPECT_FALSE(harness_.host().start_window().ended());
    EXPECT_FALSE(std::filesystem::exists(harness_.home() + "/work/demo"));
}

TEST_F(CreateTest, TheFormsAreFilledFromTheDescriptionFilesWithEscapedValues) {
    PageClient start(harness_.port(), "start", harness_.cookie());
    ASSERT_TRUE(harness_.WaitForPage("start"));
    PopupOptions options;
    auto future = std::async(std::launch::async, [&] {
        return harness_.host().OpenPopup(&harness_.host().start_window(), options);
    });
    auto popup = NextPopup(start);
    ASSERT_TRUE(popup);
    ASSERT_TRUE(popup->Call("LoadMetaJsonContent"));
    EXPECT_EQ(
        popup->expressions(),
        (std::vector<std::string>{
            "$('#theme_name').val('晨光');", "$('#version_name').val('1.0');",
            "$('#description').val('以晨光下的原野为灵感的默认主题，含桌面、锁屏与来电界面。');",
            "$('#originate').val('原创');", "$('#author').val('Skinwright');",
            "$('#resourceid').val('0');"}));

    const std::string folder = harness_.folder() / "P";
    WriteFile(folder + "/theme/launcher/meta.json",
              "{\"resource_name\": \"It's <mine>\", \"resource_description\": \"a\\\\b\","
              " \"resource_developer\": \"O'Brien\"}");
    ASSERT_TRUE(popup->Call("LoadMetaJson", Array({"theme", folder})));
    const std::vector<std::string> expected = {
        "$('#theme_name').val('It\\'s \\x3Cmine\\x3E');", "$('#version').val('1');",
        "$('#description').val('a\\\\b');", "$('#developer').val('O\\'Brien');"};
    ASSERT_EQ(popup->expressions().size(), 10u);
    EXPECT_EQ(
        std::vector<std::string>(popup->expressions().begin() + 6, popup->expressions().end()),
        expected);

    // Only meta.json is there: it is written, and the answer says that the
    // other four files were not.
    auto answer = popup->Call("SaveMetaJson", Array({"theme", folder, "2.0", "d", "dev", "名"}));
    ASSERT_TRUE(answer);
    EXPECT_EQ((*answer)["value"], false);
    const std::string saved = ReadFile(folder + "/theme/launcher/meta.json");
    EXPECT_NE(saved.find("\"resource_versionname\" : \"2.0\""), std::string::npos);
    for (const char* name : {"meta2.json", "meta3.json", "meta4.json", "meta5.json"}) {
        WriteFile(folder + "/theme/launcher/" + name, "{}");
    }
    answer = popup->Call("SaveMetaJson", Array({"theme", folder, "2.0", "d", "dev", "名"}));
    ASSERT_TRUE(answer);
    EXPECT_EQ((*answer)["value"], true);
    popup->Call("CloseWindow");
    future.get();
}

}  // namespace
}  // namespace sw::host::test
