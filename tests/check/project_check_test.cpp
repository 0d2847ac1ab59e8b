// The project check on copies of the shipped template: the clean template
// gives no finding, and each copy damaged in one way gives the finding that
// names its fault.
#include "check/project_check.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>

#include "engine/engine_fixture.h"
#include "engine/theme_project.h"

namespace sw::check {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

constexpr const char* kLauncherImages = "launcher/content/res/drawable-xxhdpi/";
constexpr const char* kLockImages = "lockscreen/content/res/drawable-xxhdpi/";
constexpr const char* kCallImages = "screencall/content/res/drawable-xxhdpi/";

// A project "demo" made of a copy of the template, in its own folder.
std::string Lines(const Findings& findings) {
    std::string text;
    for (const Finding& finding : findings) {
        text += FindingLine(finding) + "\n";
    }
    return text;
}

class TemplateCopy {
  public:
    TemplateCopy() {
        fs::copy(fs::path(SKINWRIGHT_SOURCE_DIR) / "template", folder_ / "demo",
                 fs::copy_options::recursive);
        test::WriteText(folder_ / "demo.wtpj",
                        R"({ "density" : 480, "dpi" : "xxhdpi", "name" : "demo" })");
    }
    std::string operator/(const std::string& name) const { return folder_ / ("demo/" + name); }

    // The whole check; the errors-only check a pack makes must give the
    // same errors.
    Findings Check() const {
        OpenProject(folder_ / "demo.wtpj");
        const ProjectReader project = ReadProject();
        Findings findings = CheckProject(*project);
        EXPECT_EQ(Lines(CheckProjectForErrors(*project)), Lines(ErrorsOf(findings)));
        return findings;
    }

  private:
    TempFolder folder_;
};

// Replaces the first occurrence of from in the file.
void Edit(const std::string& path, const std::string& from, const std::string& to) {
    std::string text = test::ReadText(path);
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from << " in " << path;
    test::WriteText(path, text.replace(at, from.size(), to));
}

TEST(ProjectCheckTest, TheTemplateChecksClean) {
    const TemplateCopy project;
    const Findings findings = project.Check();
    EXPECT_TRUE(findings.empty()) << Lines(findings);
}

struct DamageCase {
    const char* name;
    std::function<void(const TemplateCopy&)> damage;
    Level level;
    const char* module;
    std::string file;
    const char* message;  // a part of the message
    bool about_element;   // the finding names the element that shows the fault
};

void PrintTo(const DamageCase& c, std::ostream* os) {
    *os << c.name;
}

class DamagedTemplateTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedTemplateTest, GivesTheFindingOfItsFault) {
    const DamageCase& c = GetParam();
    const TemplateCopy project;
    c.damage(project);
    const Findings findings = project.Check();
    const Finding* found = nullptr;
    for (const Finding& finding : findings) {
        if (finding.level == c.level && finding.module == c.module && finding.file == c.file &&
            finding.message.find(c.message) != std::string::npos) {
            found = &finding;
            break;
        }
    }
    ASSERT_NE(found, nullptr) << "no " << LevelName(c.level) << " " << c.module << " " << c.file
                              << ": ..." << c.message << "... among\n"
                              << Lines(findings);
    EXPECT_EQ(found->element_id >= 0, c.about_element) << FindingLine(*found);
    EXPECT_EQ(HasErrors(findings), c.level == Level::kError) << Lines(findings);
}

