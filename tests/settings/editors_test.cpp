// Every settings form's load and save on the golden projects: what each form
// is filled with, the worked numbers of every density, and the saves that
// must write nothing, pass a file over or say what failed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tinyxml.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/own_writes.h"
#include "core/write_watch.h"
#include "engine/edit_history.h"
#include "settings/callscreen_editor.h"
#include "settings/golden_folder.h"
#include "settings/launcher_attributes.h"
#include "settings/lockscreen_animator.h"
#include "settings/lockscreen_editor.h"
#include "settings/settings_fixture.h"
#include "settings/weather_editor.h"

namespace sw::settings {
namespace {

namespace fs = std::filesystem;
using test::FormList;
using test::ReadText;
using test::ValueList;
using test::With;
using test::WriteText;

constexpr std::array<const char*, 5> kLockDensities = {"xxhdpi", "xhdpi", "hdpi_720x1280", "hdpi",
                                                       "xxxhdpi_1440x2560"};
constexpr std::array<const char*, 4> kCallDensities = {"xxhdpi", "xhdpi", "hdpi", "xxxhdpi"};
constexpr std::array<const char*, 4> kWeatherDocuments = {
    "weatherconfig2.xml", "weatherconfig.xml", "weatherconfig1.xml", "weatherconfig3.xml"};

std::string LockLayout(const std::string& number, const char* density) {
    return "lockscreen/content/lockscreen" + number + "/content/res/" + density + "/lockscreen.xml";
}

std::string CallLayout(const char* density) {
    return std::string("screencall/content/res/") + density + "/lockscreen.xml";
}

std::string WeatherLayout(const char* document) {
    return std::string("launcher/content/res/xml/") + document;
}

std::vector<std::string> Ids(const std::vector<FormField>& fields) {
    std::vector<std::string> ids;
    for (const FormField& field : fields) {
        ids.push_back(field.id);
    }
    return ids;
}

std::string ValueOf(const std::vector<FormField>& fields, const std::string& id) {
    for (const FormField& field : fields) {
        if (field.id == id) {
            return field.value;
        }
    }
    return "(no field " + id + ")";
}

class EditorTest : public test::SettingsTest {
  protected:
    // The golden project of a case, as the project "demo" in the work folder.
    void Use(const char* golden) { test::CopyTree(test::GoldenFolder(golden, "input"), project_); }
    std::string PathOf(const std::string& file) const { return project_ + "/" + file; }

    // An attribute of the first element named tag (with that "name"
    // attribute when given) at any depth of a layout, read with TinyXML
    // alone; "(none)" when it is not there.
    std::string Attribute(const std::string& file, const char* tag, const char* name,
                          const char* attribute) const {
        TiXmlDocument document;
        if (!document.LoadFile(PathOf(file).c_str())) {
            return "(unreadable)";
        }
        return Find(document.RootElement(), tag, name, attribute);
    }

    // Attribute() of one target ("Element attribute" or "Element[name]
    // attribute") in each of the files.
    std::vector<std::string> AttributeOfEach(const std::vector<std::string>& files,
                                             const std::string& target) const {
        const std::size_t blank = target.find(' ');
        std::string element = target.substr(0, blank);
        const std::string attribute = target.substr(blank + 1);
        std::string name;
        if (const std::size_t open = element.find('['); open != std::string::npos) {
            name = element.substr(open + 1, element.size() - open - 2);
            element.resize(open);
        }
        std::vector<std::string> values;
        for (const std::string& file : files) {
            values.push_back(Attribute(file, element.c_str(), name.empty() ? nullptr : name.c_str(),
                                       attribute.c_str()));
        }
        return values;
    }

    // The text of a values entry, read with TinyXML alone.
    std::string Entry(const std::string& file, const char* name) const {
        TiXmlDocument document;
        if (!document.LoadFile(PathOf(file).c_str())) {
            return "(unreadable)";
        }
        for (const TiXmlElement* entry = document.RootElement()->FirstChildElement();
             entry != nullptr; entry = entry->NextSiblingElement()) {
            const char* own = entry->Attribute("name");
            if (own != nullptr && std::string(own) == name) {
                return entry->GetText() != nullptr ? entry->GetText() : "";
            }
        }
        return "(none)";
    }

    // Every file of the project and its bytes.
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(project_)) {
            if (entry.is_regular_file()) {
                files[fs::relative(entry.path(), project_).string()] = ReadText(entry.path());
            }
        }
        return files;
    }

