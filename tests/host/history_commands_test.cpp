// Undo and redo of the editor's edits, through the command tables as the
// pages call them: every kind of edit is one step, undo puts back the exact
// bytes of the project's files (and removes the files the edit made), redo
// the bytes the edit wrote, and the open project's model follows the files.
#include <gtest/gtest.h>
#include <json/reader.h>

#include <filesystem>
#include <map>

#include "core/files.h"
#include "core/paths.h"
#include "engine/edit_history.h"
#include "engine/icon_exclusion_list.h"
#include "engine/theme_project.h"
#include "gfx/image.h"
#include "gfx/image_encode.h"
#include "harness.h"
#include "host/project_tasks.h"
#include "settings/golden_folder.h"

namespace sw::host::test {
namespace {

namespace fs = std::filesystem;

// Every file of the project but the preview pictures, which are drawn again
// from the others: relative path -> bytes.
using Files = std::map<std::string, std::string>;

Files ProjectFiles(const std::string& root) {
    Files files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string relative = fs::relative(entry.path(), root).string();
        if (entry.is_regular_file() && relative.find("/preview/") == std::string::npos) {
            files[relative] = ReadFile(entry.path().string());
        }
    }
    return files;
}

std::vector<std::string> Changed(const Files& before, const Files& after) {
    std::vector<std::string> changed;
    for (const auto& [path, bytes] : after) {
        auto old = before.find(path);
        if (old == before.end() || old->second != bytes) {
            changed.push_back(path);
        }
    }
    for (const auto& [path, bytes] : before) {
        if (!after.contains(path)) {
            changed.push_back(path);
        }
    }
    return changed;
}

// The open project's model as far as edits change it: every element's
// rectangle, text size and colour.
std::string ModelSummary() {
    std::string summary;
    const ProjectReader project = ReadProject();
    for (const auto& module : project->modules()) {
        for (const auto& screen : module->screens) {
            for (const auto& element : screen.elements) {
                summary +=
                    std::to_string(element.screen_id) + "/" + std::to_string(element.element_id) +
                    " " + std::to_string(element.rect.left) + "," +
                    std::to_string(element.rect.top) + "," + std::to_string(element.rect.right) +
                    "," + std::to_string(element.rect.bottom) + " s" +
                    std::to_string(element.size) + " c" + std::to_string(element.color) + "\n";
            }
        }
    }
    return summary;
}

// The first element of the module with this tag on a screen from minScreen.
const ThemeElement* FindTagged(const ThemeProject& project, const char* module, const char* tag,
                               int minScreen) {
    const ThemeModule* found = project.FindModule(module);
    for (const auto& screen : found->screens) {
        for (const auto& element : screen.elements) {
            if (element.tag == tag && element.screen_id >= minScreen &&
                (std::string(tag) != "text" || element.HasAttribute("color"))) {
                return &element;
            }
        }
    }
    return nullptr;
}

class HistoryCommandsTest : public ::testing::Test {
  protected:
    HistoryCommandsTest() {
        IconExclusionList::Reset();
        project_file_ = harness_.folder() / "P/theme.wtpj";
        WriteFile(project_file_, "{\"name\": \"theme\", \"dpi\": \"xxhdpi\", \"density\": 320}");
        fs::copy(SKINWRIGHT_SOURCE_DIR "/template", project_dir(), fs::copy_options::recursive);
        EXPECT_TRUE(OpenProjectAtStart(project_file_));
        harness_.host().SetTopWindow(harness_.host().main_window());
        main_ = std::make_unique<PageClient>(harness_.port(), "main", harness_.cookie());
        for (const char* list : {"SetResourceList", "SetCategoryList"}) {
            main_->Define(list, [](const Json::Value&) { return std::string(); });
        }
    }

    ~HistoryCommandsTest() override { IconExclusionList::Reset(); }

    std::string project_dir() const { return harness_.folder() / "P/theme"; }
    std::string Folder() const { return harness_.folder() / "P"; }