const DamageCase kDamageCases[] = {
    {"MissingImage",
     [](const TemplateCopy& p) {
         fs::remove(p / (std::string(kLauncherImages) + "weather_bg.png"));
     },
     Level::kError, "launcher", "template.xml", "缺少图片“weather_bg”", false},
    {"ImageMissingFromALayout",
     [](const TemplateCopy& p) {
         Edit(p / "screencall/content/res/xxhdpi/lockscreen.xml", "src=\"incoming_sms.png\"",
              "src=\"incoming_chat.png\"");
     },
     Level::kError, "screencall", "content/res/xxhdpi/lockscreen.xml", "incoming_chat.png", false},
    {"JpegNamedPng",
     [](const TemplateCopy& p) {
         test::WriteSolidJpeg(p / (std::string(kLockImages) + "time_colon.png"), 60, 220,
                              test::Rgb(255, 255, 255));
     },
     Level::kError, "lockscreen", std::string(kLockImages).substr(11) + "time_colon.png",
     "文件内容是JPEG图片", false},
    {"PngNamedJpg",
     [](const TemplateCopy& p) {
         fs::rename(p / (std::string(kCallImages) + "caller_photo.png"),
                    p / (std::string(kCallImages) + "caller_photo.jpg"));
     },
     Level::kError, "screencall", std::string(kCallImages).substr(11) + "caller_photo.jpg",
     "文件内容是PNG图片", false},
    {"GarbageBytes",
     [](const TemplateCopy& p) {
         test::WriteText(p / (std::string(kLauncherImages) + "weather_sunny.png"), "not a picture");
     },
     Level::kError, "launcher", std::string(kLauncherImages).substr(9) + "weather_sunny.png",
     "无法识别为图片", false},
    {"CutShortPng",
     [](const TemplateCopy& p) {
         const std::string path = p / (std::string(kLauncherImages) + "icon_bg.png");
         fs::resize_file(path, fs::file_size(path) / 2);
     },
     Level::kError, "launcher", std::string(kLauncherImages).substr(9) + "icon_bg.png", "无法解码",
     false},
    {"WallpaperOfTheWrongSize",
     [](const TemplateCopy& p) {
         test::WriteSolidPng(p / (std::string(kCallImages) + "custom_wallpaper.png"), 720, 1280,
                             test::Rgb(20, 20, 60), false);
     },
     Level::kError, "screencall", std::string(kCallImages).substr(11) + "custom_wallpaper.png",
     "720×1280", true},
    {"IconOfTheWrongSize",
     [](const TemplateCopy& p) {
         test::WriteSolidPng(
             p / (std::string(kLauncherImages) + "com_android_camera__ic_launcher_camera.png"), 150,
             150, test::Rgb(200, 40, 40));
     },
     Level::kWarn, "launcher",
     std::string(kLauncherImages).substr(9) + "com_android_camera__ic_launcher_camera.png",
     "150×150", true},
    {"NinePatchWithoutMarks",
     [](const TemplateCopy& p) {
         test::WriteSolidPng(p / (std::string(kLauncherImages) + "hotseat_bg.9.png"), 120, 60,
                             test::Bgra(255, 255, 255, 90));
     },
     Level::kError, "launcher", std::string(kLauncherImages).substr(9) + "hotseat_bg.9.png",
     "边框标记", false},
    {"TextOnAWallpaperOfItsOwnColour",
     [](const TemplateCopy& p) {
         test::WriteSolidPng(p / (std::string(kCallImages) + "custom_wallpaper.png"), 1080, 1920,
                             test::Rgb(235, 235, 235), false);
     },
     Level::kWarn, "screencall", "template.xml", "对比度", true},
    {"ElementOffScreen",
     [](const TemplateCopy& p) {
         Edit(p / "screencall/template_values.xml", "name=\"incoming_sms_x\">725px",
              "name=\"incoming_sms_x\">1500px");
     },
     Level::kWarn, "screencall", "template.xml", "完全在", true},
    {"EmptyThemeName",
     [](const TemplateCopy& p) {
         Edit(p / "launcher/meta.json", "\"resource_name\" : \"晨光\"", "\"resource_name\" : \"\"");
     },
     Level::kWarn, "launcher", "meta.json", "主题名称为空", false},
    {"EmptyVersion",
     [](const TemplateCopy& p) {
         Edit(p / "launcher/meta2.json", "\"resource_versionname\" : \"1.0\"",
              "\"resource_versionname\" : \" \"");
     },
     Level::kWarn, "launcher", "meta2.json", "版本为空", false},
    {"MissingAuthor",
     [](const TemplateCopy& p) {
         Edit(p / "launcher/meta.json", "\"resource_developer\" : \"Skinwright\",", "");
     },
     Level::kWarn, "launcher", "meta.json", "作者为空", false},
    {"MetaThatIsAnArray",
     [](const TemplateCopy& p) {
         test::WriteText(p / "launcher/meta3.json", "[ \"launcher\" ]\n");
     },
     Level::kError, "launcher", "meta3.json", "JSON对象", false},
    {"MetaThatDoesNotParse",
     [](const TemplateCopy& p) {
         test::WriteText(p / "launcher/meta4.json", "{ \"resource_name\" ");
     },
     Level::kError, "launcher", "meta4.json", "不是有效的JSON", false},
    {"MissingMeta", [](const TemplateCopy& p) { fs::remove(p / "launcher/meta5.json"); },
     Level::kError, "launcher", "meta5.json", "缺失", false},
    // A project received from elsewhere: entries nothing may read or pack.
    {"FifoInAModule",
     [](const TemplateCopy& p) {
         ASSERT_EQ(::mkfifo((p / "launcher/content/res/pipe").c_str(), 0644), 0);
     },
     Level::kError, "launcher", "content/res/pipe", "不是普通文件（a FIFO）", false},
    {"LinkOutOfTheProject",
     [](const TemplateCopy& p) {
         const fs::path secret = fs::path(p / "../secret.txt").lexically_normal();
         test::WriteText(secret.string(), "password");
         fs::create_symlink(secret, p / "launcher/content/res/notes.txt");
     },
     Level::kError, "launcher", "content/res/notes.txt", "项目之外", false},
    {"ImageLinkedFromOutside",
     [](const TemplateCopy& p) {
         const std::string image = p / (std::string(kCallImages) + "caller_photo.png");
         const fs::path outside = fs::path(p / "../caller_photo.png").lexically_normal();
         fs::rename(image, outside);
         fs::create_symlink(outside, image);
     },
     Level::kError, "screencall", std::string(kCallImages).substr(11) + "caller_photo.png",
     "项目之外", false},
    {"LinkThatLeadsNowhere",
     [](const TemplateCopy& p) {
         fs::create_symlink("gone.png", p / (std::string(kLauncherImages) + "gone_link.png"));
     },
     Level::kError, "launcher", std::string(kLauncherImages).substr(9) + "gone_link.png",
     "不指向任何文件", false},
    // What packing needs of the whole project.
    {"MissingLockScreenFolder", [](const TemplateCopy& p) { fs::remove_all(p / "lockscreen"); },
     Level::kError, "lockscreen", "", "缺少模块文件夹lockscreen", false},
    {"ThemeWithoutACallScreen",
     [](const TemplateCopy& p) {
         fs::remove_all(p / "screencall");
         Edit(p / "launcher/meta2.json", "\"lockscreen\", \"callscreen\"", "\"lockscreen\"");
     },
     Level::kWarn, "screencall", "", "打包时不能选择这个模块", false},
    {"MissingWeatherLayout",
     [](const TemplateCopy& p) { fs::remove(p / "launcher/content/res/xml/weatherconfig3.xml"); },
     Level::kError, "launcher", "content/res/xml/weatherconfig3.xml", "天气挂件布局", false},
    {"ContentsListThatDisagreesWithTheFolders",
     [](const TemplateCopy& p) {
         Edit(p / "launcher/meta2.json", "\"lockscreen\", \"callscreen\"", "\"lockscreen\"");
     },
     Level::kError, "launcher", "meta2.json",
     "resource_contents应为[\"launcher\", \"lockscreen\", \"callscreen\"]", false},
    {"TextLargerThanItsScreen",
     [](const TemplateCopy& p) {
         Edit(p / "lockscreen/template_values.xml", "lock_date_text_size\">42px",
              "lock_date_text_size\">99999px");
     },
     Level::kWarn, "lockscreen", "template.xml", "文字大小99999像素超过屏幕高度1920像素", true},
};

