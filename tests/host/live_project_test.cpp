// The editor kept up to date with the project's files: 刷新 reads them again,
// and the watch of the project's folders redraws what other programs change,
// once a batch, passing over the editor's own writes.
#include <gtest/gtest.h>
#include <json/reader.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "engine/engine_fixture.h"
#include "engine/screen_drawing.h"
#include "engine/theme_project.h"
#include "gfx/image.h"
#include "gfx/image_decode.h"
#include "harness.h"
#include "host/project_tasks.h"

namespace sw::host::test {
namespace {

namespace fs = std::filesystem;

HostOptions WatchingOptions(std::size_t folderLimit = FolderWatch::kNoLimit) {
    HostOptions options = QuickOptions();
    options.watch_project = true;
    options.watch_folder_limit = folderLimit;
    return options;
}

// The pixel at the middle of the launcher's first preview.
gfx::Pixel PreviewMiddle(const std::string& moduleFolder) {
    gfx::Image image;
    if (!gfx::DecodeImage(moduleFolder + "/preview/xxhdpi/preview1_suit.jpg", &image)) {
        return gfx::Pixel{};
    }
    return image.PixelAt(image.width() / 2, image.height() / 2);
}

bool IsNear(gfx::Pixel p, int r, int g, int b) {
    return std::abs(p.r - r) < 16 && std::abs(p.g - g) < 16 && std::abs(p.b - b) < 16;
}

class LiveProjectTest : public ::testing::Test {
  protected:
    explicit LiveProjectTest(HostOptions options = WatchingOptions())
        : harness_(StandardTables(), options) {
        project_file_ = harness_.folder() / "P/theme.wtpj";
        WriteFile(project_file_, "{\"name\": \"theme\", \"dpi\": \"xxhdpi\", \"density\": 320}");
        module_ = harness_.folder() / "P/theme/launcher";
        sw::test::ModuleFolder(module_).WriteDefault();
        harness_.host().SetTopWindow(harness_.host().main_window());
        main_ = std::make_unique<PageClient>(harness_.port(), "main", harness_.cookie());
        main_->Define("OnProjectFilesChanged", [this](const Json::Value& args) {
            Json::Value change;
            Json::Reader().parse(args[0].asString(), change);
            changes_.push_back(change);
            return std::optional<std::string>("");
        });
        main_->Define("OnProjectWatchLimited", [this](const Json::Value&) {
            ++limited_;
            return std::optional<std::string>("");
        });
        for (const char* name : {"SetResourceList", "SetCategoryList"}) {
            main_->Define(name, [this, name](const Json::Value&) {
                lists_.push_back(name);
                return std::optional<std::string>("");
            });
        }
        EXPECT_TRUE(harness_.WaitForPage("main"));
        EXPECT_TRUE(OpenProjectAtStart(project_file_));
    }

    std::string Image(const std::string& name) const {
        return module_ + "/content/res/drawable-xxhdpi/" + name;
    }

    // Writes a solid PNG at path as another program would: in place, with
    // plain file writes.
    void Paint(const std::string& path, int width, int height, gfx::Pixel color) const {
        const std::string painted = harness_.folder() / "painted.png";
        sw::test::WriteSolidPng(painted, width, height, color, false);
        WriteFile(path, ReadFile(painted));
    }

    // Waits for the watch of the open project, when there is one.
    bool WaitForWatch() {
        return harness_.WaitForLog("folders of " + harness_.folder() / "P/theme\n");
    }

    // Serves the page until count changes came, then a while longer, so that
    // a second notification of the same batch would be seen.
    bool WaitForChanges(std::size_t count) {
        const bool came = main_->ServeUntil([&] { return changes_.size() >= count; }, 5s);
        main_->Serve(400ms);
        return came;
    }