    // Every file of the project and what a rewrite with the same bytes
    // would change: its inode and its time of change.
    std::map<std::string, std::pair<ino_t, std::int64_t>> Stamps() const {
        std::map<std::string, std::pair<ino_t, std::int64_t>> stamps;
        for (const auto& entry : fs::recursive_directory_iterator(project_)) {
            struct stat info {};
            if (entry.is_regular_file() && ::lstat(entry.path().c_str(), &info) == 0) {
                stamps[fs::relative(entry.path(), project_).string()] = {
                    info.st_ino, info.st_mtim.tv_sec * 1'000'000'000LL + info.st_mtim.tv_nsec};
            }
        }
        return stamps;
    }

    const std::string project_ = work_ / "demo";

  private:
    static std::string Find(const TiXmlElement* element, const char* tag, const char* name,
                            const char* attribute) {
        for (; element != nullptr; element = element->NextSiblingElement()) {
            const char* own = element->Attribute("name");
            if (element->ValueStr() == tag &&
                (name == nullptr || (own != nullptr && std::string(own) == name))) {
                const char* value = element->Attribute(attribute);
                return value != nullptr ? value : "(none)";
            }
            std::string deeper = Find(element->FirstChildElement(), tag, name, attribute);
            if (deeper != "(none)") {
                return deeper;
            }
        }
        return "(none)";
    }
};

LockscreenForm LockForm(const std::string& number, const FormList& changes = {},
                        const char* dateCenter = "2") {
    LockscreenForm form;
    form.number = number;
    form.list = ValueList(With(test::LockscreenList(), changes));
    form.date_center = dateCenter;
    form.battery_center = "2";
    form.owner_center = "2";
    form.sim_center = "2";
    return form;
}

// ------------------------------------------------------------------ loads

TEST_F(EditorTest, TheLockScreenFormShowsTheTemplateInUse) {
    Use("lockscreen");
    WriteText(PathOf("lockscreen/template_values3.xml"),
              "<resources><dimen name=\"lock_num_h0_x\">333px</dimen>"
              "<dimen name=\"TextSimAll_text_center\">1</dimen></resources>");
    WriteText(PathOf("lockscreen/content/res/values/integers.xml"),
              "<resources><integer name=\"lockscreen_template\">3</integer></resources>");
    const std::vector<FormField> fields = LockscreenFormFields("demo", work_.path());
    ASSERT_EQ(fields.size(), 69u);
    EXPECT_EQ(fields.front().id, "Lockscreentemplate");
    EXPECT_EQ(fields.front().value, "3");
    EXPECT_EQ(fields[1].id, "timex1");
    EXPECT_EQ(fields[1].value, "333px");
    EXPECT_EQ(fields.back().id, "simCenter");
    EXPECT_EQ(fields.back().value, "1");
    EXPECT_EQ(ValueOf(fields, "datex"), "");

    // Another template chosen in the form: its values, without the template.
    const std::vector<FormField> chosen = LockscreenTemplateFields("demo", work_.path(), "2");
    ASSERT_EQ(chosen.size(), 68u);
    EXPECT_EQ(chosen.front().id, "timex1");
    EXPECT_EQ(chosen.front().value, "230px");
    EXPECT_EQ(ValueOf(chosen, "datesize"), "42px");
    EXPECT_TRUE(LockscreenTemplateFields("demo", work_.path(), "7").empty());
    // A template whose values cannot be read leaves the form as it is, so
    // the save that follows the choice does not write empty values.
    EXPECT_TRUE(LockscreenTemplateFields("demo", work_.path(), "5").empty());
}

TEST_F(EditorTest, ADamagedTemplateNumberLeavesTheValuesEmpty) {
    Use("lockscreen");
    for (const char* stored : {"7", "", "01"}) {
        SCOPED_TRACE(stored);
        WriteText(PathOf("lockscreen/content/res/values/integers.xml"),
                  std::string("<resources><integer name=\"lockscreen_template\">") + stored +
                      "</integer></resources>");
        const std::vector<FormField> fields = LockscreenFormFields("demo", work_.path());
        ASSERT_EQ(fields.size(), 69u);
        EXPECT_EQ(fields.front().value, stored);
        for (std::size_t i = 1; i < fields.size(); ++i) {
            EXPECT_EQ(fields[i].value, "") << fields[i].id;
        }
    }
}

TEST_F(EditorTest, TheWeatherAndCallFormsAreFilledInTheirOrder) {
    Use("weather");
    Use("callscreen");
    const std::vector<FormField> weather = WeatherFormFields("demo", work_.path());
    ASSERT_EQ(weather.size(), 46u);
    const std::vector<std::string> ids = Ids(weather);
    EXPECT_EQ(std::vector<std::string>(ids.begin(), ids.begin() + 5),
              (std::vector<std::string>{"backgroundy", "backgroundw", "backgroundh", "timex1",
                                        "timey1"}));
    EXPECT_EQ(weather.back().id, "temperaturesize");
    EXPECT_EQ(ValueOf(weather, "backgroundy"), "130px");
    EXPECT_EQ(ValueOf(weather, "iconw"), "210px");
    EXPECT_EQ(ValueOf(weather, "temperaturesize"), "64px");
    EXPECT_EQ(ValueOf(weather, "backgroundx"), "(no field backgroundx)");

    const std::vector<FormField> call = CallscreenFormFields("demo", work_.path());
    EXPECT_EQ(Ids(call),
              (std::vector<std::string>{"answerx", "answery", "answerw", "answerh", "hangupx",
                                        "hangupy", "hangupw", "hanguph", "reminderx", "remindery",
                                        "reminderw", "reminderh", "smsx", "smsy", "smsw", "smsh"}));
    EXPECT_EQ(ValueOf(call, "answerx"), "685px");
    EXPECT_EQ(ValueOf(call, "smsh"), "140px");
}

TEST_F(EditorTest, TheAnimationFormShowsAnAnimationStoredAsOff) {
    Use("lockscreen");
    struct Case {
        const char* stored_x;
        const char* is_animator;
        const char* x;
        const char* y;
    };
    const Case cases[] = {
        {"0px", "", "0px", "640px"},
        {"-2080px", "0", "0px", "600px"},
        // Only the text with its unit means off.
        {"-2080", "", "-2080", "640px"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored_x);
        WriteText(PathOf("lockscreen/template_values.xml"),
                  std::string("<resources><dimen name=\"animator_x\">") + c.stored_x +
                      "</dimen><dimen name=\"animator_y\">640px</dimen></resources>");
        const std::vector<FormField> fields = AnimatorFormFields("demo", work_.path());
        ASSERT_EQ(fields.size(), 27u);
        EXPECT_EQ(fields.front().id, "AnimatorTimes");
        EXPECT_EQ(fields.front().value, "5");
        EXPECT_EQ(ValueOf(fields, "AnimatorTime"), "100");
        EXPECT_EQ(ValueOf(fields, "Animator20"), "1");
        EXPECT_EQ(ValueOf(fields, "AnimatorX"), c.x);
        EXPECT_EQ(ValueOf(fields, "AnimatorY"), c.y);
        EXPECT_EQ(fields.back().id, "isAnimator");
        EXPECT_EQ(fields.back().value, c.is_animator);
    }
}

TEST_F(EditorTest, TheAttributeFormIsFilledFromFourFiles) {
    const std::string values = PathOf("launcher/content/res/values/");
    WriteText(values + "integers.xml",
              "<resources><integer name=\"config_same_shape\">1</integer>"
              "<integer name=\"indicator_anim\">0</integer></resources>");
    WriteText(values + "bools.xml",
              "<resources><bool name=\"support_active_icon_app\">true</bool></resources>");
    WriteText(values + "dimens.xml",
              "<resources><dimen name=\"home_point_width\">6dp</dimen>"
              "<dimen name=\"home_point_height\">7dp</dimen>"
              "<dimen name=\"calendar_weekday_font_size\">12sp</dimen>"
              "<dimen name=\"calendar_day_font_size\">32sp</dimen></resources>");
    // No colors.xml: the two colour fields stay empty.
    const std::vector<FormField> fields = AttributeFormFields("demo", work_.path());
    EXPECT_EQ(Ids(fields), (std::vector<std::string>{"pageWidth", "pageHeight", "isDynamic",
                                                     "isShadow", "isAnimation", "weekdayFontSize",
                                                     "dayFontSize", "weekdayColor", "dayColor"}));
    std::vector<std::string> shown;
    for (const FormField& field : fields) {
        shown.push_back(field.value);
    }
    EXPECT_EQ(shown,
              (std::vector<std::string>{"6dp", "7dp", "true", "1", "0", "12sp", "32sp", "", ""}));
    EXPECT_TRUE(LoggedError("can not parse colors.xml file"));
    EXPECT_TRUE(LoggedError("colors.xml no root node."));
}

// ------------------------------------------------------------ worked numbers

// A field of the form given a value, and the attribute that must give one
// element in the layout of every density. target: "Element attribute", or
// "Element[name] attribute" for an element picked by its "name".
struct DensityCase {
    const char* field;
    const char* value;
    const char* target;
    std::vector<std::string> expected;  // one per density, in writing order
};

TEST_F(EditorTest, LockScreenNumbersOfEveryDensity) {
    const DensityCase cases[] = {
        {"timex1", "100px", "ImageHour10 x", {"100", "66", "66", "50", "130"}},
        {"timex2", "15", "ImageHour1 x", {"15", "9", "9", "7", "19"}},
        // The unlock ring lies 176 left of and 163 above the handle.
        {"handlex", "100px", "LockRad x", {"-76", "-50", "-50", "-38", "-98"}},
        {"handley", "100px", "LockRad y", {"-63", "-41", "-41", "-31", "-81"}},
        // The date left-aligned at its x.
        {"datex", "200px", "TextDateWeek x", {"200", "132", "132", "100", "260"}},
        {"datex", "200px", "TextDateWeek alignX", {"1", "1", "1", "1", "1"}},
        {"camerax", "90px", "ImageEvent[camera] x", {"90", "59", "59", "45", "117"}},
        {"timey1", "abc", "ImageHour10 y", {"0", "0", "0", "0", "0"}},
    };
    for (const DensityCase& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.value);
        fs::remove_all(project_);
        Use("lockscreen");
        const LockscreenForm form = LockForm("2", {{c.field, c.value}}, "1");
        ASSERT_TRUE(SaveLockscreen("demo", work_.path(), form).complete());
        std::vector<std::string> layouts;
        for (const char* density : kLockDensities) {
            layouts.push_back(LockLayout("2", density));
        }
        EXPECT_EQ(AttributeOfEach(layouts, c.target), c.expected);
    }
}

