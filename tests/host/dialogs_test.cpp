// The file, folder and colour dialogs: filters, listings, and ending a
// dialog by typing or choosing.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>

#include "engine/engine_fixture.h"
#include "engine/theme_project.h"
#include "harness.h"
#include "host/json_text.h"
#include "host/system_dialogs.h"

namespace sw::host::test {
namespace {

TEST(FileFilterTest, PairsOfDescriptionAndPatterns) {
    const struct {
        const char* filter;
        std::vector<FileFilter> expected;
    } cases[] = {
        {"", {{"All Files", {"*.*"}}}},
        {"PNG格式图片(*.png)|*.png||", {{"PNG格式图片(*.png)", {"*.png"}}}},
        {"Images|*.png; *.jpg|GIF|*.gif||", {{"Images", {"*.png", "*.jpg"}}, {"GIF", {"*.gif"}}}},
        {"odd|", {{"All Files", {"*.*"}}}},
    };
    for (const auto& c : cases) {
        const std::vector<FileFilter> filters = ParseFileFilter(c.filter);
        ASSERT_EQ(filters.size(), c.expected.size()) << c.filter;
        for (std::size_t i = 0; i < filters.size(); ++i) {
            EXPECT_EQ(filters[i].description, c.expected[i].description) << c.filter;
            EXPECT_EQ(filters[i].patterns, c.expected[i].patterns) << c.filter;
        }
    }
}

TEST(FileFilterTest, PatternsMatchWithoutRegardToCase) {
    const struct {
        const char* name;
        std::vector<std::string> patterns;
        bool matches;
    } cases[] = {
        {"a.png", {"*.png"}, true},          {"A.PNG", {"*.png"}, true},
        {"a.jpg", {"*.png"}, false},         {"b.9.png", {"*.9.png"}, true},
        {"b.png", {"*.9.png"}, false},       {"noext", {"*.*"}, true},
        {"x.zip", {"*.png", "*.zip"}, true}, {"demo.wtpj", {"*.wtpj"}, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchesPatterns(c.name, c.patterns), c.matches) << c.name;
    }
}

TEST(ListFolderTest, FoldersFirstThenMatchingFilesSortedWithoutHiddenOnes) {
    Scratch folder;
    WriteFile(folder / "b.png", "");
    WriteFile(folder / "A.PNG", "");
    WriteFile(folder / "c.txt", "");
    WriteFile(folder / ".hidden.png", "");
    WriteFile(folder / "Zeta/x", "");
    WriteFile(folder / "alpha/x", "");
    std::filesystem::create_directories(folder / ".git");
    // The program's own folders: a project's history, a marked scratch folder.
    WriteFile(folder / "demo.wtpj", "{}");
    WriteFile(folder / "demo.history/steps.json", "[]");
    WriteFile(folder / "tmp/x", "");
    WriteFile(folder / ".tmp.skinwright", "");
    WriteFile(folder / "other.history/x", "");

    Json::Value listing;
    ASSERT_TRUE(ParseJson(ListFolderJson(folder.path() + "/", "*.png"), listing));
    EXPECT_EQ(listing["path"].asString(), std::filesystem::canonical(folder.path()).string());
    EXPECT_EQ(listing["folders"], Array({"alpha", "other.history", "Zeta"}));
    EXPECT_EQ(listing["files"], Array({"A.PNG", "b.png"}));
    EXPECT_FALSE(listing["parent"].asString().empty());

    ASSERT_TRUE(ParseJson(ListFolderJson(folder.path(), ""), listing));
    EXPECT_EQ(listing["files"], Json::Value(Json::arrayValue)) << "no patterns, no files";

    for (const std::string& bad : {folder / "b.png", folder / "missing", std::string("relative")}) {
        ASSERT_TRUE(ParseJson(ListFolderJson(bad, "*.*"), listing));
        EXPECT_TRUE(listing.isMember("error")) << bad;
    }
}

class DialogTest : public ::testing::Test {
  protected:
    DialogTest() : main_(harness_.port(), "main", harness_.cookie()) {
        WriteFile(harness_.folder() / "pictures/icon.png", "png");
        WriteFile(harness_.folder() / "pictures/notes.txt", "txt");
        pictures_ = std::filesystem::canonical(harness_.folder() / "pictures").string();
    }

