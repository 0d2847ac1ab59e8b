// The shipped template folder: complete for the editors, the packer and the
// pages, and every module of a project made from it loads and draws.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>

#include "core/paths.h"
#include "engine/create_project.h"
#include "engine/module_loader.h"
#include "engine/screen_drawing.h"
#include "engine/theme_project.h"
#include "settings/settings_fixture.h"
#include "settings/template_check.h"

namespace sw {
namespace {

using test::ReadText;
using test::WriteText;

const std::string kShippedTemplate = std::string(SKINWRIGHT_SOURCE_DIR) + "/template";

std::string Joined(const std::vector<std::string>& lines) {
    std::ostringstream text;
    for (const std::string& line : lines) {
        text << line << "\n";
    }
    return text.str();
}

// Removes the lines of a file that hold needle; the count of lines removed.
int RemoveLines(const std::string& path, const std::string& needle) {
    std::istringstream in(ReadText(path));
    std::string kept;
    int removed = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.find(needle) != std::string::npos) {
            ++removed;
        } else {
            kept += line + "\n";
        }
    }
    WriteText(path, kept);
    return removed;
}

TEST(TemplateCheckTest, ShippedTemplateIsComplete) {
    std::vector<std::string> problems = test::CheckTemplate(kShippedTemplate);
    EXPECT_TRUE(problems.empty()) << Joined(problems);
}

// The check notices each kind of loss: a file, a value, a layout element, a
// screen-0 element id, an image, a description member.
TEST(TemplateCheckTest, NoticesWhatIsMissing) {
    struct Case {
        const char* what;
        std::function<void(const std::string& root)> damage;
        const char* problem;
    };
    const Case cases[] = {
        {"a lock-screen layout",
         [](const std::string& root) {
             std::filesystem::remove(
                 root + "/lockscreen/content/lockscreen3/content/res/hdpi/lockscreen.xml");
         },
         "missing file lockscreen/content/lockscreen3/content/res/hdpi/lockscreen.xml"},
        {"a widget value",
         [](const std::string& root) {
             EXPECT_EQ(RemoveLines(root + "/launcher/template_values.xml", "\"widgets_bg_y\""), 1);
         },
         "missing value widgets_bg_y in launcher/template_values.xml"},
        {"a weather layout element",
         [](const std::string& root) {
             EXPECT_EQ(
                 RemoveLines(root + "/launcher/content/res/xml/weatherconfig1.xml", "<TextWeek "),
                 1);
         },
         "missing layout element TextWeek in launcher/content/res/xml/weatherconfig1.xml"},
        {"an animation frame",
         [](const std::string& root) {
             EXPECT_EQ(RemoveLines(root + "/lockscreen/content/lockscreen2/content/res/xhdpi/"
                                          "lockscreen.xml",
                                   "\"animator7\""),
                       1);
         },
         "missing layout element Frame[animator7] in "
         "lockscreen/content/lockscreen2/content/res/xhdpi/lockscreen.xml ImageAnimator"},
        {"a screen-0 element",
         [](const std::string& root) {
             EXPECT_EQ(RemoveLines(root + "/lockscreen/template5.xml", "unlock_background_x"), 1);
         },
         "wrong res for lockscreen/template5.xml screen 0 element 2: expected unlock_background"},
        {"a call button",
         [](const std::string& root) {
             EXPECT_EQ(RemoveLines(root + "/screencall/content/res/xxxhdpi/lockscreen.xml",
                                   "<ButtonSms "),
                       1);
         },
         "missing layout element ButtonSms in screencall/content/res/xxxhdpi/lockscreen.xml"},
        {"a clock image",
         [](const std::string& root) {
             std::filesystem::remove(root +
                                     "/lockscreen/content/res/drawable-xxhdpi/time_colon.png");
         },
         "missing file lockscreen/content/res/drawable-xxhdpi/time_colon.png"},
        {"a frame switch",
         [](const std::string& root) {
             EXPECT_EQ(RemoveLines(root + "/lockscreen/content/res/values/integers.xml",
                                   "\"animator20\""),
                       1);
         },
         "missing value animator20 in lockscreen/content/res/values/integers.xml"},
        {"a module of the contents list",
         [](const std::string& root) {
             std::string path = root + "/launcher/meta2.json";
             std::string text = ReadText(path);
             std::string entry = "\"callscreen\" ]";
             text.replace(text.find(entry), entry.size(), "]");
             text.replace(text.rfind(", ]"), 3, " ]");
             WriteText(path, text);
         },
         "meta2.json needs three resource_contents entries"},
        {"the no-dpi twin",
         [](const std::string& root) {
             std::filesystem::remove(root +
                                     "/launcher/content/res/drawable-xxhdpi/calendar_bg.png");
         },
         "no drawable-nodpi image named with _no that has its drawable-xxhdpi twin"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder copy;
        std::filesystem::copy(kShippedTemplate, copy.path(),
                              std::filesystem::copy_options::recursive);
        c.damage(copy.path());
        std::vector<std::string> problems = test::CheckTemplate(copy.path());
        EXPECT_NE(std::find(problems.begin(), problems.end(), c.problem), problems.end())
            << Joined(problems);
    }
}

class NewProjectTest : public test::SettingsTest {
  protected:
    void SetUp() override {
        test::SettingsTest::SetUp();
        SetDataFolder(SKINWRIGHT_SOURCE_DIR);
    }
};

// A project made from the shipped template opens, and every screen of every
// module is drawn; so is each of the six lock-screen templates.
TEST_F(NewProjectTest, EveryScreenOfEveryModuleIsDrawn) {
    CreateInfo info;
    info.prj_name = "demo";
    info.theme_path = work_.path();
    info.resourceid = "0";
    ASSERT_TRUE(SetCreateInfo(info));
    ASSERT_TRUE(CreateProject());
    ASSERT_TRUE(OpenProject(CreatedProjectPath(info))) << Joined(LogLines());
    {
        ProjectReader project = ReadProject();
        ASSERT_EQ(project->modules().size(), 3u);
        const std::pair<const char*, std::size_t> expected[] = {
            {"桌面", 6}, {"锁屏", 1}, {"通话", 1}};
        for (const auto& [pageName, screens] : expected) {
            const ThemeModule* module = project->FindModule(pageName);
            ASSERT_NE(module, nullptr) << pageName;
            EXPECT_GE(module->screens.size(), screens) << pageName;
            for (const ThemePackage& screen : module->screens) {
                EXPECT_TRUE(std::filesystem::is_regular_file(PreviewPath(screen)))
                    << PreviewPath(screen);
            }
        }
    }
    const std::string lockscreen = work_ / "demo/demo/lockscreen";
    for (int number = 2; number <= 6; ++number) {
        SCOPED_TRACE(number);
        std::filesystem::copy_file(lockscreen + "/template" + std::to_string(number) + ".xml",
                                   lockscreen + "/template.xml",
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy_file(
            lockscreen + "/template_values" + std::to_string(number) + ".xml",
            lockscreen + "/template_values.xml", std::filesystem::copy_options::overwrite_existing);
        ThemeModule module;
        module.context.screen_width = 1080;
        module.context.screen_height = 1920;
        module.context.density = 320;
        ASSERT_TRUE(LoadModule(module, lockscreen)) << Joined(LogLines());
        ASSERT_EQ(module.screens.size(), 1u);
        EXPECT_EQ(module.screens[0].elements.size(), 19u);
        EXPECT_TRUE(RedrawScreens(module, -1)) << Joined(LogLines());
    }
}

}  // namespace
}  // namespace sw
