// Packing a small project through the whole pipeline, and reading the
// archive back as a phone's theme app would.
#include <gtest/gtest.h>
#include <json/reader.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>

#include "core/files.h"
#include "core/process.h"
#include "engine/engine_fixture.h"
#include "pack/pack_fixture.h"
#include "pack/pack_project.h"
#include "pack/pack_thumbnail.h"

namespace sw::pack::test {
namespace {

using sw::test::LogCapture;
using sw::test::ReadText;
using sw::test::WriteText;

Json::Value ReadJson(const std::string& path) {
    Json::Value value;
    EXPECT_TRUE(Json::Reader().parse(ReadText(path), value)) << path;
    return value;
}

class PackProjectTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(fixture_.ok()); }

    std::string Unpacked(const std::string& archive) {
        const std::string folder = fixture_.folder() / ("unpacked" + std::to_string(++unpacks_));
        EXPECT_TRUE(UnpackTheme(archive, folder)) << archive;
        return folder;
    }

    PackFixture fixture_;
    LogCapture log_{fixture_.folder() / "log"};
    int unpacks_ = 0;
};

TEST_F(PackProjectTest, AFullPackHoldsEveryModuleInItsDensities) {
    const PackResult result = PackProject(fixture_.Request());
    ASSERT_EQ(result.code, 0) << result.reason;
    EXPECT_EQ(result.archive, fixture_.out() + "/theme.zip");

    const std::vector<std::string> entries = ArchiveEntries(result.archive);
    const std::vector<std::string> expected = {
        "content/",
        "content/callscreen/",
        "content/callscreen/content/",
        "content/callscreen/content/res.zip",
        "content/callscreen/meta.json",
        "content/callscreen/preview/",
        "content/callscreen/preview/xxhdpi/",
        "content/callscreen/preview/xxhdpi/preview1_suit.jpg",
        "content/callscreen/preview/xxhdpi/thumb.jpg",
        "content/launcher/",
        "content/launcher/content/",
        "content/launcher/content/res.zip",
        "content/launcher/meta.json",
        "content/launcher/preview/",
        "content/launcher/preview/xxhdpi/",
        "content/launcher/preview/xxhdpi/preview1_suit.jpg",
        "content/launcher/preview/xxhdpi/preview2_suit.jpg",
        "content/lockscreen/",
        "content/lockscreen/content/",
        "content/lockscreen/content/res.zip",
        "content/lockscreen/meta.json",
        "content/lockscreen/preview/",
        "content/lockscreen/preview/xxhdpi/",
        "content/lockscreen/preview/xxhdpi/preview1_suit.jpg",
        "content/lockscreen/preview/xxhdpi/thumb.jpg",
        "meta.json",
        "preview/",
        "preview/xxhdpi/",
        "preview/xxhdpi/thumb.jpg",
    };
    EXPECT_EQ(entries, expected);

    const std::string theme = Unpacked(result.archive);
    const std::string call = theme + "/content/callscreen/content/res/";
    const std::string launcher = theme + "/content/launcher/content/res/";
    const std::string lock = theme + "/content/lockscreen/content/res/";
    const std::pair<std::string, std::string> sizes[] = {
        {call + "xxxhdpi/custom_wallpaper.png", "1440x2560"},
        {call + "xxhdpi/custom_wallpaper.png", "1080x1920"},
        {call + "xhdpi/custom_wallpaper.png", "720x1280"},
        {call + "hdpi/custom_wallpaper.png", "540x960"},
        // Buttons keep their own size times 1.3, 1, 0.66 and 0.5, truncated.
        {call + "xxxhdpi/incoming_answer.png", "260x195"},
        {call + "xxhdpi/incoming_answer.png", "200x150"},
        {call + "xhdpi/incoming_answer.png", "132x99"},
        {call + "hdpi/incoming_answer.png", "100x75"},
        {call + "xxxhdpi/incoming_sms.png", "182x182"},
        {call + "hdpi/incoming_sms.png", "70x70"},
        {launcher + "drawable-hdpi/wallpaper_grass.png", "540x960"},
        {launcher + "drawable-xhdpi/wallpaper_grass.png", "720x1280"},
        {launcher + "drawable-xxhdpi/wallpaper_grass.png", "54x96"},
        {launcher + "drawable-xxxhdpi/wallpaper_grass.png", "missing"},
        {launcher + "drawable-xxhdpi/wallpaper_grass_1.png", "missing"},
        {lock + "hdpi/lockscreen_wallpaper.png", "540x960"},
        {lock + "hdpi_720x1280/lockscreen_wallpaper.png", "720x1280"},
        {lock + "xhdpi/lockscreen_wallpaper.png", "720x1280"},
        {lock + "xxhdpi/lockscreen_wallpaper.png", "1080x1920"},
        {lock + "xxxhdpi_1440x2560/lockscreen_wallpaper.png", "1440x2560"},
        // Clock digits are copied as the designer drew them into every density.
        {lock + "hdpi/time_5.png", "140x220"},
        {lock + "xxxhdpi_1440x2560/time_5.png", "140x220"},
        {lock + "xxhdpi/animator20.png", "1080x520"},
        {theme + "/preview/xxhdpi/thumb.jpg", "316x562"},
        {theme + "/content/lockscreen/preview/xxhdpi/thumb.jpg", "316x562"},
        {theme + "/content/callscreen/preview/xxhdpi/thumb.jpg", "316x562"},
    };
    for (const auto& [path, size] : sizes) {
        EXPECT_EQ(ImageSize(path), size) << path;
    }

    // What only the editor uses stays behind; the launcher keeps its values.
    for (const std::string& gone :
         {call + "drawable-xxhdpi", call + "values", lock + "drawable-xxhdpi", lock + "values",
          theme + "/content/lockscreen/template.xml",
          theme + "/content/lockscreen/content/lockscreen",
          theme + "/content/callscreen/template.xml", launcher + "xml/weatherconfig.xml"}) {
        EXPECT_FALSE(PathExists(gone)) << gone;
    }
    EXPECT_TRUE(IsFile(launcher + "values/colors.xml"));
    for (const char* folder :
         {"drawable-hdpi", "drawable-xhdpi", "drawable-xxhdpi", "drawable-xxxhdpi"}) {
        EXPECT_TRUE(IsFile(launcher + folder + "/weatherconfig.xml")) << folder;
    }

    const Json::Value meta = ReadJson(theme + "/meta.json");
    EXPECT_EQ(meta["resource_category"].asString(), "themesuite");
    EXPECT_EQ(meta["resource_contents"].size(), 3u);
    // The phone reads the theme's texts as UTF-8, as the template has them.
    EXPECT_NE(ReadText(theme + "/meta.json").find("\"resource_name\" : \"晨光\""),
              std::string::npos);
    EXPECT_EQ(ReadJson(theme + "/content/lockscreen/meta.json")["resource_category"].asString(),
              "lockscreen");
    EXPECT_EQ(ReadJson(theme + "/content/callscreen/meta.json")["resource_category"].asString(),
              "callscreen");
    EXPECT_EQ(ReadText(theme + "/content/launcher/meta.json"),
              ReadText(fixture_.Module("launcher") + "/meta.json"));

    // The work folder goes; "tmp" itself stays.
    EXPECT_TRUE(FilesBelow(fixture_.work_area()).empty());
    EXPECT_TRUE(log_.HasSequence({"DEBUG\tname = theme, path = " + fixture_.out()}));
}

