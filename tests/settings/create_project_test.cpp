#include "engine/create_project.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "settings/settings_fixture.h"

namespace sw {
namespace {

using test::ReadJson;
using test::ReadText;
using test::WriteJson;
using test::WriteText;

const char* const kMetaFiles[] = {"meta.json", "meta2.json", "meta3.json", "meta4.json",
                                  "meta5.json"};

class CreateProjectTest : public test::SettingsTest {
  protected:
    void SetUp() override {
        test::SettingsTest::SetUp();
        const char* categories[] = {"launcher", "themesuite", "lockscreen", "themesuite",
                                    "callscreen"};
        for (int i = 0; i < 5; ++i) {
            Json::Value meta(Json::objectValue);
            meta["resource_name"] = "晨光";
            meta["resource_versionname"] = "1.0";
            meta["resource_description"] = "默认主题";
            meta["resource_originate"] = "原创";
            meta["resource_developer"] = "Skinwright";
            meta["resource_designer"] = "Skinwright";
            meta["resource_id"] = 0;
            meta["resource_version"] = 1;
            meta["resource_category"] = categories[i];
            meta["kept"] = "as it was";
            WriteJson(TemplateFile(std::string("launcher/") + kMetaFiles[i]), meta);
        }
        WriteText(TemplateFile("launcher/template.xml"), "<package />");
        WriteText(TemplateFile("lockscreen/content/res/values/colors.xml"), "<resources />");
    }

    std::string TemplateFile(const std::string& name) const { return data_ / ("template/" + name); }

    CreateInfo Info(const std::string& resourceId = "12345") const {
        CreateInfo info;
        info.prj_name = "demo";
        info.theme_path = work_.path();
        info.resourceid = resourceId;
        return info;
    }

    // Sets the texts and creates; the description file of the new project.
    bool Create(const CreateInfo& info) {
        EXPECT_TRUE(SetCreateInfo(info));
        return CreateProject();
    }

