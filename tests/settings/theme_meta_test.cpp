#include "settings/theme_meta.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <string>
#include <vector>

#include "core/scratch_folder.h"
#include "settings/settings_fixture.h"

namespace sw::settings {
namespace {

using test::ReadJson;
using test::ReadText;
using test::WriteJson;
using test::WriteText;

std::vector<std::string> Ids(const std::vector<FormField>& fields) {
    std::vector<std::string> ids;
    for (const FormField& field : fields) {
        ids.push_back(field.id);
    }
    return ids;
}

std::vector<std::string> Values(const std::vector<FormField>& fields) {
    std::vector<std::string> values;
    for (const FormField& field : fields) {
        values.push_back(field.value);
    }
    return values;
}

class ThemeMetaTest : public test::SettingsTest {
  protected:
    void SetUp() override {
        test::SettingsTest::SetUp();
        const char* categories[] = {"launcher", "themesuite", "lockscreen", "themesuite",
                                    "callscreen"};
        for (int number = 1; number <= 5; ++number) {
            Json::Value meta(Json::objectValue);
            meta["resource_name"] = "晨光";
            meta["resource_versionname"] = "2.5";
            meta["resource_description"] = "原野";
            meta["resource_originate"] = "原创";
            meta["resource_developer"] = "Skinwright";
            meta["resource_designer"] = "Skinwright";
            meta["resource_id"] = 1000123;
            meta["resource_version"] = 1;
            meta["resource_category"] = categories[number - 1];
            WriteJson(MetaFilePath("demo", work_.path(), number), meta);
        }
    }
    Json::Value Meta(int number) const {
        return ReadJson(MetaFilePath("demo", work_.path(), number));
    }
};

TEST_F(ThemeMetaTest, MetaFilePaths) {
    EXPECT_EQ(MetaFilePath("demo", "/p", 1), "/p/demo/launcher/meta.json");
    EXPECT_EQ(MetaFilePath("demo", "/p", 4), "/p/demo/launcher/meta4.json");
}

TEST_F(ThemeMetaTest, CreateFormIsFilledFromTheTemplate) {
    Json::Value meta = ReadJson(MetaFilePath("demo", work_.path(), 1));
    meta["resource_developer"] = "小林";
    WriteJson(data_ / "template/launcher/meta.json", meta);
    std::vector<FormField> fields;
    ASSERT_TRUE(CreateFormFields(fields));
    EXPECT_EQ(Ids(fields), (std::vector<std::string>{"theme_name", "version_name", "description",
                                                     "originate", "author", "resourceid"}));
    EXPECT_EQ(Values(fields),
              (std::vector<std::string>{"晨光", "2.5", "原野", "原创", "小林", "0"}));
}

TEST_F(ThemeMetaTest, PackFormIsFilledFromTheProject) {
    std::vector<FormField> fields;
    ASSERT_TRUE(PackFormFields("demo", work_.path(), fields));
    EXPECT_EQ(Ids(fields),
              (std::vector<std::string>{"theme_name", "version", "description", "developer"}));
    // The version entered at creation, not a fresh 1.
    EXPECT_EQ(Values(fields), (std::vector<std::string>{"晨光", "2.5", "原野", "Skinwright"}));
}

TEST_F(ThemeMetaTest, UnreadableFilesFillNothing) {
    // Arrays nested past the JSON reader's limit once made it throw through
    // the form and end the program.
    const std::string deep = "{\"title\":" + std::string(5000, '[');
    for (const std::string& contents :
         {std::string(), std::string("{ broken"), std::string("[1, 2]"), std::string("42"), deep}) {
        SCOPED_TRACE(contents.substr(0, 20));
        WriteText(data_ / "template/launcher/meta.json", contents);
        std::vector<FormField> fields = {{"stale", "x"}};
        EXPECT_FALSE(CreateFormFields(fields));
        EXPECT_TRUE(fields.empty());
    }
    std::vector<FormField> fields;
    EXPECT_FALSE(PackFormFields("missing", work_.path(), fields));
    EXPECT_TRUE(fields.empty());
    std::vector<std::string> lines = LogLines();
    EXPECT_EQ(lines, std::vector<std::string>(6, "ERROR\tload meta.json failed."));
}

TEST_F(ThemeMetaTest, MembersAsTexts) {
    Json::Value meta(Json::objectValue);
    meta["resource_name"] = Json::Value();
    meta["resource_versionname"] = 3;
    meta["resource_description"] = Json::Value(Json::objectValue);
    meta["resource_originate"] = true;
    WriteJson(data_ / "template/launcher/meta.json", meta);
    std::vector<FormField> fields;
    ASSERT_TRUE(CreateFormFields(fields));
    EXPECT_EQ(Values(fields), (std::vector<std::string>{"", "3", "", "true", "", "0"}));
}

// Where the theme comes from and who designed it are not in the pack form,
// so packing never changes them.
TEST_F(ThemeMetaTest, SaveWritesTheFormsTextsIntoAllFilesAndNothingElse) {
    std::vector<Json::Value> before;
    for (int number = 1; number <= 5; ++number) {
        before.push_back(Meta(number));
    }
    EXPECT_TRUE(SaveMetaJson("demo", work_.path(), "1", "新的描述", "小林", "新主题"));
    const char* categories[] = {"launcher", "themesuite", "lockscreen", "themesuite", "callscreen"};
    for (int number = 1; number <= 5; ++number) {
        SCOPED_TRACE(number);
        Json::Value meta = Meta(number);
        EXPECT_EQ(meta["resource_versionname"], "1");
        EXPECT_EQ(meta["resource_description"], "新的描述");
        EXPECT_EQ(meta["resource_developer"], "小林");
        EXPECT_EQ(meta["resource_designer"], before[number - 1]["resource_designer"]);
        EXPECT_EQ(meta["resource_originate"], before[number - 1]["resource_originate"]);
        EXPECT_EQ(meta["resource_name"], "新主题");
        EXPECT_EQ(meta["resource_id"], 1000123);
        EXPECT_EQ(meta["resource_version"], 1);
        EXPECT_EQ(meta["resource_category"], categories[number - 1]);
    }
    EXPECT_TRUE(LogLines().empty());
    // The styled layout: three blanks of indentation, one member a line.
    const std::string text = ReadText(MetaFilePath("demo", work_.path(), 1));
    EXPECT_EQ(text.substr(0, 37), "{\n   \"resource_category\" : \"launcher\"");
    // Texts are written as UTF-8, not as \u escapes.
    EXPECT_NE(text.find("\"resource_name\" : \"新主题\""), std::string::npos) << text;
}

TEST_F(ThemeMetaTest, SaveAddsMissingMembersAndStoresEmptyTexts) {
    WriteText(MetaFilePath("demo", work_.path(), 2), "{ \"resource_id\" : 7 }");
    SaveMetaJson("demo", work_.path(), "", "", "", "");
    Json::Value meta2 = Meta(2);
    EXPECT_EQ(meta2["resource_id"], 7);
    for (const char* member :
         {"resource_versionname", "resource_developer", "resource_description", "resource_name"}) {
        EXPECT_EQ(meta2[member], "") << member;
    }
}

TEST_F(ThemeMetaTest, SaveStopsAtAnUnreadableFile) {
    std::filesystem::remove(MetaFilePath("demo", work_.path(), 3));
    std::string meta4 = ReadText(MetaFilePath("demo", work_.path(), 4));
    std::string meta5 = ReadText(MetaFilePath("demo", work_.path(), 5));
    EXPECT_FALSE(SaveMetaJson("demo", work_.path(), "1", "d", "A", "T"));
    EXPECT_EQ(Meta(1)["resource_name"], "T");
    EXPECT_EQ(Meta(2)["resource_name"], "T");
    EXPECT_EQ(ReadText(MetaFilePath("demo", work_.path(), 4)), meta4);
    EXPECT_EQ(ReadText(MetaFilePath("demo", work_.path(), 5)), meta5);
    EXPECT_EQ(LogLines(), std::vector<std::string>{"ERROR\tload meta.json failed."});
}

// Files that cannot be written (here: over the file size limit, in a child
// process) are skipped and stay whole, and the answer says so.
TEST_F(ThemeMetaTest, SaveAnswersFalseWhenAFileCannotBeWritten) {
    const std::string meta2 = MetaFilePath("demo", work_.path(), 2);
    const std::string kept = ReadText(meta2);
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(SaveMetaJson("demo", work_.path(), "1", "d", "A", "T") ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "answered true";
    EXPECT_EQ(ReadText(meta2), kept);
}

TEST_F(ThemeMetaTest, SaveEmptiesTheStagingFolders) {
    // Missing staging folders are no error: they are made.
    SaveMetaJson("demo", work_.path(), "1", "d", "A", "T");
    WriteText(home_ / "themetool/meta.json", "{}");
    WriteText(home_ / "tmp/ABCDEFGHIJ/x/y.png", "y");
    SaveMetaJson("demo", work_.path(), "1", "d", "A", "T");
    for (const char* folder : {"themetool", "tmp"}) {
        EXPECT_TRUE(IsOwnScratchFolder(home_ / folder)) << folder;
        EXPECT_TRUE(std::filesystem::is_empty(home_ / folder)) << folder;
    }
    EXPECT_TRUE(LogLines().empty());
}

// Regression: saving the pack form emptied folders of the same names that
// the user keeps in the home folder.
TEST_F(ThemeMetaTest, SaveLeavesTheUsersOwnFoldersOfTheSameNames) {
    WriteText(home_ / "themetool/notes.txt", "notes");
    WriteText(home_ / "tmp/photo.jpg", "photo");
    SaveMetaJson("demo", work_.path(), "1", "d", "A", "T");
    EXPECT_EQ(ReadText(home_ / "themetool/notes.txt"), "notes");
    EXPECT_EQ(ReadText(home_ / "tmp/photo.jpg"), "photo");
    EXPECT_EQ(Meta(1)["resource_name"], "T");
}

}  // namespace
}  // namespace sw::settings
