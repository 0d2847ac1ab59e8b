#include "engine/page_commands.h"

#include <gtest/gtest.h>
#include <json/reader.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <latch>
#include <thread>

#include "engine/icon_exclusion_list.h"
#include "engine/page_fixture.h"
#include "engine/page_lists.h"

namespace sw {
namespace {

namespace fs = std::filesystem;
using test::PageProject;

Json::Value Parse(const std::string& text) {
    Json::Value value;
    EXPECT_TRUE(Json::Reader().parse(text, value)) << text;
    return value;
}

// Each case runs in a process of its own, so the process's project starts
// empty.
class PageCommandsTest : public ::testing::Test {
  protected:
    PageCommandsTest() : log_(fixture_.root()) {}
    void Open() { ASSERT_TRUE(OpenProject(fixture_.project_file())); }

    PageProject fixture_;
    test::LogCapture log_;
};

TEST_F(PageCommandsTest, NothingBeforeAProjectIsLoaded) {
    std::string resources = "untouched";
    std::string categories = "untouched";
    EXPECT_FALSE(BuildPageLists(resources, categories));
    EXPECT_EQ(resources, "untouched");
    EXPECT_FALSE(DrawThumbNail("桌面", 54, 96));
    EXPECT_EQ(GetElementByXY("桌面", 0, "", 10, 10), "[]");
    EXPECT_TRUE(RedrawAll());
}

TEST_F(PageCommandsTest, ListsAreTheStyledTextsOfTheOpenProject) {
    Open();
    std::string resources;
    std::string categories;
    ASSERT_TRUE(BuildPageLists(resources, categories));
    const ProjectReader project = ReadProject();
    EXPECT_EQ(resources, StyledJson(BuildResourceList(*project)));
    EXPECT_EQ(categories, StyledJson(BuildCategoryList(*project)));
    EXPECT_EQ(Parse(categories)["锁屏"].size(), 2u);
}

TEST_F(PageCommandsTest, GetElementByXYAnswersJsonText) {
    Open();
    const std::string text = GetElementByXY("桌面", 0, "ignored", 10, 10);
    const Json::Value hits = Parse(text);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0]["mElementID"].asInt(), 0);
    EXPECT_EQ(hits[1]["mElementID"].asInt(), 3);
    EXPECT_EQ(text.substr(0, 2), "[\n");
    EXPECT_EQ(text.back(), '\n');

    const Json::Value rects = Parse(GetRectByElementID("桌面", 3, 1));
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[1]["left"].asInt(), 350);
}

TEST_F(PageCommandsTest, JsonCommandsAnswerEmptyOnEveryFailure) {
    Open();
    const std::function<std::string()> calls[] = {
        [] { return GetElementByXY("无此模块", 0, "", 10, 10); },
        [] { return GetElementByXY("桌面", 4, "", 10, 10); },
        [] { return GetElementByXY("桌面", -1, "", 10, 10); },
        [] { return GetElementByXY("桌面", 0, "", 600, 10); },
        [] { return GetElementByXY("锁屏", 0, "", 10, 10); },
        [] { return GetRectByElementID("无此模块", 0, 0); },
        [] { return GetRectByElementID("桌面", 0, 3); },
        [] { return GetRectByElementID("桌面", 0, 99); },
        [] { return GetRectByElementID("桌面", 99, 0); },
        [] { return GetRectByElementID("桌面", -1, -1); },
    };
    for (std::size_t i = 0; i < std::size(calls); ++i) {
        EXPECT_EQ(calls[i](), "[]") << "call " << i;
    }
}

TEST_F(PageCommandsTest, CommandsRefuseUnknownModulesAndIndices) {
    Open();
    const std::string red = fixture_.root() + "/red.png";
    test::WriteSolidPng(red, 4, 4, test::Rgb(255, 0, 0));
    const std::function<bool()> calls[] = {
        [] { return DrawThumbNail("无此模块", 54, 96); },
        [] { return Redraw("无此模块", 0, 0, 0); },
        [] { return Redraw("桌面", 9, 0, 0); },
        [] { return Redraw("桌面", 0, 99, 0); },
        [] { return Redraw("桌面", 1, 4, 99); },
        [&] { return SaveThemeImage("无此模块", 0, 0, 0, red); },
        [&] { return SaveThemeImage("桌面", 0, 99, 0, red); },
        [&] { return SaveThemeImage("桌面", -3, 0, 0, red); },
        [&] { return SaveThemeImage("桌面", 1, 4, 4, red); },
        [] { return SaveDeleteImage("无此模块", 1, 1, 0, "0"); },
        [] { return SaveDeleteImage("桌面", 1, 99, 0, "0"); },
        [] { return SaveThemeColor("无此模块", 0, 1, "#000000"); },
        [] { return SaveThemeColor("桌面", 0, 99, "#000000"); },
        [] { return SaveThemeColor("桌面", 99, 0, "#000000"); },
        [] { return SetElementGeometry("无此模块", 0, 0, 0, 1, 1, 0, true); },
        [] { return SetElementGeometry("桌面", 99, 0, 0, 1, 1, 0, false); },
    };
    for (std::size_t i = 0; i < std::size(calls); ++i) {
        EXPECT_FALSE(calls[i]()) << "call " << i;
    }
    EXPECT_EQ(IconExclusionList::Text(), IconExclusionList::BuiltIn());
}

