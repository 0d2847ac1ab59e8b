// The density images of one module copy: sizes, names and folders.
#include <gtest/gtest.h>
#include <json/reader.h>

#include <map>

#include "core/files.h"
#include "engine/engine_fixture.h"
#include "pack/density_plan.h"
#include "pack/module_archives.h"
#include "pack/pack_fixture.h"
#include "pack/pack_meta.h"

namespace sw::pack::test {
namespace {

using sw::test::ReadText;
using sw::test::Rgb;
using sw::test::WriteSolidPng;
using sw::test::WriteText;

// The call screen's buttons keep their own size times the density's factor,
// truncated; a missing button makes nothing.
TEST(DensityPlanTest, CallButtonsScaleWithTheDensity) {
    TempFolder folder;
    const std::string call = folder / "callscreen";
    for (const char* density : {"xxxhdpi", "xxhdpi", "xhdpi", "hdpi"}) {
        MakeFolderPath(call + "/content/res/" + density);
    }
    const std::string drawable = call + "/content/res/drawable-xxhdpi/";
    WriteSolidPng(drawable + "incoming_answer.png", 200, 150, Rgb(1, 2, 3));
    WriteSolidPng(drawable + "incoming_hangup.png", 100, 100, Rgb(1, 2, 3));
    WriteSolidPng(drawable + "custom_wallpaper.png", 10, 10, Rgb(1, 2, 3));
    WriteText(drawable + "incoming_sms.png", "not an image");

    const PackTree tree = TreeOf(call, "call");
    gfx::DecodedPictures pictures;
    std::map<std::string, std::string> made;
    for (const ResizeJob& job : CallscreenResizes(tree, "call", pictures)) {
        for (const ResizeTarget& target : job.targets) {
            made[target.destination.substr(std::string("call/content/res/").size())] =
                std::to_string(target.width) + "x" + std::to_string(target.height);
        }
    }
    const std::map<std::string, std::string> expected = {
        {"xxxhdpi/custom_wallpaper.png", "1440x2560"}, {"xxhdpi/custom_wallpaper.png", "1080x1920"},
        {"xhdpi/custom_wallpaper.png", "720x1280"},    {"hdpi/custom_wallpaper.png", "540x960"},
        {"xxxhdpi/incoming_answer.png", "260x195"},    {"xxhdpi/incoming_answer.png", "200x150"},
        {"xhdpi/incoming_answer.png", "132x99"},       {"hdpi/incoming_answer.png", "100x75"},
        {"xxxhdpi/incoming_hangup.png", "130x130"},    {"xxhdpi/incoming_hangup.png", "100x100"},
        {"xhdpi/incoming_hangup.png", "66x66"},        {"hdpi/incoming_hangup.png", "50x50"},
    };
    EXPECT_EQ(made, expected);
}

// A designer's NAME.png wins over its variants; without it the variants
// given are spread over the five density folders.
TEST(DensityPlanTest, LockScreenVariantsReachTheDensityFolders) {
    TempFolder folder;
    const std::string lock = folder / "lockscreen";
    const std::string res = lock + "/content/res/";
    for (const char* density : {"hdpi", "hdpi_720x1280", "xhdpi", "xxhdpi", "xxxhdpi_1440x2560"}) {
        MakeFolderPath(res + density);
    }
    const std::string drawable = res + "drawable-xxhdpi/";
    WriteText(drawable + "time_5.png", "plain five");
    WriteText(drawable + "time_5_2.png", "designer's variant");
    for (int k = 1; k <= 4; ++k) {
        WriteText(drawable + "time_6_" + std::to_string(k) + ".png", "six " + std::to_string(k));
    }
    WriteText(drawable + "animator3.png", "frame");

    PackTree tree = TreeOf(lock, "lock");
    CopyLockscreenVariants(tree, "lock");
    DistributeLockscreen(tree, "lock");

    const std::pair<const char*, const char*> expected[] = {
        {"hdpi/time_5.png", "plain five"},
        {"xhdpi/time_5.png", "plain five"},
        {"hdpi_720x1280/time_5.png", "plain five"},
        {"xxxhdpi_1440x2560/time_5.png", "plain five"},
        {"hdpi/time_6.png", "six 1"},
        {"hdpi_720x1280/time_6.png", "six 2"},
        {"xhdpi/time_6.png", "six 2"},
        {"xxhdpi/time_6.png", "six 3"},
        {"xxxhdpi_1440x2560/time_6.png", "six 4"},
        {"xxhdpi/animator3.png", "frame"},
    };
    for (const auto& [file, text] : expected) {
        EXPECT_EQ(TreeText(tree, std::string("lock/content/res/") + file), text) << file;
    }
    EXPECT_FALSE(tree.IsFile("lock/content/res/hdpi/time_7.png"));
}

TEST(DensityPlanTest, LauncherWithoutAWidgetLayoutGetsNoneInThatDensity) {
    TempFolder folder;
    const std::string launcher = folder / "launcher";
    const std::string res = launcher + "/content/res/";
    WriteText(res + "xml/weatherconfig.xml", "hdpi");
    WriteText(res + "xml/weatherconfig1.xml", "xhdpi");
    WriteText(res + "xml/weatherconfig3.xml", "xxxhdpi");
    WriteText(res + "drawable-xxhdpi/wallpaper_grass_1.png", "small");
    WriteText(res + "drawable-xxhdpi/wallpaper_grass_2.png", "middle");

    PackTree tree = TreeOf(launcher, "launcher");
    DistributeLauncher(tree, "launcher");

    const std::string packed = "launcher/content/res/";
    EXPECT_EQ(TreeText(tree, packed + "drawable-hdpi/weatherconfig.xml"), "hdpi");
    EXPECT_EQ(TreeText(tree, packed + "drawable-xhdpi/weatherconfig.xml"), "xhdpi");
    EXPECT_FALSE(tree.IsFile(packed + "drawable-xxhdpi/weatherconfig.xml"));
    EXPECT_EQ(TreeText(tree, packed + "drawable-xxxhdpi/weatherconfig.xml"), "xxxhdpi");
    EXPECT_EQ(TreeText(tree, packed + "drawable-hdpi/wallpaper_grass.png"), "small");
    EXPECT_EQ(TreeText(tree, packed + "drawable-xhdpi/wallpaper_grass.png"), "middle");
    EXPECT_FALSE(tree.IsFile(packed + "drawable-xxxhdpi/wallpaper_grass.png"));
    EXPECT_FALSE(tree.IsFile(packed + "drawable-xxhdpi/wallpaper_grass_1.png"));
    EXPECT_FALSE(tree.IsFile(packed + "xml/weatherconfig.xml"));
    // The project itself is never touched.
    EXPECT_TRUE(IsFile(res + "xml/weatherconfig.xml"));
}

TEST(ModuleArchivesTest, IconExclusionsDeleteEveryNamedIcon) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {",phone.png", {"a.png", "b.png", "c.png"}},
        {",a.png,b.png", {"c.png", "phone.png"}},
        {"", {"a.png", "b.png", "c.png", "phone.png"}},
        {",,a.png,", {"b.png", "c.png", "phone.png"}},
        {",../outside.png", {"a.png", "b.png", "c.png", "phone.png"}},
    };
    for (const auto& [list, kept] : cases) {
        TempFolder folder;
        const std::string drawable = folder / "launcher/content/res/drawable-xxhdpi/";
        for (const char* name : {"a.png", "b.png", "c.png", "phone.png"}) {
            WriteText(drawable + name, name);
        }
        WriteText(folder / "launcher/content/res/outside.png", "outside");
        PackTree tree = TreeOf(folder / "launcher", "launcher");
        DeleteExcludedIcons(tree, "launcher", list);
        std::vector<std::string> left;
        for (const ZipEntry& entry : tree.EntriesBelow("launcher/content/res/drawable-xxhdpi")) {
            left.push_back(entry.name);
        }
        EXPECT_EQ(left, kept) << list;
        EXPECT_TRUE(tree.IsFile("launcher/content/res/outside.png")) << list;
    }
}

