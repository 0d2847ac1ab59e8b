// A save moves the elements of the open project's preview, so that the
// pictures show the saved layout: the template shipped with the program,
// opened by the engine, and every editor's save.
#include <gtest/gtest.h>

#include <functional>

#include "engine/theme_project.h"
#include "settings/callscreen_editor.h"
#include "settings/golden_folder.h"
#include "settings/lockscreen_animator.h"
#include "settings/lockscreen_editor.h"
#include "settings/settings_fixture.h"
#include "settings/weather_editor.h"

namespace sw::settings {
namespace {

using test::ValueList;
using test::With;

class PreviewTest : public test::SettingsTest {
  protected:
    void SetUp() override {
        test::SettingsTest::SetUp();
        test::CopyTree(std::string(SKINWRIGHT_SOURCE_DIR) + "/template", work_ / "demo");
        const std::string file = work_ / "demo.wtpj";
        test::WriteText(file, R"({"name": "demo", "dpi": "xxhdpi", "density": 480})");
        ASSERT_TRUE(OpenProject(file));
    }

    // The rectangle of element id of screen 0 of the module, as
    // "left,top,width,height".
    static std::string RectOf(const char* module, int id) {
        const ProjectReader project = ReadProject();
        const ThemeModule* found = project->FindModule(module);
        const ThemeElement* element = found != nullptr ? found->FindElement(0, id) : nullptr;
        if (element == nullptr) {
            return "(no element)";
        }
        const Rect& r = element->rect;
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," +
               std::to_string(r.width()) + "," + std::to_string(r.height());
    }
};

TEST_F(PreviewTest, EverySaveMovesItsModulesElements) {
    struct Case {
        const char* what;
        std::function<SaveReport()> save;
        const char* module;
        int element;
        const char* rect;
    };
    const std::string path = work_.path();
    LockscreenForm lock;
    lock.number = "1";
    lock.list = ValueList(With(test::LockscreenList(), {{"datex", "10px"}, {"datesize", "30px"}}));
    lock.date_center = "2";
    lock.battery_center = "1";
    lock.owner_center = "1";
    lock.sim_center = "1";
    const Case cases[] = {
        {"the weather background, centred",
         [&] { return SaveWeather("demo", path, ValueList(test::WeatherList())); }, "桌面", 2,
         "40,130,1000,440"},
        {"the weather date, five sizes wide",
         [&] {
             return SaveWeather("demo", path,
                                ValueList(With(test::WeatherList(), {{"datesize", "40sp"}})));
         },
         "桌面", 11, "100,392,200,40"},
        {"the lock-screen date, centred and nine sizes wide",
         [&] { return SaveLockscreen("demo", path, lock); }, "锁屏", 9, "380,500,270,30"},
        {"the battery text, at its x", [&] { return SaveLockscreen("demo", path, lock); }, "锁屏",
         10, "430,1836,240,30"},
        {"the animation, switched off",
         [&] { return SaveAnimator("demo", path, "0", ValueList(test::AnimatorList())); }, "锁屏",
         1, "-2080,640,1080,520"},
        {"the answer button",
         [&] {
             return SaveCallscreen("demo", path,
                                   ValueList(With(test::CallscreenList(),
                                                  {{"answerx", "100px"}, {"answery", "1500px"}})));
         },
         "通话", 4, "100,1500,220,220"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(c.save().complete());
        EXPECT_EQ(RectOf(c.module, c.element), c.rect);
    }
}

}  // namespace
}  // namespace sw::settings
