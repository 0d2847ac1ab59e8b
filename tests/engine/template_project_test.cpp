// The editor's commands on a project created from the shipped template, as
// the page would call them after opening it.
#include <gtest/gtest.h>
#include <json/reader.h>

#include <filesystem>

#include "core/paths.h"
#include "engine/create_project.h"
#include "engine/engine_fixture.h"
#include "engine/icon_exclusion_list.h"
#include "engine/page_commands.h"
#include "engine/page_fixture.h"
#include "gfx/image_decode.h"

namespace sw {
namespace {

namespace fs = std::filesystem;
using test::PageProject;

Json::Value Parse(const std::string& text) {
    Json::Value value;
    EXPECT_TRUE(Json::Reader().parse(text, value)) << text;
    return value;
}

class TemplateProjectTest : public ::testing::Test {
  protected:
    TemplateProjectTest() : log_(work_.path()) {}

    void SetUp() override {
        SetDataFolder(SKINWRIGHT_SOURCE_DIR);
        CreateInfo info;
        info.prj_name = "demo";
        info.theme_name = "晨光";
        info.theme_path = work_.path();
        info.resourceid = "1";
        ASSERT_TRUE(SetCreateInfo(info));
        ASSERT_TRUE(CreateProject());
        ASSERT_TRUE(OpenProject(CreatedProjectPath(info)));
        ASSERT_TRUE(BuildPageLists(resources_text_, categories_text_));
        resources_ = Parse(resources_text_);
    }
    void TearDown() override { SetDataFolder(""); }

    std::string Module(const std::string& folder) const { return work_ / ("demo/demo/" + folder); }
    // Every listed element of a module, in list order.
    std::vector<Json::Value> Listed(const std::string& module) const {
        std::vector<Json::Value> items;
        for (const Json::Value& category : resources_[module]["category"]) {
            for (const Json::Value& item : category) {
                items.push_back(item);
            }
        }
        return items;
    }
    std::vector<bool> Previews(const std::string& folder, int count) const {
        return PageProject::PreviewsPresent(Module(folder), count);
    }