INSTANTIATE_TEST_SUITE_P(Faults, DamagedTemplateTest, ::testing::ValuesIn(kDamageCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A module that does not load is still checked on disk, and a later module
// the open never reached is checked whole.
TEST(ProjectCheckTest, AModuleThatDoesNotLoadStopsNoOtherCheck) {
    const TemplateCopy project;
    fs::remove(project / (std::string(kLauncherImages) + "weather_bg.png"));
    test::WriteSolidPng(project / (std::string(kCallImages) + "custom_wallpaper.png"), 100, 100,
                        test::Rgb(0, 0, 0), false);
    const Findings findings = project.Check();
    bool launcherNotLoaded = false;
    bool callWallpaper = false;
    for (const Finding& finding : findings) {
        launcherNotLoaded |= finding.module == "launcher" &&
                             finding.message.find("模块无法载入") != std::string::npos;
        callWallpaper |=
            finding.module == "screencall" && finding.message.find("100×100") != std::string::npos;
    }
    EXPECT_TRUE(launcherNotLoaded) << Lines(findings);
    EXPECT_TRUE(callWallpaper) << Lines(findings);
}

// The lock screen's seven templates and its layouts at five densities all
// name its images: a missing one is one finding, not dozens.
TEST(ProjectCheckTest, AnImageNamedByManyFilesIsReportedOnce) {
    const TemplateCopy project;
    fs::remove(project / (std::string(kLockImages) + "time_colon.png"));
    const Findings findings = project.Check();
    std::vector<const Finding*> colon;
    for (const Finding& finding : findings) {
        if (finding.message.find("time_colon") != std::string::npos) {
            colon.push_back(&finding);
        }
    }
    ASSERT_EQ(colon.size(), 1u) << Lines(findings);
    EXPECT_EQ(colon[0]->file, "template.xml");
    // template1.xml .. template6.xml and 35 layouts name it too.
    EXPECT_NE(colon[0]->message.find("另有 41 个文件"), std::string::npos) << Lines(findings);
}

// The image references of the modules are looked up side by side, yet each
// module's findings come at its turn, in the modules' order.
TEST(ProjectCheckTest, MissingImagesAreReportedInTheModulesOrder) {
    const TemplateCopy project;
    const std::string removed[] = {std::string(kLauncherImages) + "weather_bg.png",
                                   std::string(kLockImages) + "time_colon.png",
                                   std::string(kCallImages) + "custom_wallpaper.png"};
    for (const std::string& path : removed) {
        ASSERT_TRUE(fs::remove(project / path)) << path;
    }
    const Findings findings = project.Check();
    std::vector<std::string> reported;
    for (const Finding& finding : findings) {
        for (const char* name : {"weather_bg", "time_colon", "custom_wallpaper"}) {
            if (finding.message.find("缺少图片") != std::string::npos &&
                finding.message.find(name) != std::string::npos) {
                reported.push_back(finding.module + " " + name);
            }
        }
    }
    EXPECT_EQ(reported, (std::vector<std::string>{"launcher weather_bg", "lockscreen time_colon",
                                                  "screencall custom_wallpaper"}))
        << Lines(findings);
}

// The lock screen's switched-off shortcuts sit at x = -2080px on purpose;
// the same element moved off screen by another value is reported.
TEST(ProjectCheckTest, OnlyTheOffPositionHidesAnElementWithoutAWarning) {
    const TemplateCopy project;
    Edit(project / "lockscreen/template_values.xml", "name=\"unlock_camera_x\">-2080px",
         "name=\"unlock_camera_x\">-2000px");
    const Findings findings = project.Check();
    ASSERT_EQ(findings.size(), 1u) << Lines(findings);
    EXPECT_EQ(findings[0].module, "lockscreen");
    EXPECT_NE(findings[0].message.find("完全在"), std::string::npos) << Lines(findings);
}

// Every file below a folder (links not followed) with its bytes and times.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        struct stat info {};
        if (::lstat(entry.path().c_str(), &info) != 0) {
            continue;
        }
        std::string state = std::to_string(info.st_mtim.tv_sec) + "." +
                            std::to_string(info.st_mtim.tv_nsec) + " " +
                            std::to_string(info.st_mode);
        if (S_ISREG(info.st_mode)) {
            state += " " + test::ReadText(entry.path().string());
        }
        files[entry.path().string()] = state;
    }
    return files;
}