    HostHarness harness_;
    std::string project_file_;
    std::string module_;
    std::unique_ptr<PageClient> main_;
    std::vector<Json::Value> changes_;
    std::vector<std::string> lists_;
    int limited_ = 0;
};

class RefreshWithoutWatchTest : public LiveProjectTest {
  protected:
    RefreshWithoutWatchTest() : LiveProjectTest(QuickOptions()) {}
};

// 刷新 shows what the files hold now, not the pictures drawn before.
TEST_F(RefreshWithoutWatchTest, RefreshDrawsTheFilesAsTheyAreNow) {
    ASSERT_TRUE(IsNear(PreviewMiddle(module_), 255, 255, 255));
    Paint(Image("wallpaper.png"), 108, 192, sw::test::Rgb(255, 0, 0));
    auto answer = main_->Call("RefreshProject");
    ASSERT_TRUE(answer);
    Json::Value done;
    ASSERT_TRUE(Json::Reader().parse((*answer)["value"].asString(), done));
    EXPECT_TRUE(done["done"].asBool());
    EXPECT_TRUE(IsNear(PreviewMiddle(module_), 255, 0, 0));
    EXPECT_EQ(lists_, (std::vector<std::string>{"SetResourceList", "SetCategoryList"}));
}

TEST_F(RefreshWithoutWatchTest, RefreshOfAProjectWhoseFileWentAwaySaysSo) {
    fs::remove(project_file_);
    const std::uint64_t answer = main_->Post("RefreshProject");
    auto open = main_->Next([](const Json::Value& m) { return IsPopup(m, "open"); });
    ASSERT_TRUE(open);
    PageClient alert(harness_.port(), (*open)["window"].asString(), harness_.cookie());
    EXPECT_NE(ShownMessage(alert).find("打开主题包失败。"), std::string::npos);
    alert.Call("CloseWindow");
    auto result = main_->Next([answer](const Json::Value& m) { return IsResult(m, answer); });
    ASSERT_TRUE(result);
    EXPECT_NE((*result)["value"].asString().find("false"), std::string::npos);
}

// An image written from outside is drawn again once it is complete, once.
TEST_F(LiveProjectTest, AnImageRenamedOverAUsedOneIsDrawnOnce) {
    ASSERT_TRUE(WaitForWatch());
    const std::string beside = Image("wallpaper.png.part");
    sw::test::WriteSolidPng(beside, 108, 192, sw::test::Rgb(255, 0, 0), false);
    fs::rename(beside, Image("wallpaper.png"));
    ASSERT_TRUE(WaitForChanges(1));
    ASSERT_EQ(changes_.size(), 1u);
    EXPECT_FALSE(changes_[0]["reloaded"].asBool());
    ASSERT_EQ(changes_[0]["modules"].size(), 1u);
    EXPECT_EQ(changes_[0]["modules"][0].asString(), "桌面");
    ASSERT_EQ(changes_[0]["images"].size(), 1u);
    EXPECT_EQ(changes_[0]["images"][0]["path"].asString(), Image("wallpaper.png"));
    EXPECT_EQ(changes_[0]["images"][0]["state"].asString(), "changed");
    EXPECT_TRUE(IsNear(PreviewMiddle(module_), 255, 0, 0));
    EXPECT_TRUE(lists_.empty());
}

// Only the screens that show the image are drawn again (the wallpaper is on
// both screens, the icon on the second alone), the one the page shows first.
TEST_F(LiveProjectTest, AnOutsideImageRedrawsTheScreensThatUseItOnly) {
    ASSERT_TRUE(WaitForWatch());
    const struct {
        const char* image;
        int size;
        std::vector<int> screens;
    } cases[] = {
        {"app_icon.png", 96, {1}},
        {"wallpaper.png", 108, {0, 1}},
    };
    // The page shows the second screen: it is drawn first, and the page
    // hears of it before the whole change.
    std::vector<std::string> calls;
    main_->Define("ShownScreen", [](const Json::Value&) {
        return std::optional<std::string>(R"({"module": "桌面", "screen": 1})");
    });
    main_->Define("OnShownScreenDrawn", [&](const Json::Value&) {
        calls.push_back(changes_.empty() ? "shown drawn" : "shown drawn after the change");
        return std::optional<std::string>("");
    });
    std::mutex mutex;
    std::vector<int> drawn;
    SetScreenDrawingHook([&](const ThemePackage& screen) {
        std::lock_guard lock(mutex);
        drawn.push_back(screen.index);
    });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.image);
        {
            std::lock_guard lock(mutex);
            drawn.clear();
        }
        changes_.clear();
        calls.clear();
        const std::string beside = Image(std::string(c.image) + ".part");
        sw::test::WriteSolidPng(beside, c.size, c.size, sw::test::Rgb(255, 0, 0), false);
        fs::rename(beside, Image(c.image));
        ASSERT_TRUE(WaitForChanges(1));
        ASSERT_EQ(changes_.size(), 1u);
        EXPECT_EQ(changes_[0]["modules"].size(), 1u);
        EXPECT_EQ(calls, std::vector<std::string>{"shown drawn"});
        std::lock_guard lock(mutex);
        ASSERT_FALSE(drawn.empty());
        EXPECT_EQ(drawn[0], 1);
        std::vector<int> sorted = drawn;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, c.screens);
    }
    SetScreenDrawingHook(nullptr);
}