TEST_F(EditorTest, ACentredDateIsPlacedByThePhone) {
    Use("lockscreen");
    ASSERT_TRUE(
        SaveLockscreen("demo", work_.path(), LockForm("2", {{"datex", "200px"}}, "2")).complete());
    for (const char* density : kLockDensities) {
        SCOPED_TRACE(density);
        for (const char* attribute : {"x", "alignX", "gravityX"}) {
            EXPECT_EQ(Attribute(LockLayout("2", density), "TextDateWeek", nullptr, attribute), "0");
        }
    }
    EXPECT_EQ(Entry("lockscreen/template_values2.xml", "lock_date_text_x"), "380px");
    EXPECT_EQ(Entry("lockscreen/template_values2.xml", "lock_date_text_center"), "2");
}

TEST_F(EditorTest, CallScreenNumbersOfEveryDensity) {
    Use("callscreen");
    ASSERT_TRUE(SaveCallscreen("demo", work_.path(),
                               ValueList(With(test::CallscreenList(),
                                              {{"answerx", "100px"}, {"answery", "1500px"}})))
                    .complete());
    const std::array<const char*, 4> x = {"100", "66", "50", "130"};
    const std::array<const char*, 4> y = {"1500", "990", "750", "1950"};
    for (std::size_t i = 0; i < kCallDensities.size(); ++i) {
        EXPECT_EQ(Attribute(CallLayout(kCallDensities[i]), "ButtonAnswer", nullptr, "x"), x[i]);
        EXPECT_EQ(Attribute(CallLayout(kCallDensities[i]), "ButtonAnswer", nullptr, "y"), y[i]);
    }
}