TEST(PackMetaTest, OnlyTheEntriesOfUnwantedModulesGo) {
    struct Case {
        WantedModules wanted;
        const char* contents;
    };
    const Case cases[] = {
        {{true, true, true}, "[\"launcher\",\"lockscreen\",\"callscreen\"]"},
        {{false, true, false}, "[\"lockscreen\"]"},
        {{false, true, true}, "[\"lockscreen\",\"callscreen\"]"},
        {{true, false, true}, "[\"launcher\",\"callscreen\"]"},
        {{false, false, false}, "[]"},
    };
    for (const Case& c : cases) {
        Json::Value document;
        ASSERT_TRUE(Json::Reader().parse(
            "{\"resource_contents\":[\"launcher\",\"lockscreen\",\"callscreen\"],"
            "\"resource_tags\":null,\"resource_id\":7}",
            document));
        TrimResourceContents(document, c.wanted);
        Json::Value expected;
        ASSERT_TRUE(Json::Reader().parse(c.contents, expected));
        EXPECT_EQ(document["resource_contents"], expected) << c.contents;
        // Other members, null ones included, stay.
        EXPECT_TRUE(document.isMember("resource_tags"));
        EXPECT_EQ(document["resource_id"].asInt(), 7);
    }
}

}  // namespace
}  // namespace sw::pack::test