// A file written in place in slow pieces is read only after its close.
TEST_F(LiveProjectTest, AnImageWrittenInPiecesIsReadOnceComplete) {
    ASSERT_TRUE(WaitForWatch());
    const std::string source = harness_.folder() / "red.png";
    sw::test::WriteSolidPng(source, 108, 192, sw::test::Rgb(255, 0, 0), false);
    const std::string bytes = ReadFile(source);
    {
        std::ofstream out(Image("wallpaper.png"), std::ios::binary | std::ios::trunc);
        const std::size_t third = bytes.size() / 3;
        for (int piece = 0; piece < 3; ++piece) {
            const std::size_t from = piece * third;
            const std::size_t count = piece == 2 ? bytes.size() - from : third;
            out.write(bytes.data() + from, static_cast<std::streamsize>(count));
            out.flush();
            main_->Serve(200ms);
            EXPECT_TRUE(changes_.empty()) << "read before its close, after piece " << piece;
        }
    }
    ASSERT_TRUE(WaitForChanges(1));
    ASSERT_EQ(changes_.size(), 1u);
    EXPECT_EQ(changes_[0]["images"][0]["state"].asString(), "changed");
    EXPECT_TRUE(IsNear(PreviewMiddle(module_), 255, 0, 0));
}

// Removed and undecodable images keep the pictures and are named as such;
// nothing is drawn again and nothing alerts.
TEST_F(LiveProjectTest, MissingAndBrokenImagesKeepThePictures) {
    ASSERT_TRUE(WaitForWatch());
    struct Case {
        const char* what;
        std::function<void(const std::string&)> change;
        const char* state;
    };
    const Case cases[] = {
        {"removed", [](const std::string& path) { fs::remove(path); }, "missing"},
        {"broken", [](const std::string& path) { WriteFile(path, "not an image"); }, "broken"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Paint(Image("app_icon.png"), 96, 96, sw::test::Rgb(0, 0, 255));
        ASSERT_TRUE(main_->ServeUntil([&] { return !changes_.empty(); }, 5s));
        main_->Serve(200ms);
        changes_.clear();
        c.change(Image("app_icon.png"));
        ASSERT_TRUE(WaitForChanges(1));
        ASSERT_EQ(changes_.size(), 1u);
        ASSERT_EQ(changes_[0]["images"].size(), 1u);
        EXPECT_EQ(changes_[0]["images"][0]["state"].asString(), c.state);
        EXPECT_EQ(changes_[0]["modules"].size(), 0u);
        changes_.clear();
    }
    EXPECT_TRUE(IsNear(PreviewMiddle(module_), 255, 255, 255));
}

// Values and layouts reload the project and send the lists again; many files
// at once give one reload.
TEST_F(LiveProjectTest, ValuesAndManyFilesReloadOnce) {
    ASSERT_TRUE(WaitForWatch());
    sw::test::ModuleFolder(module_).WriteColors(
        {{"label_color", "#FF00FF00"}, {"block_color", "#80FF0000"}});
    ASSERT_TRUE(WaitForChanges(1));
    ASSERT_EQ(changes_.size(), 1u);
    EXPECT_TRUE(changes_[0]["reloaded"].asBool());
    EXPECT_EQ(lists_, (std::vector<std::string>{"SetResourceList", "SetCategoryList"}));

    changes_.clear();
    lists_.clear();
    // Fifty files come at once, as a checkout writes them.
    const std::string green = harness_.folder() / "green.png";
    sw::test::WriteSolidPng(green, 108, 192, sw::test::Rgb(0, 255, 0), false);
    const std::string greenBytes = ReadFile(green);
    const std::string colors =
        sw::test::ValuesXml("color", {{"label_color", "#FF0000FF"}, {"block_color", "#80FF0000"}});
    for (int i = 0; i < 48; ++i) {
        WriteFile(Image("extra_" + std::to_string(i) + ".png"), greenBytes);
    }
    WriteFile(Image("wallpaper.png"), greenBytes);
    WriteFile(module_ + "/content/res/values/colors.xml", colors);
    auto reloads = [this] {
        return std::count_if(changes_.begin(), changes_.end(),
                             [](const Json::Value& c) { return c["reloaded"].asBool(); });
    };
    ASSERT_TRUE(main_->ServeUntil([&] { return reloads() > 0; }, 10s));
    main_->Serve(600ms);
    EXPECT_EQ(reloads(), 1);
    // A machine too busy to write them within the watch's quiet spell may
    // split them; the files are still read once, the reload happens once.
    EXPECT_LE(changes_.size(), 2u);
    EXPECT_EQ(lists_.size(), 2u);
    EXPECT_TRUE(IsNear(PreviewMiddle(module_), 0, 255, 0));
}

// The editor's own writes are not handled a second time.
TEST_F(LiveProjectTest, TheEditorsOwnWritesArePassedOver) {
    ASSERT_TRUE(WaitForWatch());
    const std::string chosen = harness_.folder() / "chosen.png";
    sw::test::WriteSolidPng(chosen, 108, 192, sw::test::Rgb(0, 0, 255), false);
    auto answer = main_->Call("SaveThemeImage", Array({"桌面", 0, 0, 0, chosen}));
    ASSERT_TRUE(answer);
    EXPECT_TRUE((*answer)["value"].asBool());
    answer = main_->Call("SaveThemeColor", Array({"桌面", 0, 1, "00FF00"}));
    ASSERT_TRUE(answer);
    main_->Serve(600ms);
    EXPECT_TRUE(changes_.empty());
    EXPECT_TRUE(lists_.empty());
}

// An outside change is a step of the history: undo takes it back, and the
// undo's own write is not taken for another outside change.
TEST_F(LiveProjectTest, AnOutsideChangeIsAStepUndoTakesBack) {
    ASSERT_TRUE(WaitForWatch());
    const std::string wallpaper = Image("wallpaper.png");
    const std::string original = ReadFile(wallpaper);
    Paint(wallpaper, 108, 192, sw::test::Rgb(255, 0, 0));
    ASSERT_TRUE(WaitForChanges(1));
    auto state = main_->Call("GetHistoryState");
    ASSERT_TRUE(state);
    Json::Value labels;
    ASSERT_TRUE(Json::Reader().parse((*state)["value"].asString(), labels));
    EXPECT_EQ(labels["undo"].asString(), "外部修改 wallpaper.png");

    auto undone = main_->Call("Undo");
    ASSERT_TRUE(undone);
    EXPECT_NE((*undone)["value"].asString().find("\"done\" : true"), std::string::npos)
        << (*undone)["value"].asString() << harness_.log();
    EXPECT_EQ(ReadFile(wallpaper), original);
    EXPECT_TRUE(IsNear(PreviewMiddle(module_), 255, 255, 255));
    main_->Serve(600ms);
    EXPECT_EQ(changes_.size(), 1u);

    auto redone = main_->Call("Redo");
    ASSERT_TRUE(redone);
    EXPECT_TRUE(IsNear(PreviewMiddle(module_), 255, 0, 0));
}

// The page hears of the shown screen before the change is a step of the
// history; an undo asked for at once waits for that step and takes it back,
// instead of finding nothing (or an older step) to undo.
TEST_F(LiveProjectTest, AnUndoAtOnceAfterTheShownScreenTakesTheOutsideChangeBack) {
    ASSERT_TRUE(WaitForWatch());
    bool shownDrawn = false;
    main_->Define("ShownScreen", [](const Json::Value&) {
        return std::optional<std::string>(R"({"module": "桌面", "screen": 0})");
    });
    main_->Define("OnShownScreenDrawn", [&](const Json::Value&) {
        shownDrawn = true;
        return std::optional<std::string>("");
    });
    // The second screen takes its time, so the undo comes while it is drawn.
    SetScreenDrawingHook([](const ThemePackage& screen) {
        if (screen.index == 1) {
            std::this_thread::sleep_for(300ms);
        }
    });
    const std::string wallpaper = Image("wallpaper.png");
    const std::string original = ReadFile(wallpaper);
    const std::string beside = Image("wallpaper.png.part");
    sw::test::WriteSolidPng(beside, 108, 192, sw::test::Rgb(255, 0, 0), false);
    fs::rename(beside, wallpaper);
    ASSERT_TRUE(main_->ServeUntil([&] { return shownDrawn; }, 5s));
    EXPECT_TRUE(changes_.empty());
    auto undone = main_->Call("Undo");
    SetScreenDrawingHook(nullptr);
    ASSERT_TRUE(undone);
    EXPECT_NE((*undone)["value"].asString().find("\"done\" : true"), std::string::npos)
        << (*undone)["value"].asString() << harness_.log();
    EXPECT_EQ(ReadFile(wallpaper), original);
}

class LimitedWatchTest : public LiveProjectTest {
  protected:
    LimitedWatchTest() : LiveProjectTest(WatchingOptions(2)) {}
};

TEST_F(LimitedWatchTest, AWatchThatCannotBeSetSaysSoOnce) {
    ASSERT_TRUE(main_->ServeUntil([&] { return limited_ > 0; }, 5s));
    Paint(Image("wallpaper.png"), 108, 192, sw::test::Rgb(255, 0, 0));
    main_->Serve(600ms);
    EXPECT_EQ(limited_, 1);
}

}  // namespace
}  // namespace sw::host::test