TEST_F(EditorTest, WeatherNumbersOfEveryDocument) {
    const DensityCase cases[] = {
        // Positions are relative to the widget's origin at (20, 90).
        {"timex1", "120px", "ImageHour10 x", {"100", "50", "66", "130"}},
        {"timey1", "200px", "ImageHour10 y", {"110", "55", "72", "143"}},
        {"datex", "10px", "TextDate x", {"-10", "-5", "-6", "-13"}},
        {"datesize", "40sp", "TextDate size", {"40", "20", "26", "52"}},
        {"iconw", "100px", "ImageWeather w", {"100", "50", "66", "130"}},
        // The phone centres the background: its x is left as it was.
        {"backgroundw", "1001px", "Image[weather_bg] x", {"20", "10", "13", "26"}},
    };
    for (const DensityCase& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.value);
        fs::remove_all(project_);
        Use("weather");
        const std::string list = ValueList(With(test::WeatherList(), {{c.field, c.value}}));
        ASSERT_TRUE(SaveWeather("demo", work_.path(), list).complete());
        std::vector<std::string> layouts;
        for (const char* document : kWeatherDocuments) {
            layouts.push_back(WeatherLayout(document));
        }
        EXPECT_EQ(AttributeOfEach(layouts, c.target), c.expected);
    }
}

TEST_F(EditorTest, TheWeatherBackgroundStaysCentred) {
    struct Case {
        const char* width;
        const char* x;
    };
    for (const Case& c : {Case{"1000px", "40"}, Case{"1001px", "39"}, Case{"1201", "-60"}}) {
        SCOPED_TRACE(c.width);
        fs::remove_all(project_);
        Use("weather");
        ASSERT_TRUE(SaveWeather("demo", work_.path(),
                                ValueList(With(test::WeatherList(),
                                               {{"backgroundw", c.width}, {"datesize", "40sp"}})))
                        .complete());
        EXPECT_EQ(Entry("launcher/template_values.xml", "widgets_bg_x"), c.x);
        EXPECT_EQ(Entry("launcher/template_values.xml", "widgets_bg_w"), c.width);
        EXPECT_EQ(Entry("launcher/template_values.xml", "widget_date_text_size"), "40px");
    }
}

TEST_F(EditorTest, AnAnimationSwitchedOffLeavesTheScreen) {
    Use("lockscreen");
    ASSERT_TRUE(SaveAnimator("demo", work_.path(), "0",
                             ValueList(With(test::AnimatorList(), {{"AnimatorX", "100px"}})))
                    .complete());
    const std::array<const char*, 5> x = {"-2080", "-1372", "-1372", "-1040", "-2704"};
    for (std::size_t i = 0; i < kLockDensities.size(); ++i) {
        EXPECT_EQ(Attribute(LockLayout("1", kLockDensities[i]), "ImageAnimator", nullptr, "x"),
                  x[i]);
    }
    EXPECT_EQ(Entry("lockscreen/template_values1.xml", "animator_x"), "-2080px");
    // The template is made active again, so the active values say off too.
    EXPECT_EQ(Entry("lockscreen/template_values.xml", "animator_x"), "-2080px");
    const std::vector<FormField> shown = AnimatorFormFields("demo", work_.path());
    EXPECT_EQ(ValueOf(shown, "isAnimator"), "0");
    EXPECT_EQ(ValueOf(shown, "AnimatorX"), "0px");
    EXPECT_EQ(ValueOf(shown, "AnimatorY"), "600px");
}