    // Posts a command of the main page that opens a dialog, and connects
    // the dialog's page; returns the command's id.
    std::uint64_t OpenDialog(const std::string& command, Json::Value args, std::string& src) {
        const std::uint64_t id = main_.Post(command, std::move(args));
        auto open = main_.Next([](const Json::Value& m) { return IsPopup(m, "open"); });
        EXPECT_TRUE(open);
        src = (*open)["src"].asString();
        dialog_ = std::make_unique<PageClient>(harness_.port(), (*open)["window"].asString(),
                                               harness_.cookie());
        return id;
    }

    std::string ResultOf(std::uint64_t id) {
        auto result = main_.Next([id](const Json::Value& m) { return IsResult(m, id); });
        return result ? (*result)["value"].asString() : "<none>";
    }

    bool End(const std::string& value) {
        auto result = dialog_->Call("EndDialog", Array({value}));
        return result && (*result)["value"].asBool();
    }

    HostHarness harness_;
    PageClient main_;
    std::unique_ptr<PageClient> dialog_;
    std::string pictures_;
};

TEST_F(DialogTest, TheFileDialogListsWithTheFilterAndTakesATypedPath) {
    std::string src;
    const std::uint64_t id =
        OpenDialog("ShowChooseFileDialog", Array({"PNG格式图片(*.png)|*.png||"}), src);
    EXPECT_EQ(src.substr(0, 33), "/shell/file-dialog.html?window=po");

    Json::Value parameters;
    auto parameterText = dialog_->Call("GetParameter");
    ASSERT_TRUE(parameterText);
    ASSERT_TRUE(ParseJson((*parameterText)["value"].asString(), parameters));
    EXPECT_EQ(parameters["kind"].asString(), "file");
    EXPECT_EQ(parameters["filters"][0]["description"].asString(), "PNG格式图片(*.png)");
    EXPECT_EQ(parameters["filters"][0]["patterns"].asString(), "*.png");

    auto listing = dialog_->Call("ListFolder", Array({pictures_, "*.png"}));
    ASSERT_TRUE(listing);
    Json::Value files;
    ASSERT_TRUE(ParseJson((*listing)["value"].asString(), files));
    EXPECT_EQ(files["files"], Array({"icon.png"}));

    EXPECT_FALSE(End(pictures_ + "/missing.png"));
    EXPECT_FALSE(End(pictures_)) << "a folder is no file";
    EXPECT_FALSE(End("icon.png")) << "a relative path";
    EXPECT_TRUE(End("  " + pictures_ + "/icon.png  "));
    EXPECT_EQ(ResultOf(id), pictures_ + "/icon.png");

    // The chosen image may now be shown by the page, and the next dialog
    // starts in its folder.
    EXPECT_EQ(harness_.Get("/file?path=" + pictures_ + "/icon.png").status, 200u);
    EXPECT_EQ(DialogStartFolder(), pictures_);
}

// copypng puts an image the user picked into the open project's launcher
// icons, and nothing else anywhere else.
TEST_F(DialogTest, CopyPngTakesOnlyAPickedImageIntoTheLauncherIcons) {
    const std::string project = harness_.folder() / "P/theme";
    WriteFile(harness_.folder() / "P/theme.wtpj",
              "{\"name\": \"theme\", \"dpi\": \"xxhdpi\", \"density\": 320}");
    sw::test::ModuleFolder(project + "/launcher").WriteDefault();
    ASSERT_TRUE(OpenProject(harness_.folder() / "P/theme.wtpj"));
    const std::string icons = project + "/launcher/content/res/drawable-xxhdpi";
    const std::string picked = pictures_ + "/picked.png";
    const std::string unpicked = pictures_ + "/unpicked.png";
    sw::test::WriteSolidPng(picked, 8, 8, sw::test::Rgb(255, 0, 0));
    sw::test::WriteSolidPng(unpicked, 8, 8, sw::test::Rgb(0, 255, 0));
    for (const std::string& file : {picked, pictures_ + "/notes.txt"}) {
        std::string src;
        const std::uint64_t id = OpenDialog("ShowChooseFileDialog", Array({""}), src);
        ASSERT_TRUE(End(file));
        ASSERT_EQ(ResultOf(id), file);
    }

    auto opened = std::async(std::launch::async, [this] {
        return harness_.host().OpenPopup(&harness_.host().main_window(), PopupOptions());
    });
    auto open = main_.Next([](const Json::Value& m) { return IsPopup(m, "open"); });
    ASSERT_TRUE(open);
    PageClient popup(harness_.port(), (*open)["window"].asString(), harness_.cookie());
    const struct {
        std::string source;
        std::string destination;
        bool copied;
    } cases[] = {
        {picked, icons + "/com_example_app__icon.png", true},
        {picked, icons + "/app_icon.png", true},
        {picked, icons + "/../drawable-nodpi/app_icon.png", false},
        {picked, icons + "/sub/app_icon.png", false},
        {picked, icons, false},
        {picked, icons + "/", false},
        {picked, project + "/launcher/template.xml", false},
        {picked, harness_.folder() / "elsewhere.png", false},
        {picked, "app_icon.png", false},
        {unpicked, icons + "/unpicked.png", false},
        {pictures_ + "/notes.txt", icons + "/notes.png", false},
    };
    auto contents = [](const std::string& path) {
        return std::filesystem::is_regular_file(path) ? ReadFile(path) : std::string("<none>");
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source + " -> " + c.destination);
        const std::string before = contents(c.destination);
        auto answer = popup.Call("copypng", Array({c.source, c.destination}));
        ASSERT_TRUE(answer);
        EXPECT_EQ((*answer)["value"], c.copied);
        EXPECT_EQ(contents(c.destination), c.copied ? contents(c.source) : before);
    }
    EXPECT_FALSE(std::filesystem::exists(harness_.folder() / "elsewhere.png"));
    EXPECT_NE(harness_.log().find("WARN \tcopypng refused: " + harness_.folder() / "elsewhere.png"),
              std::string::npos);
    EXPECT_NE(harness_.log().find("WARN \tcopypng refused: " + unpicked), std::string::npos);
    ASSERT_TRUE(popup.Call("CloseWindow"));
    opened.get();
}

TEST_F(DialogTest, ACancelledDialogAnswersNothing) {
    std::string src;
    const std::uint64_t id = OpenDialog("ShowChooseFileDialog", Array({""}), src);
    auto parameterText = dialog_->Call("GetParameter");
    ASSERT_TRUE(parameterText);
    Json::Value parameters;
    ASSERT_TRUE(ParseJson((*parameterText)["value"].asString(), parameters));
    EXPECT_EQ(parameters["filters"][0]["description"].asString(), "All Files");
    ASSERT_TRUE(dialog_->Call("CloseWindow"));
    EXPECT_EQ(ResultOf(id), "");
}

TEST_F(DialogTest, TheFolderBrowserTakesExistingFoldersOnly) {
    auto future = std::async(std::launch::async, [this] {
        return BrowseForFolder(harness_.host(), &harness_.host().main_window());
    });
    auto open = main_.Next([](const Json::Value& m) { return IsPopup(m, "open"); });
    ASSERT_TRUE(open);
    EXPECT_EQ((*open)["src"].asString().substr(0, 25), "/shell/folder-dialog.html");
    dialog_ = std::make_unique<PageClient>(harness_.port(), (*open)["window"].asString(),
                                           harness_.cookie());
    auto parameterText = dialog_->Call("GetParameter");
    ASSERT_TRUE(parameterText);
    Json::Value parameters;
    ASSERT_TRUE(ParseJson((*parameterText)["value"].asString(), parameters));
    EXPECT_EQ(parameters["prompt"].asString(), "请选择：");
    EXPECT_FALSE(End(pictures_ + "/icon.png"));
    EXPECT_FALSE(End(pictures_ + "/nowhere"));
    EXPECT_TRUE(End(pictures_ + "/"));
    EXPECT_EQ(future.get(), pictures_);
}

TEST_F(DialogTest, TheColourChooserStartsWhiteAndAnswersLowerCaseHex) {
    std::string src;
    const std::uint64_t id = OpenDialog("ShowColorDialog", Json::Value(), src);
    EXPECT_EQ(src.substr(0, 24), "/shell/color-dialog.html");
    auto parameterText = dialog_->Call("GetParameter");
    ASSERT_TRUE(parameterText);
    Json::Value parameters;
    ASSERT_TRUE(ParseJson((*parameterText)["value"].asString(), parameters));
    EXPECT_EQ(parameters["color"].asString(), "ffffff");
    for (const char* bad : {"12345", "GGGGGG", "#1234567", ""}) {
        EXPECT_FALSE(End(bad)) << bad;
    }
    EXPECT_TRUE(End("#A0B1C2"));
    EXPECT_EQ(ResultOf(id), "a0b1c2");
}

}  // namespace
}  // namespace sw::host::test