TEST_F(PackProjectTest, PackingTwiceGivesTheSameBytes) {
    const PackResult first = PackProject(fixture_.Request());
    ASSERT_EQ(first.code, 0) << first.reason;
    const std::string bytes = ReadText(first.archive);
    const PackResult second = PackProject(fixture_.Request());
    ASSERT_EQ(second.code, 0) << second.reason;
    EXPECT_TRUE(ReadText(second.archive) == bytes);
}

// The modules ticked decide the folders, the contents list and which
// module's thumbnail stands for the theme.
TEST_F(PackProjectTest, TheModulesTickedDecideWhatIsPacked) {
    // The thumbnails each module would give, made the same way.
    std::map<std::string, std::string> thumbs;
    for (const char* module : {"launcher", "lockscreen", "screencall"}) {
        PackTree tree = TreeOf(fixture_.Module(module), module);
        ASSERT_TRUE(MakeModuleThumbnail(tree, module));
        thumbs[module] = TreeText(tree, std::string(module) + "/preview/xxhdpi/thumb.jpg");
    }
    struct Case {
        WantedModules wanted;
        std::vector<std::string> modules;   // folders below content/
        std::vector<std::string> contents;  // resource_contents
        const char* thumb;
    };
    const Case cases[] = {
        {{false, true, false}, {"lockscreen"}, {"lockscreen"}, "lockscreen"},
        {{false, true, true},
         {"callscreen", "lockscreen"},
         {"lockscreen", "callscreen"},
         "lockscreen"},
        {{false, false, true}, {"callscreen"}, {"callscreen"}, "screencall"},
        {{true, false, true}, {"callscreen", "launcher"}, {"launcher", "callscreen"}, "launcher"},
        {{false, false, false}, {}, {}, "launcher"},
    };
    for (const Case& c : cases) {
        const std::string name = "case" + std::to_string(&c - cases);
        const PackResult result = PackProject(fixture_.Request(c.wanted, name));
        ASSERT_EQ(result.code, 0) << name << ": " << result.reason;
        const std::string theme = Unpacked(result.archive);
        std::vector<std::string> modules;
        std::vector<std::string> names;
        ListFolder(theme + "/content", names);
        for (const std::string& module : names) {
            modules.push_back(module);
        }
        std::sort(modules.begin(), modules.end());
        EXPECT_EQ(modules, c.modules) << name;
        std::vector<std::string> contents;
        const Json::Value meta = ReadJson(theme + "/meta.json");
        for (const Json::Value& entry : meta["resource_contents"]) {
            contents.push_back(entry.asString());
        }
        EXPECT_EQ(contents, c.contents) << name;
        EXPECT_TRUE(ReadText(theme + "/preview/xxhdpi/thumb.jpg") == thumbs[c.thumb])
            << name << " should show the thumbnail of " << c.thumb;
    }
}