TEST_F(EditorTest, FramesFollowTheirSwitches) {
    Use("lockscreen");
    // Every layout of template 1 gets frames 1 to 19 and the end frame.
    for (const char* density : kLockDensities) {
        std::string frames;
        for (int k = 1; k <= 19; ++k) {
            frames +=
                "<Frame name=\"animator" + std::to_string(k) + "\" src=\"x\" duration=\"1\" />";
        }
        WriteText(PathOf(LockLayout("1", density)),
                  "<Root><ImageAnimator name=\"animator\" x=\"0\" y=\"0\" w=\"1\" h=\"1\">" +
                      frames +
                      "<FrameEnd src=\"animator20.png\" /><EventShow times=\"1\" />"
                      "</ImageAnimator></Root>");
    }
    ASSERT_TRUE(SaveAnimator("demo", work_.path(), "1",
                             ValueList(With(test::AnimatorList(), {{"Animator5", "0"},
                                                                   {"Animator20", "0"},
                                                                   {"AnimatorTimes", "3"},
                                                                   {"AnimatorTime", "80"}})))
                    .complete());
    for (const char* density : kLockDensities) {
        SCOPED_TRACE(density);
        const std::string layout = LockLayout("1", density);
        EXPECT_EQ(Attribute(layout, "Frame", "animator5", "src"), "");
        EXPECT_EQ(Attribute(layout, "Frame", "animator5", "duration"), "");
        EXPECT_EQ(Attribute(layout, "Frame", "animator6", "src"), "animator6.png");
        // The time per frame is not scaled.
        EXPECT_EQ(Attribute(layout, "Frame", "animator19", "duration"), "80");
        EXPECT_EQ(Attribute(layout, "FrameEnd", nullptr, "src"), "");
        EXPECT_EQ(Attribute(layout, "EventShow", nullptr, "times"), "3");
    }
    const std::string integers = "lockscreen/content/res/values/integers.xml";
    EXPECT_EQ(Entry(integers, "animator5"), "0");
    EXPECT_EQ(Entry(integers, "animator20"), "0");
    EXPECT_EQ(Entry(integers, "lockscreenAnimator_Millisecond"), "80");
    EXPECT_EQ(Entry(integers, "lockscreen_template"), "1");
}

TEST_F(EditorTest, AnAnimationWithoutFramesStillGetsItsRectangle) {
    Use("lockscreen");
    WriteText(PathOf(LockLayout("1", "xxhdpi")),
              "<Root><ImageAnimator name=\"animator\" x=\"0\" y=\"0\" w=\"1\" h=\"1\" /></Root>");
    ASSERT_TRUE(SaveAnimator("demo", work_.path(), "1",
                             ValueList(With(test::AnimatorList(), {{"AnimatorY", "700px"}})))
                    .complete());
    EXPECT_TRUE(LoggedError("lockscreen.xml no child nodes for <Frame />"));
    EXPECT_EQ(Attribute(LockLayout("1", "xxhdpi"), "ImageAnimator", nullptr, "y"), "700");
    EXPECT_EQ(Attribute(LockLayout("1", "xxhdpi"), "ImageAnimator", nullptr, "w"), "1080");
}

// ------------------------------------------------------------ failed saves

struct SaveCase {
    const char* what;
    const char* golden;
    std::function<SaveReport(const std::string& path)> save;
};

// A value list one value short or long is refused before anything is
// written: its values would otherwise land in the wrong entries.
TEST_F(EditorTest, AListOfTheWrongLengthWritesNothing) {
    auto shorter = [](FormList list) {
        list.pop_back();
        return ValueList(list);
    };
    auto longer = [](FormList list) { return ValueList(list) + ",1"; };
    const SaveCase cases[] = {
        {"lock screen", "lockscreen",
         [&](const std::string& path) {
             LockscreenForm form = LockForm("2");
             form.list = shorter(test::LockscreenList());
             return SaveLockscreen("demo", path, form);
         }},
        {"call screen", "callscreen",
         [&](const std::string& path) {
             return SaveCallscreen("demo", path, longer(test::CallscreenList()));
         }},
        {"weather", "weather",
         [&](const std::string& path) {
             return SaveWeather("demo", path, shorter(test::WeatherList()));
         }},
        {"animation", "lockscreen",
         [&](const std::string& path) {
             return SaveAnimator("demo", path, "1", longer(test::AnimatorList()));
         }},
    };
    for (const SaveCase& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(project_);
        Use(c.golden);
        const auto before = Snapshot();
        const SaveReport report = c.save(work_.path());
        EXPECT_EQ(report.refusal, SaveReport::Refusal::kValueCount);
        EXPECT_EQ(report.received_values + 1 == report.expected_values ||
                      report.received_values == report.expected_values + 1,
                  true);
        EXPECT_EQ(Snapshot(), before);
    }
    EXPECT_TRUE(
        LoggedError("SaveLockscreen: the value list holds 63 values, 64 expected; nothing saved"));
    EXPECT_TRUE(
        LoggedError("saveAnimator: the value list holds 27 values, 26 expected; nothing saved"));
}