    std::unique_ptr<PageClient> NextPopup(PageClient& root) {
        auto open = root.Next([](const Json::Value& m) { return IsPopup(m, "open"); });
        EXPECT_TRUE(open);
        if (!open) {
            return nullptr;
        }
        return std::make_unique<PageClient>(harness_.port(), (*open)["window"].asString(),
                                            harness_.cookie());
    }

    // A settings popup over the main window, for the forms' commands.
    PageClient& Popup() {
        if (!popup_) {
            EXPECT_TRUE(main_->Call("OpenAttribute"));
            popup_ = NextPopup(*main_);
        }
        return *popup_;
    }

    // Undo or Redo; the page's answer parsed.
    Json::Value Step(const char* command) {
        auto answer = main_->Call(command, Json::Value(), 60s);
        EXPECT_TRUE(answer) << command;
        Json::Value value;
        if (answer) {
            Json::Reader().parse((*answer)["value"].asString(), value);
        }
        return value;
    }

    Json::Value State() {
        auto answer = main_->Call("GetHistoryState");
        Json::Value value;
        if (answer) {
            Json::Reader().parse((*answer)["value"].asString(), value);
        }
        return value;
    }

    // A 1080 x 1920 picture of one colour, as a designer's replacement.
    std::string Picture(const std::string& name, std::uint32_t argb) {
        gfx::Image image = gfx::Image::Create(1080, 1920, false);
        const gfx::Pixel pixel{static_cast<std::uint8_t>(argb),
                               static_cast<std::uint8_t>(argb >> 8),
                               static_cast<std::uint8_t>(argb >> 16), 0xFF};
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                image.SetPixel(x, y, pixel);
            }
        }
        image.MarkDirty();
        const std::string path = harness_.folder() / name;
        EXPECT_TRUE(name.ends_with(".png") ? gfx::SavePng(image, path)
                                           : gfx::SaveJpeg(image, path));
        return path;
    }

    HostHarness harness_;
    std::string project_file_;
    std::unique_ptr<PageClient> main_;
    std::unique_ptr<PageClient> popup_;
};

