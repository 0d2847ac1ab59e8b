// The phone commands of the pages: the start window's push, the pack
// result's push, the phone chooser and the advanced mode's icon names, all
// against the phone simulator.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>

#include "core/files.h"
#include "core/paths.h"
#include "core/scratch_folder.h"
#include "core/zip.h"
#include "device/phone_simulator.h"
#include "device/push_lock.h"
#include "harness.h"
#include "host/alerts.h"
#include "host/json_text.h"

namespace sw::host::test {
namespace {

using Words = std::vector<std::string>;

constexpr const char* kThemes = "sdcard/.QuindoTheme/Download/themesuite";

struct Alert {
    std::string title;
    std::string message;
};

class PhoneTest : public ::testing::Test {
  protected:
    PhoneTest() : phone_(phoneFolder_.path()), start_(harness_.port(), "start", harness_.cookie()) {
        start_.Define("ShowPhoneProgress",
                      [this](const Json::Value& args) -> std::optional<std::string> {
                          steps_.push_back(args[0].asString());
                          return "";
                      });
    }

    // A packed theme whose meta.json is meta.
    std::string MakeArchive(const std::string& meta, const std::string& name = "theme") {
        const std::string source = harness_.folder() / ("src-" + name);
        WriteFile(source + "/meta.json", meta);
        WriteFile(source + "/preview/preview1.jpg", "jpeg");
        WriteFile(source + "/content/lockscreen/res.zip", "lockscreen");
        const std::string archive = harness_.folder() / (name + ".zip");
        EXPECT_TRUE(ZipCompress(source + "/*.*", archive));
        return archive;
    }

    // The next popup root is asked to show, connected as its page.
    std::unique_ptr<PageClient> NextPopup(PageClient& root, Json::Value* open = nullptr) {
        auto message = root.Next([](const Json::Value& m) { return IsPopup(m, "open"); }, 20s);
        EXPECT_TRUE(message);
        if (!message) {
            return nullptr;
        }
        if (open != nullptr) {
            *open = *message;
        }
        return std::make_unique<PageClient>(harness_.port(), (*message)["window"].asString(),
                                            harness_.cookie());
    }

    // The message a popup's page is given when it is ready.
    static std::string MessageOf(PageClient& popup) {
        std::string message;
        popup.Define("SetMessage",
                     [&message](const Json::Value& args) -> std::optional<std::string> {
                         message = args[0].asString();
                         return "";
                     });
        popup.Call("OnDocumentReady");
        return message;
    }

    // The next alert over root, read and closed.
    Alert TakeAlert(PageClient& root) {
        Json::Value open;
        auto alert = NextPopup(root, &open);
        if (!alert) {
            return {"<none>", "<none>"};
        }
        const std::string message = MessageOf(*alert);
        alert->Call("CloseWindow");
        return {open["title"].asString(), message};
    }

    // The start window's push of archive, through its file dialog.
    void PushFromStartWindow(const std::string& archive) {
        ASSERT_TRUE(start_.Call("PushToPhone"));
        Json::Value open;
        auto dialog = NextPopup(start_, &open);
        ASSERT_TRUE(dialog);
        auto parameters = dialog->Call("GetParameter");
        ASSERT_TRUE(parameters);
        Json::Value value;
        ASSERT_TRUE(ParseJson((*parameters)["value"].asString(), value));
        EXPECT_EQ(value["filters"][0]["description"].asString(), "Quindo手机主题包(*.zip)");
        ASSERT_TRUE(dialog->Call("EndDialog", Array({archive})));
    }

    // Waits until the start page was told to show its buttons again.
    void WaitForButtons() {
        EXPECT_TRUE(start_.ServeUntil([this] {
            return !start_.expressions().empty() &&
                   start_.expressions().back() == "ShowStatus('all');";
        }));
    }

    std::string OnPhone(const std::string& path, const std::string& serial = "SIM001") const {
        return phone_.PhoneRoot(serial) + "/" + path;
    }