// A damaged layout stops the whole save, so no density is left newer than
// another.
TEST_F(EditorTest, ADamagedFileWritesNothing) {
    const struct {
        const char* what;
        const char* golden;
        std::string damaged;
        std::function<SaveReport(const std::string& path)> save;
    } cases[] = {
        {"lock-screen layout", "lockscreen", LockLayout("2", "hdpi"),
         [](const std::string& path) { return SaveLockscreen("demo", path, LockForm("2")); }},
        {"call-screen values", "callscreen", "screencall/template_values.xml",
         [](const std::string& path) {
             return SaveCallscreen("demo", path, ValueList(test::CallscreenList()));
         }},
        {"weather layout", "weather", WeatherLayout("weatherconfig3.xml"),
         [](const std::string& path) {
             return SaveWeather("demo", path, ValueList(test::WeatherList()));
         }},
        {"animation's integers", "lockscreen", "lockscreen/content/res/values/integers.xml",
         [](const std::string& path) {
             return SaveAnimator("demo", path, "0", ValueList(test::AnimatorList()));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(project_);
        Use(c.golden);
        WriteText(PathOf(c.damaged), "<Root><ImageHour10 x=\"1\"");
        const auto before = Snapshot();
        const SaveReport report = c.save(work_.path());
        EXPECT_EQ(report.refusal, SaveReport::Refusal::kDamagedFiles);
        EXPECT_EQ(report.damaged, std::vector<std::string>{c.damaged});
        EXPECT_EQ(Snapshot(), before);
        EXPECT_TRUE(
            LoggedError("nothing saved: " + PathOf(c.damaged) + " cannot be read as it should be"));
    }
}

// One file that cannot be replaced (made immutable) after others were: the
// ones replaced are put back, no copy is made, and the file is named.
TEST_F(EditorTest, AFileThatCannotBeWrittenLeavesEveryFileAsItWas) {
    const struct {
        const char* what;
        const char* golden;
        std::string locked;
        std::function<SaveReport(const std::string& path)> save;
    } cases[] = {
        {"lock screen, last density", "lockscreen", LockLayout("2", "xxxhdpi_1440x2560"),
         [](const std::string& path) {
             return SaveLockscreen("demo", path, LockForm("2", {{"timex1", "100px"}}));
         }},
        {"call screen, last density", "callscreen", CallLayout("xxxhdpi"),
         [](const std::string& path) {
             return SaveCallscreen("demo", path,
                                   ValueList(With(test::CallscreenList(), {{"answerx", "600px"}})));
         }},
        {"weather, last document", "weather", WeatherLayout("weatherconfig3.xml"),
         [](const std::string& path) {
             return SaveWeather("demo", path,
                                ValueList(With(test::WeatherList(), {{"timex1", "130px"}})));
         }},
        {"animation, a layout", "lockscreen", LockLayout("1", "hdpi"),
         [](const std::string& path) {
             return SaveAnimator("demo", path, "0", ValueList(test::AnimatorList()));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(project_);
        Use(c.golden);
        const std::string locked = PathOf(c.locked);
        if (std::system(("chattr +i '" + locked + "' 2>/dev/null").c_str()) != 0) {
            GTEST_SKIP() << "files cannot be made immutable here";
        }
        const auto before = Snapshot();
        const SaveReport report = c.save(work_.path());
        std::system(("chattr -i '" + locked + "'").c_str());
        EXPECT_EQ(report.refusal, SaveReport::Refusal::kWriteFailed);
        EXPECT_EQ(report.failed, std::vector<std::string>{c.locked});
        EXPECT_EQ(Snapshot(), before);
        EXPECT_TRUE(LoggedError("nothing saved: " + locked + " cannot be written"));
    }
}

// Choosing a template whose values file is gone would spread the numbers of
// the template shown before into its layouts.
TEST_F(EditorTest, ATemplateWithoutItsValuesFileIsRefused) {
    Use("lockscreen");
    fs::remove(PathOf("lockscreen/template_values2.xml"));
    const auto before = Snapshot();
    const SaveReport report = SaveLockscreen("demo", work_.path(), LockForm("2"));
    EXPECT_EQ(report.refusal, SaveReport::Refusal::kMissingFiles);
    EXPECT_EQ(report.missing, std::vector<std::string>{"lockscreen/template_values2.xml"});
    EXPECT_EQ(Snapshot(), before);
    EXPECT_TRUE(LockscreenTemplateFields("demo", work_.path(), "2").empty());
}

// A save that changes nothing in a file leaves the file as it was, byte for
// byte (its declaration too), so that an edit is a step of just its files.
TEST_F(EditorTest, ASaveRewritesOnlyTheFilesItChanges) {
    Use("callscreen");
    const std::string values = PathOf("screencall/template_values.xml");
    WriteText(values,
              "<?xml version='1.0'?>" + ReadText(values).substr(ReadText(values).find("?>") + 2));
    ASSERT_TRUE(SaveCallscreen("demo", work_.path(), ValueList(test::CallscreenList())).complete());
    const auto before = Snapshot();
    ASSERT_TRUE(SaveCallscreen("demo", work_.path(), ValueList(test::CallscreenList())).complete());
    EXPECT_EQ(Snapshot(), before);
    ASSERT_TRUE(SaveCallscreen("demo", work_.path(),
                               ValueList(With(test::CallscreenList(), {{"answerx", "600px"}})))
                    .complete());
    std::vector<std::string> changed;
    for (const auto& [file, bytes] : Snapshot()) {
        if (before.at(file) != bytes) {
            changed.push_back(file);
        }
    }
    EXPECT_EQ(changed.size(), 5u) << "the values file and the four densities";
}

// Saved again with the same values, the lock screen's forms change nothing:
// no file is written (the copies of the active template already hold their
// template's bytes), and the save is no undo step.
TEST_F(EditorTest, ASaveThatChangesNothingWritesNoFileAndIsNoStep) {
    const struct {
        const char* what;
        std::function<SaveReport(const std::string& path)> save;
    } cases[] = {
        {"lock screen",
         [](const std::string& path) {
             return SaveLockscreen("demo", path, LockForm("2", {{"datey", "640px"}}));
         }},
        {"animation",
         [](const std::string& path) {
             return SaveAnimator("demo", path, "0", ValueList(test::AnimatorList()));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(project_);
        fs::remove_all(HistoryFolderOf(project_));
        Use("lockscreen");
        ASSERT_TRUE(c.save(work_.path()).complete());
        const auto before = Stamps();
        EditStepRecorder recorder(project_, "again");
        {
            ScopedWriteWatch watch(recorder);
            ASSERT_TRUE(c.save(work_.path()).complete());
        }
        EXPECT_EQ(Stamps(), before);
        EXPECT_FALSE(recorder.Commit());
        EXPECT_EQ(ReadHistoryState(project_).undo_label, "");
    }
}

// The switch's copies are written together: when one cannot be renamed into
// place (the file made immutable), every copy is put back, so the active
// template is never half one template and half another. The template's own
// files, saved before, stay saved.
TEST_F(EditorTest, ASwitchThatCannotReplaceAFileLeavesTheActiveCopyAsItWas) {
    Use("lockscreen");
    const std::string locked =
        PathOf("lockscreen/content/lockscreen/content/res/hdpi/lockscreen.xml");
    if (std::system(("chattr +i '" + locked + "' 2>/dev/null").c_str()) != 0) {
        GTEST_SKIP() << "files cannot be made immutable here";
    }
    const auto before = Snapshot();
    const SaveReport report =
        SaveLockscreen("demo", work_.path(), LockForm("2", {{"datey", "640px"}}));
    std::system(("chattr -i '" + locked + "'").c_str());
    EXPECT_FALSE(report.refused());
    EXPECT_EQ(report.failed,
              (std::vector<std::string>{"lockscreen/template.xml", "lockscreen/template_values.xml",
                                        "lockscreen/content/lockscreen"}));
    EXPECT_TRUE(LoggedError("cannot write file " + locked + ": Operation not permitted"));
    std::size_t saved = 0;
    for (const auto& [file, bytes] : Snapshot()) {
        const bool active = file == "lockscreen/template.xml" ||
                            file == "lockscreen/template_values.xml" ||
                            file.starts_with("lockscreen/content/lockscreen/");
        if (active) {
            EXPECT_EQ(bytes, before.at(file)) << file;
        } else if (bytes != before.at(file)) {
            ++saved;
        }
    }
    EXPECT_EQ(saved, 7u) << "integers.xml, the values and five densities of template 2";
    for (const auto& entry : fs::recursive_directory_iterator(PathOf("lockscreen"))) {
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path() << " left behind";
    }
}

// The watch of the open project passes over the editor's own writes: every
// file a save changed (layouts, values, the template copies) is as the
// editor left it, or the project would be read again after each save.
TEST_F(EditorTest, EveryFileASaveChangedIsTheEditorsOwn) {
    const struct {
        const char* golden;
        std::function<SaveReport(const std::string& path)> save;
    } cases[] = {
        {"lockscreen",
         [](const std::string& path) {
             return SaveLockscreen("demo", path, LockForm("2", {{"datey", "640px"}}));
         }},
        {"callscreen",
         [](const std::string& path) {
             return SaveCallscreen("demo", path,
                                   ValueList(With(test::CallscreenList(), {{"answerx", "600px"}})));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.golden);
        fs::remove_all(project_);
        Use(c.golden);
        const auto before = Snapshot();
        ASSERT_TRUE(c.save(work_.path()).complete());
        std::size_t changed = 0;
        for (const auto& [file, bytes] : Snapshot()) {
            const auto old = before.find(file);
            if (old == before.end() || old->second != bytes) {
                ++changed;
                EXPECT_TRUE(IsOwnWrite(PathOf(file))) << file;
            }
        }
        EXPECT_GT(changed, 0u);
    }
}

TEST_F(EditorTest, AMissingLayoutIsPassedOverAndNamed) {
    Use("lockscreen");
    fs::remove(PathOf(LockLayout("2", "hdpi")));
    const SaveReport report =
        SaveLockscreen("demo", work_.path(), LockForm("2", {{"timex1", "100px"}}));
    EXPECT_FALSE(report.refused());
    EXPECT_EQ(report.missing, std::vector<std::string>{LockLayout("2", "hdpi")});
    EXPECT_TRUE(report.failed.empty());
    EXPECT_FALSE(fs::exists(PathOf(LockLayout("2", "hdpi"))));
    EXPECT_EQ(Attribute(LockLayout("2", "xxxhdpi_1440x2560"), "ImageHour10", nullptr, "x"), "130");
    EXPECT_TRUE(LoggedError("can not parse lockscreen.xml file"));
    EXPECT_TRUE(LoggedError("lockscreen.xml no root node."));
    // The switch still happens, with the folder as it is.
    EXPECT_EQ(ReadText(PathOf("lockscreen/template.xml")),
              ReadText(PathOf("lockscreen/template2.xml")));
}

TEST_F(EditorTest, AMissingValuesFileIsPassedOverAndTheOthersWritten) {
    const std::string values = PathOf("launcher/content/res/values/");
    WriteText(values + "bools.xml",
              "<resources><bool name=\"support_active_icon_app\">true</bool></resources>");
    WriteText(values + "dimens.xml",
              "<resources><dimen name=\"home_point_width\">6dp</dimen></resources>");
    WriteText(values + "colors.xml",
              "<resources><color name=\"calendar_day_color\">#FF000000</color></resources>");
    const std::string colors = ReadText(values + "colors.xml");
    AttributeForm form;
    form.is_dynamic = "false";
    form.page_width = "8dp";
    form.day_color = "#FFFFFFFF";
    const SaveReport report = SaveAttribute("demo", work_.path(), form);
    EXPECT_EQ(report.missing, std::vector<std::string>{"launcher/content/res/values/integers.xml"});
    EXPECT_EQ(Entry("launcher/content/res/values/bools.xml", "support_active_icon_app"), "false");
    EXPECT_EQ(Entry("launcher/content/res/values/dimens.xml", "home_point_width"), "8dp");
    // The colours are edited in the main window, not here.
    EXPECT_EQ(ReadText(values + "colors.xml"), colors);
    EXPECT_FALSE(fs::exists(values + "integers.xml"));
}

TEST_F(EditorTest, ATemplateNumberOutsideOneToSixWritesNothing) {
    Use("lockscreen");
    const auto before = Snapshot();
    for (const char* number : {"0", "7", "", "1 "}) {
        SCOPED_TRACE(number);
        const SaveReport report = SaveLockscreen("demo", work_.path(), LockForm(number));
        EXPECT_EQ(report.refusal, SaveReport::Refusal::kTemplate);
        EXPECT_EQ(report.template_text, number);
        EXPECT_EQ(Snapshot(), before);
    }
    // The animation works on the template in use; a damaged number stops it.
    const std::string integers = PathOf("lockscreen/content/res/values/integers.xml");
    WriteText(integers,
              "<resources><integer name=\"lockscreen_template\">9</integer>"
              "<integer name=\"animator1\">1</integer></resources>");
    const auto damaged = Snapshot();
    SaveReport report = SaveAnimator("demo", work_.path(), "0", ValueList(test::AnimatorList()));
    EXPECT_EQ(report.refusal, SaveReport::Refusal::kTemplate);
    EXPECT_EQ(report.template_text, "9");
    EXPECT_EQ(Snapshot(), damaged);
    fs::remove(integers);
    report = SaveAnimator("demo", work_.path(), "0", ValueList(test::AnimatorList()));
    EXPECT_EQ(report.refusal, SaveReport::Refusal::kTemplate);
    EXPECT_EQ(report.template_text, "");
}

TEST_F(EditorTest, ACopyThatFailsIsNamed) {
    Use("lockscreen");
    // A folder stands where the active values file is to be copied.
    fs::remove(PathOf("lockscreen/template_values.xml"));
    WriteText(PathOf("lockscreen/template_values.xml/keep"), "x");
    const SaveReport report = SaveLockscreen("demo", work_.path(), LockForm("2"));
    EXPECT_FALSE(report.refused());
    EXPECT_EQ(report.failed, std::vector<std::string>{"lockscreen/template_values.xml"});
    EXPECT_FALSE(report.complete());
    // Everything before the copy was written, and the other copies made.
    EXPECT_EQ(Entry("lockscreen/content/res/values/integers.xml", "lockscreen_template"), "2");
    EXPECT_EQ(ReadText(PathOf("lockscreen/template.xml")),
              ReadText(PathOf("lockscreen/template2.xml")));
}

// A project received from elsewhere may hold links that lead out of it, or
// FIFOs: a save reads and writes nothing through them, so no file elsewhere
// on this computer is replaced or copied into the theme.
TEST_F(EditorTest, ASaveNeverReachesOutOfTheProject) {
    const std::string layout = LockLayout("2", "hdpi");
    const std::string layoutFolder = layout.substr(0, layout.rfind('/'));
    const struct {
        const char* what;
        std::string replaced;  // moved out of the project and linked in its place
        bool fifo;             // or replaced by a FIFO
        SaveReport::Refusal refusal;
        std::vector<std::string> failed;
    } cases[] = {
        {"a layout linked from outside", layout, false, SaveReport::Refusal::kDamagedFiles, {}},
        {"a density folder linked from outside",
         layoutFolder,
         false,
         SaveReport::Refusal::kDamagedFiles,
         {}},
        {"a FIFO for a layout", layout, true, SaveReport::Refusal::kDamagedFiles, {}},
        {"the template copied from outside",
         "lockscreen/template2.xml",
         false,
         SaveReport::Refusal::kNone,
         {"lockscreen/template.xml"}},
    };
    const std::string outside = work_ / "elsewhere";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(project_);
        fs::remove_all(outside);
        Use("lockscreen");
        if (c.fifo) {
            fs::remove(PathOf(c.replaced));
            ASSERT_EQ(::mkfifo(PathOf(c.replaced).c_str(), 0600), 0);
        } else {
            fs::rename(PathOf(c.replaced), outside);
            fs::create_symlink(outside, PathOf(c.replaced));
        }
        const auto before = Snapshot();
        std::map<std::string, std::string> outsideBefore;
        if (!c.fifo) {
            outsideBefore =
                fs::is_directory(outside)
                    ? std::map<std::string, std::string>{{"layout",
                                                          ReadText(outside + "/lockscreen.xml")}}
                    : std::map<std::string, std::string>{{"file", ReadText(outside)}};
        }
        const SaveReport report =
            SaveLockscreen("demo", work_.path(), LockForm("2", {{"timex1", "77px"}}));
        EXPECT_EQ(report.refusal, c.refusal);
        EXPECT_EQ(report.failed, c.failed);
        if (c.refusal != SaveReport::Refusal::kNone) {
            EXPECT_EQ(Snapshot(), before);
        }
        EXPECT_EQ(ReadText(PathOf("lockscreen/template.xml")),
                  before.at("lockscreen/template.xml"));
        if (!c.fifo) {
            EXPECT_EQ(outsideBefore.begin()->second,
                      ReadText(fs::is_directory(outside) ? outside + "/lockscreen.xml" : outside));
        }
    }
}

}  // namespace
}  // namespace sw::settings
