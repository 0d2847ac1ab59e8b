#include "engine/page_lists.h"

#include <gtest/gtest.h>
#include <json/reader.h>

#include "engine/module_loader.h"
#include "engine/page_fixture.h"

namespace sw {
namespace {

class PageListsTest : public test::OpenPageProjectTest {
  protected:
    const Json::Value& LauncherCategories() const { return resources_["桌面"]["category"]; }

    Json::Value resources_;
};

enum class Kind { kInt, kString, kBool, kArray, kObject };

bool IsKind(const Json::Value& value, Kind kind) {
    switch (kind) {
        case Kind::kInt:
            return value.isInt();
        case Kind::kString:
            return value.isString();
        case Kind::kBool:
            return value.isBool();
        case Kind::kArray:
            return value.isArray();
        case Kind::kObject:
            return value.isObject();
    }
    return false;
}

void ExpectMembers(const Json::Value& object,
                   const std::vector<std::pair<std::string, Kind>>& members) {
    ASSERT_TRUE(object.isObject());
    EXPECT_EQ(object.size(), members.size()) << object.toStyledString();
    for (const auto& [name, kind] : members) {
        EXPECT_TRUE(object.isMember(name)) << name;
        EXPECT_TRUE(IsKind(object[name], kind)) << name << " in " << object.toStyledString();
    }
}

const std::vector<std::pair<std::string, Kind>> kCommonMembers = {
    {"mScreenID", Kind::kInt},    {"mElementID", Kind::kInt}, {"mTag", Kind::kString},
    {"mCategory", Kind::kString}, {"left", Kind::kInt},       {"top", Kind::kInt},
    {"width", Kind::kInt},        {"height", Kind::kInt},     {"mReadOnly", Kind::kBool},
    {"mResIndex", Kind::kInt},    {"mRedraw", Kind::kBool}};

std::vector<std::pair<std::string, Kind>> With(std::vector<std::pair<std::string, Kind>> extra) {
    std::vector<std::pair<std::string, Kind>> members = kCommonMembers;
    members.insert(members.end(), extra.begin(), extra.end());
    return members;
}

TEST_F(PageListsTest, ElementJsonMembersByTag) {
    const ThemeModule& launcher = *project_.FindModule("桌面");
    struct Case {
        int screen;
        int element;
        std::vector<std::pair<std::string, Kind>> members;
    };
    const Case cases[] = {
        {0, 0,
         With({{"mWidth", Kind::kInt},
               {"mHeight", Kind::kInt},
               {"mImgType", Kind::kInt},
               {"mRes", Kind::kArray},
               {"mDesc", Kind::kArray}})},
        {0, 1,
         With({{"color", Kind::kString},
               {"mText", Kind::kString},
               {"mSize", Kind::kInt},
               {"mDesc", Kind::kString}})},
        {0, 2, With({{"color", Kind::kString}, {"mDesc", Kind::kString}})},
        {1, 4,
         With({{"mWidth", Kind::kInt},
               {"mHeight", Kind::kInt},
               {"mImgType", Kind::kInt},
               {"mRes", Kind::kArray},
               {"mDesc", Kind::kArray}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("element " + std::to_string(c.screen) + "/" + std::to_string(c.element));
        ExpectMembers(ElementToJson(*launcher.FindElement(c.screen, c.element)), c.members);
    }
}

TEST_F(PageListsTest, ElementJsonValues) {
    const ThemeModule& launcher = *project_.FindModule("桌面");
    const Json::Value wallpaper = ElementToJson(*launcher.FindElement(0, 0));
    EXPECT_EQ(wallpaper["mTag"].asString(), "icon");
    EXPECT_EQ(wallpaper["mCategory"].asString(), "壁纸");
    EXPECT_EQ(wallpaper["width"].asInt(), 540);
    EXPECT_EQ(wallpaper["height"].asInt(), 960);
    EXPECT_EQ(wallpaper["mWidth"].asInt(), 54);
    EXPECT_EQ(wallpaper["mHeight"].asInt(), 96);
    EXPECT_EQ(wallpaper["mImgType"].asInt(), -1);
    ASSERT_EQ(wallpaper["mRes"].size(), 1u);
    EXPECT_EQ(wallpaper["mRes"][0].asString(),
              fixture_.launcher() + "/content/res/drawable-xxhdpi/wallpaper.jpg");
    EXPECT_EQ(wallpaper["mDesc"][0].asString(), "桌面壁纸");
    // The same picture on a later screen: its size was read once for both.
    EXPECT_EQ(ElementToJson(*launcher.FindElement(3, 0))["mWidth"].asInt(), 54);
    EXPECT_EQ(ElementToJson(*launcher.FindElement(3, 0))["mHeight"].asInt(), 96);

    const Json::Value label = ElementToJson(*launcher.FindElement(0, 1));
    EXPECT_EQ(label["color"].asString(), "#ff102030");
    EXPECT_EQ(label["mText"].asString(), "Hello");
    EXPECT_EQ(label["mSize"].asInt(), 18);
    EXPECT_EQ(label["mDesc"].asString(), "标签");

    const Json::Value block = ElementToJson(*launcher.FindElement(0, 2));
    EXPECT_EQ(block["color"].asString(), "#80ff0000");
    EXPECT_EQ(block["mDesc"].asString(), "");
    EXPECT_EQ(block["left"].asInt(), 50);
    EXPECT_EQ(block["top"].asInt(), 200);
    EXPECT_EQ(block["width"].asInt(), 100);
    EXPECT_EQ(block["height"].asInt(), 50);

    // Four images and one description: the descriptions are padded with "".
    const Json::Value dots = ElementToJson(*launcher.FindElement(1, 4));
    EXPECT_EQ(dots["mResIndex"].asInt(), 1);
    EXPECT_TRUE(dots["mRedraw"].asBool());
    ASSERT_EQ(dots["mRes"].size(), 4u);
    Json::Value expected(Json::arrayValue);
    for (const char* text : {"第一", "", "", ""}) {
        expected.append(text);
    }
    EXPECT_EQ(dots["mDesc"], expected);

    const Json::Value frame = ElementToJson(*launcher.FindElement(0, 3));
    EXPECT_TRUE(frame["mReadOnly"].asBool());
    ASSERT_EQ(frame["mDesc"].size(), 1u);
    EXPECT_EQ(frame["mDesc"][0].asString(), "");
}

TEST_F(PageListsTest, ResourceListShape) {
    resources_ = BuildResourceList(project_);
    ASSERT_EQ(resources_.getMemberNames(), (std::vector<std::string>{"桌面", "锁屏"}));
    const Json::Value& launcher = resources_["桌面"];
    ExpectMembers(launcher, {{"category", Kind::kObject},
                             {"path", Kind::kString},
                             {"version", Kind::kString},
                             {"screen_width", Kind::kInt},
                             {"screen_height", Kind::kInt},
                             {"screen_count", Kind::kInt}});
    EXPECT_EQ(launcher["path"].asString(), fixture_.launcher());
    EXPECT_EQ(launcher["version"].asString(), "2.5");
    EXPECT_EQ(launcher["screen_width"].asInt(), 540);
    EXPECT_EQ(launcher["screen_height"].asInt(), 960);
    EXPECT_EQ(launcher["screen_count"].asInt(), 4);
    EXPECT_EQ(resources_["锁屏"]["screen_count"].asInt(), 1);
}

// Which elements each category lists, as "screen/element".
std::vector<std::string> Listed(const Json::Value& items) {
    std::vector<std::string> ids;
    for (const Json::Value& item : items) {
        ids.push_back(std::to_string(item["mScreenID"].asInt()) + "/" +
                      std::to_string(item["mElementID"].asInt()));
    }
    return ids;
}

TEST_F(PageListsTest, CategoriesListTheFirstEditableElementOfEachGroup) {
    resources_ = BuildResourceList(project_);
    const Json::Value& categories = LauncherCategories();
    // "空" is in the category list but no element uses it.
    EXPECT_EQ(categories.getMemberNames(),
              (std::vector<std::string>{"其他", "分页符", "只读", "图标", "壁纸", "文字", "时钟"}));
    struct Case {
        const char* category;
        std::vector<std::string> listed;
    };
    const Case cases[] = {
        // The read-only frame over the wallpaper founds a group of its own
        // and is left out.
        {"壁纸", {"0/0"}},
        {"文字", {"0/1", "0/2"}},
        {"其他", {"0/4"}},
        // Screen 3's icon shows the same resource as screen 1's.
        {"图标", {"1/1"}},
        {"时钟", {"1/3"}},
        {"分页符", {"1/4"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Listed(categories[c.category]), c.listed) << c.category;
    }
}

TEST_F(PageListsTest, ReadOnlyCategoriesAreNullUntilSomethingWasListed) {
    resources_ = BuildResourceList(project_);
    // The launcher's "只读" comes after categories that listed elements.
    ASSERT_TRUE(LauncherCategories().isMember("只读"));
    EXPECT_TRUE(LauncherCategories()["只读"].isArray());
    EXPECT_EQ(LauncherCategories()["只读"].size(), 0u);
    // The lock screen's first category lists nothing: null, not [].
    const Json::Value& lock = resources_["锁屏"]["category"];
    ASSERT_TRUE(lock.isMember("装饰"));
    EXPECT_TRUE(lock["装饰"].isNull());
    EXPECT_EQ(Listed(lock["壁纸"]), std::vector<std::string>{"0/1"});

    const std::string text = StyledJson(resources_);
    EXPECT_NE(text.find("\"\\u88c5\\u9970\" : null"), std::string::npos);
    EXPECT_NE(text.find("\"\\u53ea\\u8bfb\" : []"), std::string::npos);
}

TEST_F(PageListsTest, CategoryListKeepsTemplateOrder) {
    const Json::Value categories = BuildCategoryList(project_);
    ASSERT_EQ(categories.getMemberNames(), (std::vector<std::string>{"桌面", "锁屏"}));
    std::vector<std::string> launcher;
    for (const Json::Value& name : categories["桌面"]) {
        launcher.push_back(name.asString());
    }
    EXPECT_EQ(launcher,
              (std::vector<std::string>{"壁纸", "图标", "文字", "时钟", "分页符", "只读", "空"}));
    EXPECT_EQ(categories["锁屏"].size(), 2u);
}

TEST_F(PageListsTest, StyledTextIsWhatThePageReads) {
    Json::Value value(Json::objectValue);
    value["其他"] = Json::Value(Json::arrayValue);
    value["n"] = 3;
    value["s"].append("a");
    EXPECT_EQ(StyledJson(value),
              "{\n   \"n\" : 3,\n   \"s\" : [ \"a\" ],\n   \"\\u5176\\u4ed6\" : []\n}\n");
    // Reading the whole list back gives the same value.
    resources_ = BuildResourceList(project_);
    Json::Value reread;
    ASSERT_TRUE(Json::Reader().parse(StyledJson(resources_), reread));
    EXPECT_EQ(reread, resources_);
}

// Modules are keyed by their page name: "" without one, and a later module
// with the same name takes the place of an earlier one.
TEST(PageListKeysTest, NamelessAndRepeatedModules) {
    test::TempFolder folder;
    test::LogCapture log(folder.path());
    ThemeProject project;
    const struct {
        const char* folder;
        const char* attributes;
    } modules[] = {{"a", "name=\"桌面\""}, {"b", "version=\"9\""}, {"c", "name=\"桌面\""}};
    for (const auto& m : modules) {
        test::ModuleFolder module(folder / m.folder);
        module.WriteDefault();
        const std::string body = test::ReadText(module / "template.xml");
        const std::size_t open = body.find("<package");
        const std::size_t close = body.find('>', open);
        test::WriteText(module / "template.xml",
                        body.substr(0, open) + "<package " + m.attributes + body.substr(close));
        auto loaded = std::make_unique<ThemeModule>();
        loaded->context.screen_width = 1080;
        loaded->context.screen_height = 1920;
        loaded->context.density = 320;
        ASSERT_TRUE(LoadModule(*loaded, module.path()));
        project.modules().push_back(std::move(loaded));
    }
    const Json::Value resources = BuildResourceList(project);
    EXPECT_EQ(resources.getMemberNames(), (std::vector<std::string>{"", "桌面"}));
    EXPECT_EQ(resources["桌面"]["path"].asString(), folder / "c");
    EXPECT_EQ(resources[""]["version"].asString(), "9");
    EXPECT_EQ(resources["桌面"]["version"].asString(), "");
    EXPECT_EQ(BuildCategoryList(project).getMemberNames(), (std::vector<std::string>{"", "桌面"}));
}

}  // namespace
}  // namespace sw
