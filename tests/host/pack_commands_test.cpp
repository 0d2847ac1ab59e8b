// The pack form's texts: kept whole, or refused whole with an alert.
#include <gtest/gtest.h>

#include <future>

#include "harness.h"
#include "host/app_state.h"

namespace sw::host::test {
namespace {

class PackCommandsTest : public ::testing::Test {
  protected:
    // A popup over the start window, as the pack form is over the main one.
    std::unique_ptr<PageClient> OpenForm(PageClient& start) {
        form_result_ = std::async(std::launch::async, [this] {
            return harness_.host().OpenPopup(&harness_.host().start_window(), PopupOptions());
        });
        auto open = start.Next([](const Json::Value& m) { return IsPopup(m, "open"); });
        EXPECT_TRUE(open);
        return open ? std::make_unique<PageClient>(harness_.port(), (*open)["window"].asString(),
                                                   harness_.cookie())
                    : nullptr;
    }

    HostHarness harness_;
    std::future<PopupResult> form_result_;
};

TEST_F(PackCommandsTest, TooLongATextIsRefusedWithAnAlertNeverCut) {
    PageClient start(harness_.port(), "start", harness_.cookie());
    ASSERT_TRUE(harness_.WaitForPage("start"));
    auto form = OpenForm(start);
    ASSERT_TRUE(form);

    const std::string fits(511, 'a');
    ASSERT_TRUE(form->Call("SetPackPath", Array({fits, "/out", "checked", "", "checked"})));
    PackSettings settings = GetAppState().GetPackSettings();
    EXPECT_EQ(settings.pack_name, fits);
    EXPECT_EQ(settings.pack_path, "/out");
    EXPECT_EQ(settings.lockscreen_flag, "");

    const std::uint64_t call =
        form->Post("SetPackPath", Array({"theme", std::string(512, 'p'), "checked", "", ""}));
    auto alert = start.Next([](const Json::Value& m) { return IsPopup(m, "open"); });
    ASSERT_TRUE(alert);
    EXPECT_EQ((*alert)["title"].asString(), "警告");
    PageClient alertPage(harness_.port(), (*alert)["window"].asString(), harness_.cookie());
    ASSERT_TRUE(alertPage.Call("CloseWindow"));
    ASSERT_TRUE(form->Next([call](const Json::Value& m) { return IsResult(m, call); }));
    // Nothing of the refused form is kept, not even the old texts.
    settings = GetAppState().GetPackSettings();
    EXPECT_EQ(settings.pack_name, "");
    EXPECT_EQ(settings.pack_path, "");
    EXPECT_TRUE(harness_.WaitForLog("PackSettings.pack_path of 512 bytes refused"));

    ASSERT_TRUE(form->Call("CloseWindow"));
    form_result_.wait();
}

}  // namespace
}  // namespace sw::host::test