    test::TempFolder work_;
    test::LogCapture log_;
    std::string resources_text_;
    std::string categories_text_;
    Json::Value resources_;
};

bool IsInt(const Json::Value& v) {
    return v.isInt();
}
bool IsString(const Json::Value& v) {
    return v.isString();
}
bool IsBool(const Json::Value& v) {
    return v.isBool();
}
bool IsStringArray(const Json::Value& v) {
    if (!v.isArray()) {
        return false;
    }
    for (const Json::Value& item : v) {
        if (!item.isString()) {
            return false;
        }
    }
    return true;
}

TEST_F(TemplateProjectTest, ListsHaveThePagesShape) {
    const Json::Value categories = Parse(categories_text_);
    ASSERT_EQ(resources_.getMemberNames(), (std::vector<std::string>{"桌面", "通话", "锁屏"}));
    ASSERT_EQ(categories.getMemberNames(), resources_.getMemberNames());
    const std::pair<const char*, bool (*)(const Json::Value&)> common[] = {
        {"mScreenID", IsInt},  {"mElementID", IsInt}, {"mTag", IsString}, {"mCategory", IsString},
        {"left", IsInt},       {"top", IsInt},        {"width", IsInt},   {"height", IsInt},
        {"mReadOnly", IsBool}, {"mResIndex", IsInt},  {"mRedraw", IsBool}};
    int emptyCategories = 0;
    for (const std::string& module : resources_.getMemberNames()) {
        SCOPED_TRACE(module);
        const Json::Value& list = resources_[module];
        EXPECT_TRUE(list["path"].isString());
        EXPECT_EQ(list["version"].asString(), "1.0");
        EXPECT_EQ(list["screen_width"].asInt(), 1080);
        EXPECT_EQ(list["screen_height"].asInt(), 1920);
        EXPECT_TRUE(list["screen_count"].isInt());
        EXPECT_TRUE(IsStringArray(categories[module]));
        EXPECT_FALSE(categories[module].empty());
        for (const std::string& category : list["category"].getMemberNames()) {
            const Json::Value& items = list["category"][category];
            ASSERT_TRUE(items.isArray() || items.isNull()) << category;
            emptyCategories += items.empty() ? 1 : 0;
            for (const Json::Value& item : items) {
                for (const auto& [name, check] : common) {
                    EXPECT_TRUE(check(item[name])) << category << " " << name;
                }
                EXPECT_FALSE(item["mReadOnly"].asBool());
                EXPECT_EQ(item["mCategory"].asString(), category);
                const std::string tag = item["mTag"].asString();
                if (tag == "text" || tag == "colorblock") {
                    EXPECT_TRUE(IsString(item["color"]));
                    EXPECT_EQ(item["color"].asString().size(), 9u);
                    EXPECT_TRUE(IsString(item["mDesc"]));
                } else {
                    EXPECT_TRUE(IsInt(item["mWidth"]) && IsInt(item["mHeight"]));
                    EXPECT_TRUE(IsInt(item["mImgType"]));
                    ASSERT_TRUE(IsStringArray(item["mRes"]) && IsStringArray(item["mDesc"]));
                    EXPECT_EQ(item["mDesc"].size(), item["mRes"].size());
                    for (const Json::Value& path : item["mRes"]) {
                        EXPECT_TRUE(fs::is_regular_file(path.asString())) << path.asString();
                    }
                }
            }
        }
    }
    // The call screen's caller details are all read-only: listed empty.
    EXPECT_GE(emptyCategories, 1);
    EXPECT_TRUE(resources_["通话"]["category"]["来电信息"].isArray());
    EXPECT_EQ(resources_["通话"]["category"]["来电信息"].size(), 0u);
}

TEST_F(TemplateProjectTest, ClicksAndOutlines) {
    // Every listed element of the launcher's screens is hit at its centre,
    // unless something editable lies above it there.
    for (const Json::Value& item : Listed("桌面")) {
        const int x = item["left"].asInt() + item["width"].asInt() / 2;
        const int y = item["top"].asInt() + item["height"].asInt() / 2;
        const Json::Value hits = Parse(GetElementByXY("桌面", item["mScreenID"].asInt(), "", x, y));
        ASSERT_FALSE(hits.empty()) << item.toStyledString();
        EXPECT_GE(hits[0]["mElementID"].asInt(), item["mElementID"].asInt());
        EXPECT_FALSE(hits[0]["mReadOnly"].asBool());
        const Json::Value rects = Parse(
            GetRectByElementID("桌面", item["mScreenID"].asInt(), item["mElementID"].asInt()));
        EXPECT_FALSE(rects.empty());
    }
    // The dock's first icon on screen 0, moved by a settings editor: the
    // outline follows it.
    const Json::Value dock = Parse(resources_text_)["桌面"]["category"]["图标"][0];
    const int id = dock["mElementID"].asInt();
    ASSERT_EQ(dock["mScreenID"].asInt(), 0);
    ASSERT_TRUE(SetElementGeometry("桌面", id, 5, 6, 70, 80, 0, true));
    const Json::Value outline = Parse(GetRectByElementID("桌面", 0, id));
    ASSERT_EQ(outline.size(), 1u);
    EXPECT_EQ(outline[0]["left"].asInt(), 5);
    EXPECT_EQ(outline[0]["top"].asInt(), 6);
    EXPECT_EQ(outline[0]["width"].asInt(), 70);
    EXPECT_EQ(outline[0]["height"].asInt(), 80);
    const Json::Value moved = Parse(GetElementByXY("桌面", 0, "", 40, 40));
    EXPECT_EQ(moved[0]["mElementID"].asInt(), id);
    EXPECT_EQ(moved[0]["width"].asInt(), 70);
}

TEST_F(TemplateProjectTest, ThumbnailsAndRedraws) {
    for (const char* module : {"桌面", "锁屏", "通话"}) {
        ASSERT_TRUE(DrawThumbNail(module, 216, 384)) << module;
    }
    const struct {
        const char* folder;
        int screens;
    } modules[] = {{"launcher", 6}, {"lockscreen", 1}, {"screencall", 1}};
    for (const auto& m : modules) {
        for (int n = 1; n <= m.screens; ++n) {
            gfx::ImageInfo info;
            ASSERT_TRUE(gfx::ReadImageInfo(PageProject::Thumbnail(Module(m.folder), n), &info));
            EXPECT_EQ(info.width, 216);
            EXPECT_EQ(info.height, 384);
        }
    }
    fs::remove(PageProject::Preview(Module("launcher"), 2));
    ASSERT_TRUE(DrawThumbNail("桌面", 216, 384));
    EXPECT_TRUE(fs::exists(PageProject::Preview(Module("launcher"), 2)));

    // With a thumbnail size set, a redraw leaves every preview in place:
    // those it does not draw are drawn for their thumbnails.
    PageProject::DeletePreviews(Module("launcher"));
    ASSERT_TRUE(RedrawAll());
    EXPECT_EQ(Previews("launcher", 6), std::vector<bool>(6, true));
    ASSERT_TRUE(RedrawAll1());
}

TEST_F(TemplateProjectTest, ImageReplacement) {
    const std::string red = work_ / "red.png";
    test::WriteSolidPng(red, 180, 180, test::Rgb(255, 0, 0));
    // Screen 1's calendar background lives in drawable-nodpi as
    // calendar_bg_no.png; its twin in drawable-xxhdpi is replaced too, and
    // only screens 0 and 1 are drawn again.
    const Json::Value calendar = Parse(resources_text_)["桌面"]["category"]["日历"][0];
    ASSERT_EQ(calendar["mScreenID"].asInt(), 1);
    ASSERT_EQ(fs::path(calendar["mRes"][0].asString()).filename(), "calendar_bg_no.png");
    PageProject::DeletePreviews(Module("launcher"));
    ASSERT_TRUE(SaveThemeImage("桌面", 1, calendar["mElementID"].asInt(), 0, red));
    EXPECT_EQ(Previews("launcher", 6), (std::vector<bool>{true, true, false, false, false, false}));
    const std::string res = Module("launcher") + "/content/res/";
    EXPECT_EQ(test::ReadText(res + "drawable-nodpi/calendar_bg_no.png"), test::ReadText(red));
    EXPECT_EQ(test::ReadText(res + "drawable-xxhdpi/calendar_bg.png"), test::ReadText(red));

    // The wallpaper, element 0, is on every screen.
    const std::string wallpaper = work_ / "wallpaper.png";
    test::WriteSolidPng(wallpaper, 1080, 1920, test::Rgb(0, 0, 0), false);
    PageProject::DeletePreviews(Module("launcher"));
    ASSERT_TRUE(SaveThemeImage("桌面", 1, 0, 0, wallpaper));
    EXPECT_EQ(Previews("launcher", 6), std::vector<bool>(6, true));

    // Leaving an app icon out of packed themes and taking it in again.
    IconExclusionList::Reset();
    const Json::Value app = Parse(resources_text_)["桌面"]["category"]["图标"][4];
    ASSERT_GE(app["mScreenID"].asInt(), 2);
    const int s = app["mScreenID"].asInt();
    const int e = app["mElementID"].asInt();
    const std::string name = fs::path(app["mRes"][0].asString()).filename();
    ASSERT_TRUE(SaveDeleteImage("桌面", s, e, 0, "0"));
    ASSERT_TRUE(SaveDeleteImage("桌面", s, e, 0, "0"));
    EXPECT_EQ(IconExclusionList::Text(), IconExclusionList::BuiltIn() + ("," + name + "," + name));
    ASSERT_TRUE(SaveDeleteImage("桌面", s, e, 0, "1"));
    EXPECT_EQ(IconExclusionList::Text(), IconExclusionList::BuiltIn());

    const std::string info = GetImageInfo(res + "drawable-xxhdpi/hotseat_bg.9.png");
    EXPECT_TRUE(Parse(info)["is9png"].asBool()) << info;
    EXPECT_EQ(GetImageInfo(res + "drawable-xxhdpi/wallpaper_grass.png"),
              "{\n   \"height\" : 1920,\n   \"is9png\" : false,\n   \"width\" : 1080\n}\n");
}

TEST_F(TemplateProjectTest, ColourChangesKeepAlphaAndReachColorsXml) {
    const std::string values = Module("lockscreen") + "/content/res/values/";
    const std::string integers = test::ReadText(values + "integers.xml");
    const Json::Value text = Parse(resources_text_)["锁屏"]["category"]["文字"][0];
    const std::string alpha = text["color"].asString().substr(1, 2);
    ASSERT_TRUE(
        SaveThemeColor("锁屏", text["mScreenID"].asInt(), text["mElementID"].asInt(), "#123456"));
    const Json::Value after =
        Parse(GetElementByXY("锁屏", 0, "", text["left"].asInt(), text["top"].asInt()));
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(after[0]["color"].asString(), "#" + alpha + "123456");
    std::string upper = alpha;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    EXPECT_NE(test::ReadText(values + "colors.xml").find(">#" + upper + "123456<"),
              std::string::npos);
    EXPECT_EQ(test::ReadText(values + "integers.xml"), integers);
}

}  // namespace
}  // namespace sw
