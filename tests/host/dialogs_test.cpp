// The file, folder and colour dialogs: filters, listings, and ending a
// dialog by typing or choosing.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>

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

    Json::Value listing;
    ASSERT_TRUE(ParseJson(ListFolderJson(folder.path() + "/", "*.png"), listing));
    EXPECT_EQ(listing["path"].asString(), std::filesystem::canonical(folder.path()).string());
    EXPECT_EQ(listing["folders"], Array({"alpha", "Zeta"}));
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