TEST_F(HistoryCommandsTest, EveryKindOfEditIsUndoneAndRedoneByteForByte) {
    const ThemeElement* icon = nullptr;
    const ThemeElement* text = nullptr;
    std::string wallpaperPicture;
    {
        const ProjectReader project = ReadProject();
        icon = FindTagged(*project, "桌面", "icon", 2);
        text = FindTagged(*project, "桌面", "text", 0);
        ASSERT_NE(icon, nullptr);
        ASSERT_NE(text, nullptr);
    }
    const int iconScreen = icon->screen_id;
    const int iconElement = icon->element_id;
    const int textScreen = text->screen_id;
    const int textElement = text->element_id;
    const std::string wallpaper =
        ReadProject()->FindModule("桌面")->screens[0].elements[0].images[0];
    wallpaperPicture = Picture(wallpaper.ends_with(".png") ? "new.png" : "new.jpg", 0xFF2040C0u);

    using sw::test::CallscreenList;
    using sw::test::ValueList;
    using sw::test::With;
    struct Case {
        const char* what;
        bool popup;  // the command belongs to a settings popup
        const char* command;
        Json::Value args;
        bool movesElements;  // the model changes with the files
        bool excludesIcon;
        std::string step;  // the name the page shows for undo and redo
    };
    const std::string wallpaperStep = "替换图片 " + FileNameOf(wallpaper);
    const std::string colorStep = "文字颜色 " + text->Attribute("color");
    const Case cases[] = {
        {"wallpaper replaced", false, "SaveThemeImage", Array({"桌面", 0, 0, 0, wallpaperPicture}),
         false, false, wallpaperStep},
        {"icon left out of packing", false, "SaveDeleteImage",
         Array({"桌面", iconScreen, iconElement, 0, "0"}), false, true, "图标打包选择"},
        {"text colour", false, "SaveThemeColor", Array({"桌面", textScreen, textElement, "12AB34"}),
         true, false, colorStep},
        {"launcher attributes", true, "SaveAttribute",
         Array({"theme", Folder(), "1", "true", "1", "9dp", "9dp", "13sp", "31sp", "#FF112233",
                "#FF445566"}),
         false, false, "属性设置"},
        {"call screen (moves its buttons)", true, "SaveCallscreen",
         Array({"theme", Folder(),
                ValueList(With(CallscreenList(), {{"answerx", "120px"}, {"answery", "1400px"}}))}),
         true, false, "通话布局"},
        {"lock screen template switch", true, "SaveLockscreen",
         Array({"3", "theme", Folder(), ValueList(sw::test::LockscreenList()), "2", "2", "2", "2"}),
         true, false, "锁屏布局"},
        {"weather widget", true, "SaveWeather",
         Array({"theme", Folder(), ValueList(sw::test::WeatherList())}), true, false, "天气布局"},
        {"lock-screen animation", true, "saveAnimator",
         Array({"1", "theme", Folder(),
                ValueList(With(sw::test::AnimatorList(),
                               {{"AnimatorTimes", "7"}, {"AnimatorX", "40px"}}))}),
         true, false, "锁屏动画"},
        {"theme description", true, "SaveMetaJson",
         Array({"theme", Folder(), "2.0", "新的描述", "设计师", "新主题"}), false, false,
         "主题描述"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Files before = ProjectFiles(project_dir());
        const std::string modelBefore = ModelSummary();
        const std::string excludedBefore = IconExclusionList::Text();
        PageClient& page = c.popup ? Popup() : *main_;
        ASSERT_TRUE(page.Call(c.command, c.args, 60s));
        const Files after = ProjectFiles(project_dir());
        const std::string excludedAfter = IconExclusionList::Text();
        if (c.excludesIcon) {
            EXPECT_NE(excludedAfter, excludedBefore);
        } else {
            EXPECT_FALSE(Changed(before, after).empty()) << "the edit changed no file";
        }
        EXPECT_EQ(State()["undo"].asString(), c.step);
        const std::string modelAfter = ModelSummary();

        const Json::Value undone = Step("Undo");
        EXPECT_TRUE(undone["done"].asBool());
        EXPECT_EQ(Changed(before, ProjectFiles(project_dir())), std::vector<std::string>{});
        EXPECT_EQ(IconExclusionList::Text(), excludedBefore);
        if (c.movesElements) {
            EXPECT_EQ(ModelSummary(), modelBefore);
        }
        EXPECT_EQ(State()["redo"].asString(), c.step);

        const Json::Value redone = Step("Redo");
        EXPECT_TRUE(redone["done"].asBool());
        EXPECT_EQ(Changed(after, ProjectFiles(project_dir())), std::vector<std::string>{});
        EXPECT_EQ(IconExclusionList::Text(), excludedAfter);
        if (c.excludesIcon) {
            ASSERT_EQ(redone["icons"].size(), 1u);
            EXPECT_TRUE(redone["icons"][0]["excluded"].asBool());
        }
        if (c.movesElements && c.popup == false) {
            EXPECT_EQ(ModelSummary(), modelAfter);
        }
    }
    // Nine steps, all of them done again: nothing left to redo, the last to undo.
    EXPECT_EQ(State()["redo"].asString(), "");
    EXPECT_EQ(State()["undo"].asString(), "主题描述");
    // The history is kept beside the project, outside its folder.
    EXPECT_TRUE(fs::is_directory(harness_.folder() / "P/theme.history"));
    if (popup_) {
        popup_->Call("CloseWindow");
    }
}

TEST_F(HistoryCommandsTest, AStepChangedOutsideIsRefusedWithAMessage) {
    const std::string picture = Picture("new.png", 0xFF00FF00u);
    const std::string wallpaper =
        ReadProject()->FindModule("桌面")->screens[0].elements[0].images[0];
    const std::string original = ReadFile(wallpaper);
    ASSERT_TRUE(main_->Call("SaveThemeImage", Array({"桌面", 0, 0, 0, picture}), 60s));
    // Another program saves its own picture over the replaced one.
    WriteFile(wallpaper, "the designer's other work");
    const std::uint64_t id = main_->Post("Undo");
    auto alert = NextPopup(*main_);
    ASSERT_TRUE(alert);
    const std::string message = ShownMessage(*alert);
    const std::string relative = fs::relative(wallpaper, project_dir()).string();
    EXPECT_NE(message.find("无法撤销“替换图片 " + FileNameOf(wallpaper) + "”"), std::string::npos)
        << message;
    EXPECT_NE(message.find(relative), std::string::npos) << message;
    alert->Call("CloseWindow");
    auto answer = main_->Next([id](const Json::Value& m) { return IsResult(m, id); }, 30s);
    ASSERT_TRUE(answer);
    EXPECT_NE((*answer)["value"].asString().find("\"done\" : false"), std::string::npos);
    EXPECT_EQ(ReadFile(wallpaper), "the designer's other work");
    // Put back as the step left it, the undo goes through.
    EXPECT_NE(original, "");
    ASSERT_TRUE(CopyFileAtomic(picture, wallpaper));
    EXPECT_TRUE(Step("Undo")["done"].asBool());
    EXPECT_EQ(ReadFile(wallpaper), original);
}

// A history index that cannot be read (here nested 5000 arrays deep) is set
// aside: the edit still answers true, the designer is told once, and undo
// works on the new history.
TEST_F(HistoryCommandsTest, AnUnreadableHistoryIsSetAsideWithOneAlert) {
    const std::string index = HistoryFolderOf(project_dir()) + "/steps.json";
    fs::create_directories(HistoryFolderOf(project_dir()));
    WriteFile(index, std::string(5000, '['));
    const Json::Value state = State();
    EXPECT_EQ(state["undo"].asString(), "");
    EXPECT_EQ(state["redo"].asString(), "");

    const std::string picture = Picture("new.png", 0xFF0000FFu);
    const std::uint64_t id = main_->Post("SaveThemeImage", Array({"桌面", 0, 0, 0, picture}));
    auto alert = NextPopup(*main_);
    ASSERT_TRUE(alert);
    const std::string message = ShownMessage(*alert);
    EXPECT_NE(message.find("撤销记录无法读取"), std::string::npos) << message;
    EXPECT_NE(message.find("steps.json.unreadable-1"), std::string::npos) << message;
    alert->Call("CloseWindow");
    auto answer = main_->Next([id](const Json::Value& m) { return IsResult(m, id); }, 60s);
    ASSERT_TRUE(answer);
    EXPECT_TRUE((*answer)["value"].asBool()) << (*answer).toStyledString();
    EXPECT_TRUE(fs::exists(index + ".unreadable-1"));

    // Told once: the undo of the new history shows no alert.
    EXPECT_EQ(State()["undo"].asString(),
              "替换图片 " +
                  FileNameOf(ReadProject()->FindModule("桌面")->screens[0].elements[0].images[0]));
    EXPECT_TRUE(Step("Undo")["done"].asBool());
}

TEST_F(HistoryCommandsTest, TheHistoryOutlivesClosingAndReopeningTheProject) {
    const std::string picture = Picture("new.png", 0xFFFF0000u);
    const std::string wallpaper =
        ReadProject()->FindModule("桌面")->screens[0].elements[0].images[0];
    const std::string original = ReadFile(wallpaper);
    ASSERT_TRUE(main_->Call("SaveThemeImage", Array({"桌面", 0, 0, 0, picture}), 60s));
    // Another project in between, then this one again.
    WriteFile(harness_.folder() / "Q/other.wtpj",
              "{\"name\": \"other\", \"dpi\": \"xxhdpi\", \"density\": 320}");
    fs::copy(SKINWRIGHT_SOURCE_DIR "/template", harness_.folder() / "Q/other",
             fs::copy_options::recursive);
    ASSERT_TRUE(OpenProjectAtStart(harness_.folder() / "Q/other.wtpj"));
    EXPECT_EQ(State()["undo"].asString(), "");
    ASSERT_TRUE(OpenProjectAtStart(project_file_));
    EXPECT_EQ(State()["undo"].asString(), "替换图片 " + FileNameOf(wallpaper));
    EXPECT_TRUE(Step("Undo")["done"].asBool());
    EXPECT_EQ(ReadFile(wallpaper), original);
}

}  // namespace
}  // namespace sw::host::test
