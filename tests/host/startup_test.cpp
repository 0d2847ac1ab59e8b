// Start-up pieces: the switches and the font check.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/log.h"
#include "harness.h"
#include "host/font_check.h"
#include "host/run_host.h"

namespace sw::host::test {
namespace {

TEST(SwitchesTest, AutomationSwitchesAreAcceptedInAnyCase) {
    const struct {
        std::vector<std::string> switches;
        SwitchAction action;
        const char* unknown = "";
    } cases[] = {
        {{}, SwitchAction::kRun},
        {{"/Embedding"}, SwitchAction::kRun},
        {{"-automation"}, SwitchAction::kRun},
        {{"/Register"}, SwitchAction::kRegister},
        {{"REGSERVER"}, SwitchAction::kRegister},
        {{"/RegisterPerUser"}, SwitchAction::kRegister},
        {{"-unregserver"}, SwitchAction::kUnregister},
        {{"/UnregisterPerUser"}, SwitchAction::kUnregister},
        // Other words are passed over; a later switch still counts.
        {{"/Embedding", "/Bogus"}, SwitchAction::kRun, "/Bogus"},
        {{"stray", "/Register", "other"}, SwitchAction::kRegister, "stray"},
    };
    for (const auto& c : cases) {
        std::string unknown;
        EXPECT_EQ(ParseSwitches(c.switches, unknown), c.action)
            << (c.switches.empty() ? "" : c.switches.back());
        EXPECT_EQ(unknown, c.unknown);
    }
}

TEST(SwitchesTest, RegisteringEndsWithoutAWindow) {
    Scratch folder;
    SetLogFilePath(folder / "runtime.log");
    ServeOptions options;
    options.open_browser = false;
    options.switches = {"/Regserver"};
    EXPECT_EQ(RunHost(options), 0);
    const std::string log = ReadFile(folder / "runtime.log");
    EXPECT_NE(log.find("nothing to register"), std::string::npos);
    EXPECT_EQ(log.find("init theme start dlg"), std::string::npos);
    SetLogFilePath("");
}

class FontCheckTest : public ::testing::Test {
  protected:
    void SetUp() override { SetLogFilePath(folder_ / "runtime.log"); }
    void TearDown() override { SetLogFilePath(""); }
    std::string log() const { return ReadFile(folder_ / "runtime.log"); }

    Scratch folder_;
};

TEST_F(FontCheckTest, AnInstalledFontIsOnlyReported) {
    if (!FontFamilyInstalled("WenQuanYi Micro Hei")) {
        GTEST_SKIP() << "fonts-wqy-microhei is not installed";
    }
    EXPECT_TRUE(CheckFont("WenQuanYi Micro Hei", "WenQuanYi Micro Hei (TrueType)",
                          folder_ / "FZLTHJW.TTF", folder_ / "fonts"));
    EXPECT_NE(log().find("INFO \tfont WenQuanYi Micro Hei (TrueType) installed\n"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "fonts"));
}

TEST_F(FontCheckTest, AMissingFontWithoutItsFileFails) {
    EXPECT_FALSE(CheckFont("No Such Face 7f3a", "No Such Face 7f3a (TrueType)",
                           folder_ / "FZLTHJW.TTF", folder_ / "fonts"));
    const std::string expected =
        "WARN \tprepare installing font No Such Face 7f3a (TrueType) ...\n";
    const std::string text = log();
    const std::size_t warn = text.find(expected);
    const std::size_t copy = text.find("ERROR\t复制字体文件失败！！！！！！\n");
    const std::size_t failed =
        text.find("INFO \tinstall font " + (folder_ / "FZLTHJW.TTF") + " failed\n");
    ASSERT_NE(warn, std::string::npos);
    ASSERT_NE(copy, std::string::npos);
    ASSERT_NE(failed, std::string::npos);
    EXPECT_LT(warn, copy);
    EXPECT_LT(copy, failed);
}

TEST_F(FontCheckTest, AMissingFontIsInstalledFromItsFile) {
    const std::string source = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
    if (!std::filesystem::exists(source)) {
        GTEST_SKIP() << "no font file to install";
    }
    std::filesystem::copy_file(source, folder_ / "FZLTHJW.TTF");
    EXPECT_TRUE(CheckFont("No Such Face 7f3a", "No Such Face 7f3a (TrueType)",
                          folder_ / "FZLTHJW.TTF", folder_ / "fonts"));
    EXPECT_TRUE(std::filesystem::exists(folder_ / "fonts/FZLTHJW.TTF"));
    EXPECT_NE(log().find("INFO \tinstall font " + (folder_ / "FZLTHJW.TTF") + " successfully\n"),
              std::string::npos);
}

}  // namespace
}  // namespace sw::host::test
