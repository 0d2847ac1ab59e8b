// Each editor's save run on a small project, and every file of the project
// compared with the golden folder of what it must hold afterwards.
#include <gtest/gtest.h>

#include <functional>

#include "settings/callscreen_editor.h"
#include "settings/golden_folder.h"
#include "settings/lockscreen_editor.h"
#include "settings/settings_fixture.h"
#include "settings/weather_editor.h"

namespace sw::settings {
namespace {

using test::FormList;
using test::ValueList;
using test::With;

struct GoldenCase {
    const char* name;  // the golden folder
    std::function<SaveReport(const std::string& name, const std::string& path)> save;

    friend void PrintTo(const GoldenCase& golden, std::ostream* out) { *out << golden.name; }
};

class GoldenTest : public test::SettingsTest, public ::testing::WithParamInterface<GoldenCase> {};

TEST_P(GoldenTest, TheSaveWritesWhatTheGoldenFolderHolds) {
    const GoldenCase& golden = GetParam();
    const std::string project = work_ / "demo";
    test::CopyTree(test::GoldenFolder(golden.name, "input"), project);
    const SaveReport report = golden.save("demo", work_.path());
    EXPECT_TRUE(report.complete());
    for (const std::string& difference :
         test::CompareTrees(test::GoldenFolder(golden.name, "expected"), project)) {
        ADD_FAILURE() << difference;
    }
}

// Template 2 chosen: hour tens at 100 and hour units at 15 (xhdpi 66 and 9,
// hdpi 50 and 7, xxxhdpi 130 and 19), the handle at 100, 100 (its ring at
// -76, -63), the date centred and sized 36sp, the battery text left-aligned
// at 200, the SIM line at 120 sized 28sp. The xhdpi battery text has no
// alignX to begin with; the hdpi layout starts with a byte-order mark.
SaveReport SaveLockscreenTemplate2(const std::string& name, const std::string& path) {
    LockscreenForm form;
    form.number = "2";
    form.list = ValueList(With(test::LockscreenList(), {{"timex1", "100px"},
                                                        {"timex2", "15px"},
                                                        {"handlex", "100px"},
                                                        {"handley", "100px"},
                                                        {"datex", "200px"},
                                                        {"datesize", "36sp"},
                                                        {"batteryx", "200px"},
                                                        {"TextSimAllX", "120px"},
                                                        {"TextSimAllSize", "28sp"}}));
    form.date_center = "2";
    form.battery_center = "1";
    form.owner_center = "2";
    form.sim_center = "1";
    return SaveLockscreen(name, path, form);
}

// The answer button at 100, 1500 and larger; the reminder moved.
SaveReport SaveCallscreenButtons(const std::string& name, const std::string& path) {
    return SaveCallscreen(name, path,
                          ValueList(With(test::CallscreenList(), {{"reminderx", "200px"},
                                                                  {"remindery", "1300px"},
                                                                  {"answerx", "100px"},
                                                                  {"answery", "1500px"},
                                                                  {"answerw", "230px"}})));
}

// Hour tens at 120, 200; the date at x 10 (left of the widget) sized 40sp;
// the background 1001 wide, so 39 from the left.
SaveReport SaveWeatherWidget(const std::string& name, const std::string& path) {
    return SaveWeather(name, path,
                       ValueList(With(test::WeatherList(), {{"timex1", "120px"},
                                                            {"timey1", "200px"},
                                                            {"datex", "10px"},
                                                            {"datesize", "40sp"},
                                                            {"backgroundw", "1001px"}})));
}

INSTANTIATE_TEST_SUITE_P(Editors, GoldenTest,
                         ::testing::Values(GoldenCase{"lockscreen", &SaveLockscreenTemplate2},
                                           GoldenCase{"callscreen", &SaveCallscreenButtons},
                                           GoldenCase{"weather", &SaveWeatherWidget}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sw::settings
