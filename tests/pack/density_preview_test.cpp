// A screen drawn at a density takes the element's place from that density's
// layout (the launcher's widget layouts relative to the widget), and its
// image from what the pack puts into the archive for that density.
#include "pack/density_preview.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/engine_fixture.h"
#include "engine/theme_project.h"
#include "gfx/image_decode.h"
#include "pack/pack_fixture.h"

namespace sw::pack {
namespace {

using sw::test::Rgb;
using sw::test::WriteSolidPng;
using test::PackFixture;

// Puts a layout element of a density at (x, y).
void MoveLayoutEntry(const std::string& path, const std::string& tag, const char* name, int x,
                     int y) {
    TiXmlDocument document;
    ASSERT_TRUE(document.LoadFile(path)) << path;
    for (TiXmlElement* child = document.RootElement()->FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
        const char* own = child->Attribute("name");
        if (child->ValueStr() == tag && (name == nullptr || (own && std::string(own) == name))) {
            child->SetAttribute("x", x);
            child->SetAttribute("y", y);
            ASSERT_TRUE(document.SaveFile(path));
            return;
        }
    }
    FAIL() << "no " << tag << " in " << path;
}

bool Draw(const std::string& page, int screen, const std::string& density, const std::string& root,
          gfx::Image& picture, std::string& reason) {
    const ProjectReader project = ReadProject();
    const ThemeModule* module = project->FindModule(page);
    std::string png;
    if (module == nullptr || !DrawScreenAtDensity(*module, screen, density, root, png, reason)) {
        return false;
    }
    return gfx::DecodeImageMemory(reinterpret_cast<const uint8_t*>(png.data()), png.size(),
                                  &picture);
}

struct LayoutCase {
    const char* page;
    const char* module;
    const char* density;
    int width;
    int height;
    const char* layout;  // in the module folder
    const char* entry;
    const char* name;
    const char* image;  // in drawable-xxhdpi
    int x;              // put into the layout
    int y;
    int shown_x;  // a pixel of the element on the picture
    int shown_y;
};

TEST(DensityPreviewTest, AnElementStandsWhereItsDensitysLayoutPutsIt) {
    const LayoutCase cases[] = {
        // The answer button: the plan's 0.66 copy, in the xhdpi layout's box.
        {"通话", "screencall", "xhdpi", 720, 1280, "content/res/xhdpi/lockscreen.xml",
         "ButtonAnswer", nullptr, "incoming_answer.png", 30, 40, 30 + 20, 40 + 20},
        // The unlock ring: its variant _1, in the template's hdpi layout.
        {"锁屏", "lockscreen", "hdpi", 540, 960,
         "content/lockscreen/content/res/hdpi/lockscreen.xml", "Image", "unlock_background",
         "unlock_background.png", 10, 10, 14, 14},
        // The widget's colon: the widget's origin (20, 90) scaled by 1.3, then
        // the xxxhdpi layout's place inside the widget.
        {"桌面", "launcher", "xxxhdpi", 1440, 2560, "content/res/xml/weatherconfig3.xml", "Image",
         "colon", "weather_time_colon.png", 500, 700, 26 + 500 + 60, 117 + 700 + 60},
    };
    PackFixture fixture;
    ASSERT_TRUE(fixture.ok());
    const std::string root = std::filesystem::canonical(fixture.ProjectDir()).string();
    const gfx::Pixel colour = Rgb(1, 200, 3);
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(std::string(c.module) + " " + c.density);
        const std::string module = fixture.Module(c.module);
        WriteSolidPng(module + "/content/res/drawable-xxhdpi/" + c.image, 60, 60, colour);
        MoveLayoutEntry(module + "/" + c.layout, c.entry, c.name, c.x, c.y);
        gfx::Image picture;
        std::string reason;
        ASSERT_TRUE(Draw(c.page, 0, c.density, root, picture, reason)) << reason;
        EXPECT_EQ(picture.width(), c.width);
        EXPECT_EQ(picture.height(), c.height);
        const gfx::Pixel shown = picture.StraightPixelAt(c.shown_x, c.shown_y);
        EXPECT_LE(std::abs(shown.r - colour.r) + std::abs(shown.g - colour.g) +
                      std::abs(shown.b - colour.b),
                  3)
            << "at " << c.shown_x << "," << c.shown_y << ": " << int(shown.r) << "," << int(shown.g)
            << "," << int(shown.b);
    }
}

TEST(DensityPreviewTest, ADensityOrScreenTheModuleDoesNotHaveIsRefused) {
    struct Refused {
        const char* page;
        int screen;
        const char* density;
    };
    const Refused cases[] = {
        {"通话", 0, "hdpi_720x1280"},  // only the lock screen has that folder
        {"通话", 0, "ldpi"},          {"通话", 0, ""}, {"通话", 1, "xhdpi"}, {"锁屏", -1, "hdpi"},
    };
    PackFixture fixture;
    ASSERT_TRUE(fixture.ok());
    const std::string root = std::filesystem::canonical(fixture.ProjectDir()).string();
    for (const Refused& c : cases) {
        SCOPED_TRACE(std::string(c.page) + " " + std::to_string(c.screen) + " " + c.density);
        gfx::Image picture;
        std::string reason;
        EXPECT_FALSE(Draw(c.page, c.screen, c.density, root, picture, reason));
        EXPECT_FALSE(reason.empty());
    }
}

TEST(DensityPreviewTest, EachModuleOffersTheDensitiesItsPackMakes) {
    auto names = [](const std::string& module) {
        std::string all;
        for (const PreviewDensity& density : PreviewDensitiesOf(module)) {
            all += density.name + "=" + std::to_string(density.width) + "x" +
                   std::to_string(density.height) + " ";
        }
        return all;
    };
    EXPECT_EQ(names("launcher"), "hdpi=540x960 xhdpi=720x1280 xxhdpi=1080x1920 xxxhdpi=1440x2560 ");
    EXPECT_EQ(names("lockscreen"),
              "hdpi=540x960 hdpi_720x1280=720x1280 xhdpi=720x1280 xxhdpi=1080x1920 "
              "xxxhdpi=1440x2560 ");
    EXPECT_EQ(names("screencall"),
              "hdpi=540x960 xhdpi=720x1280 xxhdpi=1080x1920 xxxhdpi=1440x2560 ");
    EXPECT_EQ(names("other"), "");
}

}  // namespace
}  // namespace sw::pack