    Scratch phoneFolder_;
    sw::test::PhoneSimulator phone_;
    HostHarness harness_;
    PageClient start_;
    std::vector<std::string> steps_;
};

TEST_F(PhoneTest, TheStartWindowPushesAChosenArchive) {
    PushFromStartWindow(MakeArchive(R"({"resource_id": 2024})"));
    const Alert alert = TakeAlert(start_);
    EXPECT_EQ(alert.title, "导入手机");
    EXPECT_NE(alert.message.find("主题导入手机成功！<br />手机："), std::string::npos);
    EXPECT_NE(alert.message.find("<br />手机上的文件夹："), std::string::npos);
    WaitForButtons();
    EXPECT_EQ(start_.expressions(),
              (std::vector<std::string>{"ShowStatus('push');", "ShowStatus('all');"}));
    EXPECT_EQ(steps_, (std::vector<std::string>{
                          "正在检查手机 ...", "正在解压主题包 ...", "正在删除手机上的旧主题 ...",
                          "正在导入手机（0.0 MB）...", "正在刷新手机主题 ...", ""}));
    const std::string folder = "//sdcard//.QuindoTheme//Download//themesuite//2024";
    // The push stages in a folder of its own inside themetool/.
    std::vector<Words> calls = phone_.Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(FolderOf(calls[2].at(3)), harness_.home() + "/themetool");
    EXPECT_EQ(calls, (std::vector<Words>{
                         {"devices"},
                         {"-s", "SIM001", "shell", "rm", "-r", folder},
                         {"-s", "SIM001", "push", calls[2].at(3), folder},
                         {"-s", "SIM001", "shell", "am", "force-stop", "com.quindo.themecenter"},
                     }));
    EXPECT_EQ(ReadFile(OnPhone(std::string(kThemes) + "/2024/content/lockscreen/res.zip")),
              "lockscreen");
}

TEST_F(PhoneTest, ACancelledChoiceOnlyBringsTheButtonsBack) {
    ASSERT_TRUE(MakeScratchFolder(harness_.home() + "/themetool"));
    WriteFile(harness_.home() + "/themetool/left.txt", "from an earlier push");
    ASSERT_TRUE(start_.Call("PushToPhone"));
    auto dialog = NextPopup(start_);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(dialog->Call("CloseWindow"));
    WaitForButtons();
    EXPECT_EQ(start_.expressions(), (std::vector<std::string>{"ShowStatus('all');"}));
    EXPECT_TRUE(phone_.Calls().empty());
    EXPECT_FALSE(std::filesystem::exists(harness_.home() + "/themetool/left.txt"));
}

// Why a push did not happen reaches the designer, with the phone hints where
// the phone is the trouble, and the phone is left as it was.
TEST_F(PhoneTest, AFailedPushSaysWhy) {
    struct Case {
        const char* phones;  // nullptr: one ready phone
        const char* fail;    // an operation that fails, or nullptr
        bool badArchive;
        std::string message;
    };
    const Case cases[] = {
        {"", nullptr, false, PhoneHintAlertMessage("主题导入手机失败！<br />未检测到手机")},
        {"SIM001\tunauthorized\n", nullptr, false,
         PhoneHintAlertMessage("主题导入手机失败！<br "
                               "/>手机尚未允许这台电脑调试，请在手机上点击“允许USB调试”后重试。")},
        {nullptr, "push", false,
         PhoneHintAlertMessage(
             "主题导入手机失败！<br />adb命令执行失败：adb: error: simulated failure of push")},
        {nullptr, nullptr, true,
         WarningAlertMessage("主题导入手机失败！<br />主题包中没有可读的meta.json。")},
    };
    const std::string good = MakeArchive(R"({"resource_id": 6})", "good");
    const std::string noMeta = MakeArchive(R"({"resource_id": 6})", "no-meta");
    std::filesystem::remove(harness_.folder() / "src-no-meta/meta.json");
    ASSERT_TRUE(ZipCompress(harness_.folder() / "src-no-meta/*.*", noMeta));
    const std::string kept = OnPhone(std::string(kThemes) + "/6/meta.json");
    for (const Case& c : cases) {
        phone_.Heal();
        phone_.SetPhones(c.phones != nullptr ? c.phones : "SIM001\tdevice\n");
        if (c.fail != nullptr) {
            phone_.FailOn(c.fail);
        }
        if (c.badArchive) {
            phone_.ClearCalls();
            WriteFile(kept, "kept");
        }
        PushFromStartWindow(c.badArchive ? noMeta : good);
        EXPECT_EQ(TakeAlert(start_).message, c.message);
        WaitForButtons();
        if (c.badArchive) {
            EXPECT_EQ(phone_.Calls(), (std::vector<Words>{{"devices"}}));
            EXPECT_EQ(ReadFile(kept), "kept");
        }
    }
}

TEST_F(PhoneTest, WithSeveralPhonesTheDesignerChoosesOne) {
    phone_.SetPhones("A1\tdevice\nB2\tunauthorized\nC3\tdevice\n");
    PushFromStartWindow(MakeArchive(R"({"resource_id": 31})"));
    Json::Value open;
    auto chooser = NextPopup(start_, &open);
    ASSERT_TRUE(chooser);
    EXPECT_EQ(open["title"].asString(), "选择手机");
    const std::string message = MessageOf(*chooser);
    EXPECT_NE(message.find("external.ChoosePhone(2);'>C3</span>"), std::string::npos);
    EXPECT_NE(message.find("B2（未授权：请在手机上允许USB调试）"), std::string::npos);
    EXPECT_EQ(message.find("ChoosePhone(1)"), std::string::npos) << "B2 cannot be chosen";
    ASSERT_TRUE(chooser->Call("ChoosePhone", Array({1})));  // ignored
    ASSERT_TRUE(chooser->Call("ChoosePhone", Array({2})));
    EXPECT_NE(TakeAlert(start_).message.find("主题导入手机成功！<br />手机：C3<br />"),
              std::string::npos);
    WaitForButtons();
    for (const Words& call : phone_.Calls()) {
        if (call != Words{"devices"}) {
            EXPECT_EQ(Words(call.begin(), call.begin() + 2), (Words{"-s", "C3"}));
        }
    }
    EXPECT_TRUE(IsFile(OnPhone(std::string(kThemes) + "/31/meta.json", "C3")));
}

TEST_F(PhoneTest, ASecondPushWaitsForTheFirst) {
    const device::PushLock running = device::PushLock::TryTake();
    ASSERT_TRUE(running.held());
    ASSERT_TRUE(start_.Call("PushToPhone"));
    EXPECT_EQ(TakeAlert(start_).message,
              InfoAlertMessage("正在导入另一个主题，请等它完成后再试。"));
    EXPECT_TRUE(start_.expressions().empty());
    EXPECT_TRUE(phone_.Calls().empty());
}

// sendphone runs on the thread of the alert that offers it and shows its
// steps there.
TEST_F(PhoneTest, ThePackResultPushesItsArchive) {
    auto tip = std::async(std::launch::async,
                          [this] { ShowTipAlert(harness_.host(), "主题包已成功生成。"); });
    auto alert = NextPopup(start_);
    ASSERT_TRUE(alert);
    std::vector<std::string> alertSteps;
    alert->Define("ShowPhoneProgress",
                  [&alertSteps](const Json::Value& args) -> std::optional<std::string> {
                      alertSteps.push_back(args[0].asString());
                      return "";
                  });
    const std::string archive = MakeArchive(R"({"resource_id": 77})");
    const std::uint64_t id = alert->Post("sendphone", Array({"/n,/select,", archive}));
    auto answered = std::async(std::launch::async, [&] {
        return alert->Next([id](const Json::Value& m) { return IsResult(m, id); }, 30s);
    });
    EXPECT_EQ(TakeAlert(start_).message,
              InfoAlertMessage("主题导入手机成功！<br />手机：SIM001<br "
                               "/>手机上的文件夹：/sdcard/.QuindoTheme/Download/themesuite/77"));
    ASSERT_TRUE(answered.get());
    EXPECT_EQ(alertSteps.front(), "正在检查手机 ...");
    EXPECT_EQ(alertSteps.back(), "");
    EXPECT_TRUE(IsFile(OnPhone(std::string(kThemes) + "/77/preview/preview1.jpg")));
    EXPECT_TRUE(steps_.empty()) << "the start page hears nothing of it";
    alert->Call("CloseWindow");
    tip.get();
}

// The advanced mode's form, as a popup over the start window.
class IconNamesTest : public PhoneTest {
  protected:
    IconNamesTest() {
        form_ = std::async(std::launch::async, [this] {
            PopupOptions options;
            options.title = "高级模式";
            options.page_id = 240;
            return harness_.host().OpenPopup(nullptr, options);
        });
        page_ = NextPopup(start_);
        page_->Define("SetIconNames",
                      [this](const Json::Value& args) -> std::optional<std::string> {
                          lists_.push_back(args[0].asString());
                          return "";
                      });
        page_->Define("ShowPhoneProgress",
                      [](const Json::Value&) -> std::optional<std::string> { return ""; });
    }
    ~IconNamesTest() override {
        page_->Call("CloseWindow");
        form_.get();
    }