// A check reads the project and writes nothing in it: no preview is drawn,
// no file touched, whether the project opens or a module fails to load.
TEST(ProjectCheckTest, ACheckWritesNothingInTheProject) {
    const TemplateCopy project;
    const std::string folder = fs::path(project / "").parent_path().parent_path().string();
    for (const bool damaged : {false, true}) {
        SCOPED_TRACE(damaged ? "a module that does not load" : "a clean project");
        if (damaged) {
            fs::remove(project / (std::string(kLauncherImages) + "weather_sunny.png"));
        }
        const auto before = Snapshot(folder);
        ThemeProject opened;
        EXPECT_EQ(opened.OpenWithoutDrawing(folder + "/demo.wtpj"), !damaged);
        EXPECT_EQ(HasErrors(CheckProject(opened)), damaged);
        EXPECT_EQ(HasErrors(CheckProjectForErrors(opened)), damaged);
        const auto after = Snapshot(folder);
        EXPECT_EQ(before.size(), after.size());
        for (const auto& [path, state] : before) {
            const auto found = after.find(path);
            ASSERT_NE(found, after.end()) << path << " is gone";
            EXPECT_TRUE(found->second == state) << path << " changed";
        }
    }
}

TEST(FindingTest, LineAndJsonForms) {
    const Findings findings = {
        {Level::kError, "launcher", "content/res/drawable-xxhdpi/a.png", "坏了", "", -1, -1},
        {Level::kWarn, "screencall", "template.xml", "看不清", "通话", 0, 3},
    };
    EXPECT_EQ(FindingLine(findings[0]), "ERROR launcher content/res/drawable-xxhdpi/a.png: 坏了");
    EXPECT_EQ(FindingLine(findings[1]), "WARN screencall template.xml: 看不清");
    const Json::Value json = FindingsToJson(findings);
    ASSERT_EQ(json.size(), 2u);
    EXPECT_EQ(json[0]["level"].asString(), "ERROR");
    EXPECT_EQ(json[0]["file"].asString(), "content/res/drawable-xxhdpi/a.png");
    EXPECT_FALSE(json[0].isMember("element"));
    EXPECT_EQ(json[1]["page"].asString(), "通话");
    EXPECT_EQ(json[1]["element"].asInt(), 3);
    EXPECT_EQ(ErrorsOf(findings).size(), 1u);
}

}  // namespace
}  // namespace sw::check