// The colours the designer chose reach every layout; a lock-screen colour
// comes from the lock screen's own colors.xml, where the editor saves it.
TEST_F(PackProjectTest, TextColoursReachEveryLayout) {
    WriteText(fixture_.Module("launcher") + "/content/res/values/colors.xml",
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<resources>\n"
              "<color name=\"calendar_weekday_color\">#FFFFFFFF</color>\n"
              "<color name=\"calendar_day_color\">#FF3A3F6E</color>\n"
              "<color name=\"widget_week_text\">#FF010203</color>\n"
              "<color name=\"widget_date_text\">#FF040506</color>\n"
              "<color name=\"widget_city_name_text\">#FF070809</color>\n"
              "<color name=\"widget_weather_text\">#FF0A0B0C</color>\n"
              "<color name=\"widget_temperature_text\">#FF0D0E0F</color>\n"
              "<color name=\"lock_date_text\">#FF445566</color>\n"
              "<color name=\"lock_battery_text\">#FF778899</color>\n"
              "<color name=\"TextOwnerInfo_text\">#FF111111</color>\n"
              "<color name=\"TextSimAll_text_color\">#FF333333</color>\n"
              "</resources>\n");
    WriteText(fixture_.Module("lockscreen") + "/content/res/values/colors.xml",
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<resources>\n"
              "<color name=\"lock_date_text\">#FF112233</color>\n"
              "<color name=\"lock_battery_text\">#FF223344</color>\n"
              "<color name=\"TextOwnerInfo_text\">#FF222222</color>\n"
              "<color name=\"TextSimAll_text_color\">#FF444444</color>\n"
              "</resources>\n");
    ASSERT_TRUE(fixture_.Reopen());
    const PackResult result = PackProject(fixture_.Request());
    ASSERT_EQ(result.code, 0) << result.reason;
    const std::string theme = Unpacked(result.archive);

    const std::string launcher = theme + "/content/launcher/content/res/";
    for (const char* folder :
         {"drawable-hdpi", "drawable-xhdpi", "drawable-xxhdpi", "drawable-xxxhdpi"}) {
        const std::string layout = launcher + folder + "/weatherconfig.xml";
        EXPECT_EQ(LayoutColor(layout, "TextWeek"), "#FF010203") << layout;
        EXPECT_EQ(LayoutColor(layout, "TextDate"), "#FF040506") << layout;
        EXPECT_EQ(LayoutColor(layout, "TextWeatherCity"), "#FF070809") << layout;
        EXPECT_EQ(LayoutColor(layout, "TextWeatherDescription"), "#FF0A0B0C") << layout;
        EXPECT_EQ(LayoutColor(layout, "TextWeatherTemperature"), "#FF0D0E0F") << layout;
    }
    const std::string lock = theme + "/content/lockscreen/content/res/";
    for (const char* folder : {"hdpi", "hdpi_720x1280", "xhdpi", "xxhdpi", "xxxhdpi_1440x2560"}) {
        const std::string layout = lock + folder + "/lockscreen.xml";
        EXPECT_EQ(LayoutColor(layout, "TextDateWeek"), "#FF112233") << layout;
        EXPECT_EQ(LayoutColor(layout, "TextBattery"), "#FF223344") << layout;
        EXPECT_EQ(LayoutColor(layout, "TextOwnerInfo"), "#FF222222") << layout;
        EXPECT_EQ(LayoutColor(layout, "TextSimAll"), "#FF444444") << layout;
    }
}