// The page hears that the colour was not saved.
TEST_F(PageCommandsTest, AColourThatCannotBeSavedIsAFailure) {
    Open();
    const std::string colors = fixture_.launcher() + "/content/res/values/colors.xml";
    fs::remove(colors);
    fs::create_directories(colors + "/inside");
    EXPECT_FALSE(SaveThemeColor("桌面", 0, 1, "#0a0b0c"));
    EXPECT_TRUE(log_.HasSequence({"ERROR\tsave " + colors + " failed."}));
}

TEST_F(PageCommandsTest, EditsReachTheFilesOfTheOpenProject) {
    Open();
    ASSERT_TRUE(DrawThumbNail("桌面", 54, 96));
    ASSERT_TRUE(SaveThemeColor("桌面", 0, 1, "#0a0b0c"));
    EXPECT_NE(
        test::ReadText(fixture_.launcher() + "/content/res/values/colors.xml").find("#FF0A0B0C"),
        std::string::npos);
    const std::string red = fixture_.root() + "/red.png";
    test::WriteSolidPng(red, 4, 4, test::Rgb(255, 0, 0));
    ASSERT_TRUE(SaveThemeImage("桌面", 1, 1, 0, red));
    EXPECT_EQ(test::ReadText(fixture_.launcher() + "/content/res/drawable-xxhdpi/app_icon.png"),
              test::ReadText(red));
    ASSERT_TRUE(Redraw("桌面", 1, 4, 2));
    EXPECT_EQ(Parse(GetElementByXY("桌面", 1, "", 30, 910))[0]["mResIndex"].asInt(), 2);
    ASSERT_TRUE(SetElementGeometry("桌面", 2, 300, 310, 40, 20, 0, true));
    EXPECT_EQ(Parse(GetElementByXY("桌面", 0, "", 310, 315))[0]["mElementID"].asInt(), 2);
    EXPECT_TRUE(RedrawAll());
    EXPECT_TRUE(RedrawAll1());
    EXPECT_TRUE(SaveColors());
}

TEST_F(PageCommandsTest, ImageInfo) {
    const std::string folder = fixture_.root() + "/images/";
    test::WriteSolidPng(folder + "plain.png", 24, 20, test::Rgb(1, 2, 3));
    test::WriteSolidPng(folder + "opaque.png", 5, 5, test::Rgb(0, 0, 0), false);
    test::WriteSolidJpeg(folder + "photo.jpg", 30, 10, test::Rgb(9, 9, 9));
    // Black marks in the middle of the top row and left column.
    const auto marks = [](bool top, bool left) {
        return [top, left](int x, int y) {
            const bool mark = (top && y == 0 && x == 2) || (left && x == 0 && y == 2);
            const bool border = x == 0 || y == 0 || x == 4 || y == 4;
            return mark ? test::Bgra(0, 0, 0, 255)
                        : (border ? test::Bgra(0, 0, 0, 0) : test::Rgb(200, 100, 50));
        };
    };
    test::WritePng(folder + "patch.9.png", 5, 5, marks(true, true));
    test::WritePng(folder + "left_only.9.png", 5, 5, marks(false, true));
    test::WriteText(folder + "broken.png", "\x89PNG\r\n\x1a\n broken");
    const struct {
        std::string file;
        int width;
        int height;
        bool ninePatch;
    } cases[] = {
        {"missing.png", 0, 0, false},     {"broken.png", 0, 0, false},
        {"plain.png", 24, 20, false},     {"opaque.png", 5, 5, false},
        {"photo.jpg", 30, 10, false},     {"patch.9.png", 5, 5, true},
        {"left_only.9.png", 5, 5, false},
    };
    for (const auto& c : cases) {
        const std::string text = GetImageInfo(folder + c.file);
        EXPECT_EQ(text, "{\n   \"height\" : " + std::to_string(c.height) +
                            ",\n   \"is9png\" : " + (c.ninePatch ? "true" : "false") +
                            ",\n   \"width\" : " + std::to_string(c.width) + "\n}\n")
            << c.file;
    }
}

// Commands and an open on two threads: every command sees the old project
// or the new one whole, never one being replaced.
// Opens put their new project in place only while commands run back to back,
// so the replacements fall in the middle of commands: each command must hold
// the project for all of its work (the address checker reports a project
// destroyed under a command that let go of it too early).
TEST_F(PageCommandsTest, CommandsNeverSeeAProjectBeingReplaced) {
    Open();
    std::latch running(1);
    SetProjectReplaceHook([&running] { running.wait(); });
    std::atomic<bool> done = false;
    std::atomic<bool> opened = true;
    std::thread opener([&] {
        for (int i = 0; i < 5; ++i) {
            opened = OpenProject(fixture_.project_file()) && opened;
        }
        done = true;
    });
    bool whole = true;
    bool first = true;
    do {
        whole = Parse(GetElementByXY("桌面", 0, "", 10, 10)).size() == 2 &&
                DrawThumbNail("锁屏", 27, 48);
        if (first) {
            running.count_down();
            first = false;
        }
    } while (whole && !done);
    EXPECT_TRUE(whole);
    opener.join();
    SetProjectReplaceHook(nullptr);
    EXPECT_TRUE(opened);
}

}  // namespace
}  // namespace sw