    std::string ProjectFile(const std::string& relative) const {
        return work_ / ("demo/demo/" + relative);
    }
    Json::Value Meta(const char* file) const {
        return ReadJson(ProjectFile(std::string("launcher/") + file));
    }
};

TEST_F(CreateProjectTest, CopiesTheTemplateAndWritesTheProjectFile) {
    ASSERT_TRUE(Create(Info()));
    EXPECT_EQ(ReadText(ProjectFile("launcher/template.xml")), "<package />");
    EXPECT_EQ(ReadText(ProjectFile("lockscreen/content/res/values/colors.xml")), "<resources />");
    // The styled layout, members in name order, density a number.
    EXPECT_EQ(ReadText(work_ / "demo/demo.wtpj"),
              "{\n   \"density\" : 320,\n   \"dpi\" : \"xxhdpi\",\n   \"name\" : \"demo\"\n}\n");
    EXPECT_EQ(CreatedProjectPath(Info()), work_ / "demo/demo.wtpj");
}

TEST_F(CreateProjectTest, ResourceIdRule) {
    struct Case {
        const char* text;
        int low;
        int high;  // inclusive
    };
    const Case cases[] = {
        {"0", 1000001, 1000001 + 99999},
        {"12345", 12345, 12345},
        {"", 0, 0},
        {" 77abc", 77, 77},
        {"99999999999", 2147483647, 2147483647},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(Create(Info(c.text)));
        Json::Value first = Meta("meta.json")["resource_id"];
        ASSERT_TRUE(first.isInt());
        EXPECT_GE(first.asInt(), c.low);
        EXPECT_LE(first.asInt(), c.high);
        for (const char* file : kMetaFiles) {
            EXPECT_EQ(Meta(file)["resource_id"], first) << file;
        }
    }
}

TEST_F(CreateProjectTest, StampsTheTextsAndKeepsTheRest) {
    CreateInfo info = Info();
    info.theme_name = "新主题";
    info.description = "描述";
    info.author = "小林";
    ASSERT_TRUE(Create(info));
    const char* categories[] = {"launcher", "themesuite", "lockscreen", "themesuite", "callscreen"};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(kMetaFiles[i]);
        Json::Value meta = Meta(kMetaFiles[i]);
        EXPECT_EQ(meta["resource_name"], "新主题");
        EXPECT_EQ(meta["resource_description"], "描述");
        EXPECT_EQ(meta["resource_developer"], "小林");
        EXPECT_EQ(meta["resource_designer"], "小林");
        // Empty texts leave the template's values.
        EXPECT_EQ(meta["resource_versionname"], "1.0");
        EXPECT_EQ(meta["resource_originate"], "原创");
        // meta.json keeps its own category; the others get theirs.
        EXPECT_EQ(meta["resource_category"], categories[i]);
        EXPECT_EQ(meta["resource_version"], 1);
        EXPECT_EQ(meta["kept"], "as it was");
        // Texts are written as UTF-8, the way the phone's reader has them.
        const std::string text = ReadText(ProjectFile(std::string("launcher/") + kMetaFiles[i]));
        EXPECT_NE(text.find("\"resource_name\" : \"新主题\""), std::string::npos) << text;
        EXPECT_EQ(text.find("\\u"), std::string::npos) << text;
    }
}

TEST_F(CreateProjectTest, MissingMeta3IsWrittenWithTheStampedMembersOnly) {
    std::filesystem::remove(TemplateFile("launcher/meta3.json"));
    CreateInfo info = Info("12345");
    info.theme_name = "新主题";
    ASSERT_TRUE(Create(info));
    EXPECT_TRUE(LoggedError("load meta3.json failed."));
    Json::Value meta3 = Meta("meta3.json");
    std::vector<std::string> members = meta3.getMemberNames();
    EXPECT_EQ(std::set<std::string>(members.begin(), members.end()),
              (std::set<std::string>{"resource_category", "resource_id", "resource_name",
                                     "resource_version"}));
    EXPECT_EQ(meta3["resource_category"], "lockscreen");
    EXPECT_EQ(meta3["resource_id"], 12345);
    EXPECT_EQ(Meta("meta5.json")["resource_id"], 12345);
}

TEST_F(CreateProjectTest, UnreadableDescriptionFiles) {
    struct Case {
        const char* file;
        const char* contents;
        bool created;
        const char* logged;
    };
    const Case cases[] = {
        {"meta.json", "{ not json", false, "load meta.json failed."},
        {"meta2.json", "", false, "load meta2.json failed."},
        {"meta4.json", "[1, 2]", false, "load meta4.json failed."},
        {"meta5.json", "{", true, "load meta5.json failed."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::string original = ReadText(TemplateFile(std::string("launcher/") + c.file));
        WriteText(TemplateFile(std::string("launcher/") + c.file), c.contents);
        std::filesystem::remove_all(work_ / "demo");
        EXPECT_EQ(Create(Info("12345")), c.created);
        EXPECT_TRUE(LoggedError(c.logged));
        // What was done before the failure stays.
        EXPECT_EQ(Meta("meta.json")["resource_id"],
                  c.file == std::string("meta.json") ? Json::Value() : Json::Value(12345));
        WriteText(TemplateFile(std::string("launcher/") + c.file), original);
    }
    // meta5.json is then written with the stamped members only.
    EXPECT_EQ(Meta("meta5.json")["resource_category"], "callscreen");
    EXPECT_FALSE(Meta("meta5.json").isMember("resource_name"));
}

TEST_F(CreateProjectTest, MissingTemplateFailsWithoutAProjectFile) {
    std::filesystem::remove_all(data_ / "template");
    EXPECT_FALSE(Create(Info()));
    EXPECT_TRUE(LoggedError("can not create theme: fail to copy template."));
    EXPECT_FALSE(std::filesystem::exists(work_ / "demo/demo.wtpj"));
}

// Packaged installs keep the template elsewhere and link it beside the
// program.
TEST_F(CreateProjectTest, ATemplateReachedThroughALinkIsCopied) {
    std::filesystem::rename(data_ / "template", work_ / "installed-template");
    std::filesystem::create_directory_symlink(work_ / "installed-template", data_ / "template");
    ASSERT_TRUE(Create(Info()));
    EXPECT_EQ(ReadText(ProjectFile("launcher/template.xml")), "<package />");
    EXPECT_EQ(Meta("meta.json")["resource_id"], 12345);
}

TEST_F(CreateProjectTest, ExistingProjectIsOverwrittenAndOtherFilesStay) {
    WriteText(work_ / "demo/demo.wtpj", "old");
    WriteText(ProjectFile("launcher/template.xml"), "old");
    WriteText(ProjectFile("launcher/mine.png"), "mine");
    WriteText(ProjectFile("launcher/meta.json"), "{ \"resource_name\" : \"old\" }");
    ASSERT_TRUE(Create(Info()));
    EXPECT_EQ(ReadText(ProjectFile("launcher/template.xml")), "<package />");
    EXPECT_EQ(ReadText(ProjectFile("launcher/mine.png")), "mine");
    EXPECT_EQ(Meta("meta.json")["resource_name"], "晨光");
    EXPECT_EQ(ReadJson(work_ / "demo/demo.wtpj")["density"], 320);
}

TEST_F(CreateProjectTest, ProjectNamesThatLeaveTheFolderAreRefused) {
    for (const char* name : {"", ".", "..", "a/b", "../escape"}) {
        SCOPED_TRACE(name);
        CreateInfo info = Info();
        info.prj_name = name;
        EXPECT_FALSE(Create(info));
        EXPECT_TRUE(LoggedError("can not create theme: invalid project name or folder."));
    }
    EXPECT_TRUE(std::filesystem::is_empty(work_.path()));
}

TEST_F(CreateProjectTest, CreateInfoRefusesOverlongTextsNamingTheFieldAndEmptiesTheRecord) {
    CreateInfo info = Info();
    info.description = std::string(kCreateInfoCapacity, 'd');
    std::string tooLong = "untouched";
    ASSERT_TRUE(SetCreateInfo(info, &tooLong));
    EXPECT_EQ(tooLong, "untouched");
    // 171 Chinese characters are 513 bytes in UTF-8.
    std::string chinese;
    for (int i = 0; i < 171; ++i) {
        chinese += "字";
    }
    const struct {
        std::string CreateInfo::*field;
        const char* name;
    } cases[] = {
        {&CreateInfo::prj_name, "prj_name"},       {&CreateInfo::theme_name, "theme_name"},
        {&CreateInfo::description, "description"}, {&CreateInfo::author, "author"},
        {&CreateInfo::theme_path, "theme_path"},   {&CreateInfo::resourceid, "resourceid"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SetCreateInfo(info));
        CreateInfo longer = info;
        longer.*c.field = chinese;
        EXPECT_FALSE(SetCreateInfo(longer, &tooLong)) << c.name;
        EXPECT_EQ(tooLong, c.name);
        EXPECT_EQ(GetCreateInfo().prj_name, "") << "a refused form leaves nothing to create";
        EXPECT_EQ(LogLines().back(), std::string("ERROR\tcreate info refused: ") + c.name +
                                         " of 513 bytes is longer than 511 bytes");
    }
    EXPECT_FALSE(CreateProject());
}

}  // namespace
}  // namespace sw