// Every failure ends with -1, a reason, the line in the log, no new archive
// (an older one is left whole) and no work folder.
TEST_F(PackProjectTest, AFailedPackLeavesNoArchiveAndNoWorkFolder) {
    struct Case {
        const char* name;
        std::function<void(PackFixture&)> spoil;
        const char* log_line;  // "" for none
        const char* reason;
    };
    const Case cases[] = {
        {"colours cannot be saved",
         [](PackFixture& f) { DeletePath(f.Module("launcher") + "/content/res/values"); }, "",
         "colors.xml"},
        {"preview folder missing",
         [](PackFixture& f) { DeletePath(f.Module("launcher") + "/preview"); },
         "ERROR\tfailed to copy preview.", "preview"},
        {"theme description unreadable",
         [](PackFixture& f) { WriteText(f.Module("launcher") + "/meta2.json", "{ not json"); },
         "ERROR\tload meta.json failed.", "meta2.json"},
        {"lock-screen preview missing",
         [](PackFixture& f) {
             DeletePath(f.Module("lockscreen") + "/preview/xxhdpi/preview1_suit.jpg");
         },
         "", "preview1_suit.jpg"},
        {"a module archive fails",
         [](PackFixture& f) {
             // A folder where the archive is to be written.
             MakeFolderPath(f.Module("screencall") + "/content/res.zip/inside");
         },
         "ERROR\tfailed to resCallscreen zip archive.", "call screen"},
        {"the archive cannot take its name",
         [](PackFixture& f) { MakeFolderPath(f.out() + "/broken.zip/inside"); },
         "ERROR\tfailed to generate prj zip archive.", "broken.zip"},
    };
    for (const Case& c : cases) {
        PackFixture fixture;
        ASSERT_TRUE(fixture.ok());
        LogCapture log(fixture.folder() / "log");
        WriteText(fixture.out() + "/theme.zip", "an older archive");
        c.spoil(fixture);
        const std::string name =
            std::string(c.name) == "the archive cannot take its name" ? "broken" : "theme";
        const PackResult result = PackProject(fixture.Request({}, name));
        EXPECT_EQ(result.code, -1) << c.name;
        EXPECT_FALSE(result.stopped) << c.name;
        EXPECT_NE(result.reason.find(c.reason), std::string::npos)
            << c.name << ": " << result.reason;
        if (*c.log_line != '\0') {
            EXPECT_TRUE(log.HasSequence({c.log_line})) << c.name;
        }
        EXPECT_EQ(ReadText(fixture.out() + "/theme.zip"), "an older archive") << c.name;
        std::vector<std::string> out = FilesBelow(fixture.out());
        EXPECT_EQ(out, std::vector<std::string>({"theme.zip"})) << c.name;
        EXPECT_TRUE(FilesBelow(fixture.work_area()).empty()) << c.name;
    }
}

TEST(PackRequestTest, UnusableNamesAndFoldersAreRefusedBeforeAnyWork) {
    TempFolder folder;
    const std::pair<PackRequest, const char*> cases[] = {
        {{"", folder.path(), {}}, "the pack name is empty"},
        {{"a/b", folder.path(), {}}, "is not a file name"},
        {{"..", folder.path(), {}}, "is not a file name"},
        {{"theme", "", {}}, "no folder"},
        {{"theme", folder / "missing", {}}, "does not exist"},
        {{"my theme", folder.path(), {}}, ""},
    };
    for (const auto& [request, reason] : cases) {
        const std::string refusal = CheckPackRequest(request);
        if (*reason == '\0') {
            EXPECT_EQ(refusal, "") << request.pack_name;
        } else {
            EXPECT_NE(refusal.find(reason), std::string::npos)
                << request.pack_name << ": " << refusal;
        }
    }
}

// StopPackTools while the images are being made: the pack ends at once,
// nothing is left behind, and the next pack runs normally.
TEST_F(PackProjectTest, StopPackToolsCancelsARunningPack) {
    PackObserver observer;
    observer.progress = [](PackStep step, double) {
        if (step == PackStep::kResizeImages) {
            StopPackTools();
        }
    };
    const PackResult stopped = PackProject(fixture_.Request(), observer);
    EXPECT_EQ(stopped.code, -1);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_TRUE(FilesBelow(fixture_.out()).empty());
    EXPECT_TRUE(FilesBelow(fixture_.work_area()).empty());

    const PackResult again = PackProject(fixture_.Request());
    EXPECT_EQ(again.code, 0) << again.reason;
}

TEST_F(PackProjectTest, TheObserverCanStopThePackWhileTheArchiveIsWritten) {
    PackObserver observer;
    bool archiving = false;
    observer.progress = [&archiving](PackStep step, double) {
        archiving = archiving || step == PackStep::kArchive;
    };
    observer.stop = [&archiving] { return archiving; };
    WriteText(fixture_.out() + "/theme.zip", "an older archive");
    const PackResult stopped = PackProject(fixture_.Request(), observer);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(FilesBelow(fixture_.out()), std::vector<std::string>({"theme.zip"}));
    EXPECT_EQ(ReadText(fixture_.out() + "/theme.zip"), "an older archive");
}

}  // namespace
}  // namespace sw::pack::test