    // Runs a command of the form that may show alerts over the start
    // window; its result and the alerts shown meanwhile.
    std::pair<Json::Value, std::vector<Alert>> RunWithAlerts(const std::string& name,
                                                             Json::Value args, int alerts) {
        const std::uint64_t id = page_->Post(name, std::move(args));
        auto answered = std::async(std::launch::async, [&] {
            return page_->Next([id](const Json::Value& m) { return IsResult(m, id); }, 30s);
        });
        std::vector<Alert> shown;
        for (int i = 0; i < alerts; ++i) {
            shown.push_back(TakeAlert(start_));
        }
        auto result = answered.get();
        return {result ? (*result)["value"] : Json::Value("<no answer>"), shown};
    }

    std::future<PopupResult> form_;
    std::unique_ptr<PageClient> page_;
    std::vector<std::string> lists_;
};

TEST_F(IconNamesTest, TheListsReachThePageAsData) {
    ASSERT_TRUE(page_->Call("LoadIconname"));
    EXPECT_TRUE(lists_.empty()) << "no list, no call";

    WriteFile(harness_.home() + "/iconNames.xml",
              "<ICONS>"
              "<icon icon_name=\"com_tencent_mm.png\" type=\"Application\" title=\"微信\"/>"
              "<icon icon_name=\"clock.png\" type=\"Widget\" title=\"Clock\"/>"
              "<icon icon_name=\"cafe.png\" type=\"Application\" title=\"Rosie's Café, Inc.\"/>"
              "<icon icon_name=\"quote.png\" type=\"Application\" title=\"');alert(1);('\"/>"
              "</ICONS>");
    ASSERT_TRUE(page_->Call("loadiconname"));
    ASSERT_EQ(lists_.size(), 1u);
    Json::Value lists;
    ASSERT_TRUE(ParseJson(lists_[0], lists));
    EXPECT_EQ(lists["icons"], Array({"com_tencent_mm.png", "cafe.png", "quote.png"}));
    EXPECT_EQ(lists["titles"], Array({"微信", "Rosie's Café, Inc.", "');alert(1);('"}));
    EXPECT_TRUE(page_->expressions().empty()) << "nothing is run as script";

    // A phone with many apps fits as well.
    std::string many = "<ICONS>";
    for (int i = 0; i < 2000; ++i) {
        many += "<icon icon_name=\"app_" + std::to_string(i) +
                ".png\" type=\"Application\" title=\"应用程序 " + std::to_string(i) + "\"/>";
    }
    WriteFile(harness_.home() + "/iconNames.xml", many + "</ICONS>");
    ASSERT_TRUE(page_->Call("LoadIconname"));
    ASSERT_EQ(lists_.size(), 2u);
    ASSERT_TRUE(ParseJson(lists_[1], lists));
    EXPECT_EQ(lists["titles"].size(), 2000u);
    EXPECT_EQ(lists["titles"][1999].asString(), "应用程序 1999");
}

TEST_F(IconNamesTest, ThePhonesListIsFetchedFirst) {
    auto [nothing, noList] = RunWithAlerts("geticonname", Array({""}), 1);
    EXPECT_EQ(nothing, false);
    EXPECT_EQ(noList[0].message,
              InfoAlertMessage(
                  "导入手机图标失败！<br />手机上还没有图标列表，请先安装并打开图标查看器。"));

    WriteFile(OnPhone("sdcard/iconNames.xml"),
              "<ICONS><icon icon_name=\"a.png\" type=\"Application\" title=\"A\"/></ICONS>");
    auto [pulled, none] = RunWithAlerts("geticonname", Array({""}), 0);
    EXPECT_EQ(pulled, true);
    EXPECT_EQ(phone_.Calls().back(), (Words{"-s", "SIM001", "pull", "sdcard/iconNames.xml",
                                            harness_.home() + "/iconNames.xml"}));
    EXPECT_TRUE(IsFile(harness_.home() + "/iconNames.xml"));

    WriteFile(OnPhone("sdcard/iconNames.xml"), "<ICONS><icon");
    auto [broken, brokenAlert] = RunWithAlerts("geticonname", Array({""}), 1);
    EXPECT_EQ(broken, false);
    EXPECT_EQ(brokenAlert[0].title, "警告");
}

TEST_F(IconNamesTest, TheIconReaderIsInstalledAndStarted) {
    auto [missing, missingAlert] = RunWithAlerts("installphone", Json::Value(), 1);
    EXPECT_EQ(
        missingAlert[0].message,
        WarningAlertMessage("安装失败！<br />图标查看器没有随 Skinwright "
                            "一起安装。请把图标查看器的安装包放到这里，再点“安装图标查看器”：" +
                            harness_.data() + "/ViveDereDodudo.apk"));
    EXPECT_EQ(phone_.Calls(), (std::vector<Words>{{"devices"}}));

    WriteFile(harness_.data() + "/ViveDereDodudo.apk", "apk");
    auto [done, installed] = RunWithAlerts("installphone", Json::Value(), 1);
    EXPECT_EQ(installed[0].message, InfoAlertMessage("安装成功！"));
    EXPECT_EQ(ReadFile(OnPhone("installed/ViveDereDodudo.apk")), "apk");
    EXPECT_EQ(phone_.Calls().back(),
              (Words{"-s", "SIM001", "shell", "monkey", "-p", "com.pellor.vivederedodudo", "-c",
                     "android.intent.category.LAUNCHER", "1"}));

    phone_.FailOn("install");
    auto [failed, failedAlert] = RunWithAlerts("installphone", Json::Value(), 1);
    EXPECT_EQ(failedAlert[0].message,
              PhoneHintAlertMessage(
                  "安装失败！<br />adb命令执行失败：adb: error: simulated failure of install"));
    EXPECT_EQ(phone_.Calls().back()[3], "monkey") << "started whatever the install said";
}

TEST(MainWindowPhoneTest, TheEditorCopiesTheReadersPackage) {
    Scratch folder;
    sw::test::PhoneSimulator phone(folder.path());
    HostHarness harness;
    harness.host().SetTopWindow(harness.host().main_window());
    PageClient main(harness.port(), "main", harness.cookie());
    WriteFile(harness.data() + "/ViveDereDodudo.apk", "apk");
    ASSERT_TRUE(main.Call("installphone"));
    auto open = main.Next([](const Json::Value& m) { return IsPopup(m, "open"); }, 20s);
    ASSERT_TRUE(open);
    PageClient alert(harness.port(), (*open)["window"].asString(), harness.cookie());
    alert.Call("CloseWindow");
    EXPECT_EQ(ReadFile(phone.PhoneRoot() + "/data/app/ViveDereDodudo.apk"), "apk");
    EXPECT_FALSE(IsFile(phone.PhoneRoot() + "/launched"));
}

}  // namespace
}  // namespace sw::host::test
