// The preview's density commands as the editor page calls them: the
// densities of a module, and a screen drawn at one of them into a picture
// the page may load; a density or module the pack does not make answers
// with an error and leaves no picture.
#include <gtest/gtest.h>
#include <json/reader.h>

#include <filesystem>
#include <memory>
#include <string>

#include "gfx/image.h"
#include "gfx/image_decode.h"
#include "harness.h"
#include "host/project_tasks.h"

namespace sw::host::test {
namespace {

namespace fs = std::filesystem;

class DensityCommandsTest : public ::testing::Test {
  protected:
    DensityCommandsTest() {
        const std::string project = harness_.folder() / "P/theme.wtpj";
        WriteFile(project, "{\"name\": \"theme\", \"dpi\": \"xxhdpi\", \"density\": 320}");
        fs::copy(SKINWRIGHT_SOURCE_DIR "/template", harness_.folder() / "P/theme",
                 fs::copy_options::recursive);
        EXPECT_TRUE(OpenProjectAtStart(project));
        harness_.host().SetTopWindow(harness_.host().main_window());
        main_ = std::make_unique<PageClient>(harness_.port(), "main", harness_.cookie());
    }

    Json::Value Answer(const char* command, const Json::Value& args) {
        auto answer = main_->Call(command, args, 60s);
        EXPECT_TRUE(answer) << command;
        Json::Value value;
        if (answer) {
            Json::Reader().parse((*answer)["value"].asString(), value);
        }
        return value;
    }

    HostHarness harness_;
    std::unique_ptr<PageClient> main_;
};

TEST_F(DensityCommandsTest, AScreenIsDrawnAtTheDensitiesItsModuleIsPackedAt) {
    struct Case {
        const char* package;
        int screen;
        const char* density;
        int width;  // 0: refused
        int height;
    };
    const Case cases[] = {
        {"通话", 0, "xhdpi", 720, 1280}, {"锁屏", 0, "hdpi_720x1280", 720, 1280},
        {"桌面", 1, "hdpi", 540, 960},   {"通话", 0, "hdpi_720x1280", 0, 0},
        {"通话", 3, "xhdpi", 0, 0},      {"无此模块", 0, "xhdpi", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.package) + " " + c.density);
        const Json::Value answer =
            Answer("DrawPreviewDensity", Array({c.package, c.screen, c.density}));
        if (c.width == 0) {
            EXPECT_TRUE(answer.isMember("error"));
            EXPECT_FALSE(answer.isMember("path"));
            continue;
        }
        ASSERT_TRUE(answer.isMember("path")) << answer.toStyledString();
        EXPECT_EQ(answer["label"].asString(), std::string(c.density) + " (" +
                                                  std::to_string(c.width) + " x " +
                                                  std::to_string(c.height) + ")");
        const std::string path = answer["path"].asString();
        gfx::Image picture;
        ASSERT_TRUE(gfx::DecodeImage(path, &picture));
        EXPECT_EQ(picture.width(), c.width);
        EXPECT_EQ(picture.height(), c.height);
        // The picture lies beside the project, and the page may load it.
        EXPECT_EQ(harness_.Get("/file?path=" + path).status, 200u);
    }
}

// The answer says where each element lies on the density's picture, as
// that density's layout puts it, so that the selection outline sits on it.
TEST_F(DensityCommandsTest, TheAnswerPlacesEachElementAsTheDensitysLayoutDoes) {
    struct Case {
        const char* package;
        const char* density;
        int element;
        int left, top, width, height;  // in the picture's pixels
    };
    const Case cases[] = {
        // Wallpapers fill the picture, not the xxhdpi box times 0.66 (712).
        {"通话", "xhdpi", 0, 0, 0, 720, 1280},
        {"锁屏", "xhdpi", 0, 0, 0, 720, 1280},
        {"通话", "xxxhdpi", 0, 0, 0, 1440, 2560},
        // The template's xhdpi layout: ButtonAnswer x="452" y="1029" w="145".
        {"通话", "xhdpi", 4, 452, 1029, 145, 145},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.package) + " " + c.density + " " + std::to_string(c.element));
        const Json::Value answer = Answer("DrawPreviewDensity", Array({c.package, 0, c.density}));
        const Json::Value* found = nullptr;
        for (const Json::Value& box : answer["boxes"]) {
            if (box["screen"].asInt() == 0 && box["element"].asInt() == c.element) {
                found = &box;
            }
        }
        ASSERT_NE(found, nullptr) << answer.toStyledString();
        EXPECT_EQ((*found)["left"].asInt(), c.left);
        EXPECT_EQ((*found)["top"].asInt(), c.top);
        EXPECT_EQ((*found)["width"].asInt(), c.width);
        EXPECT_EQ((*found)["height"].asInt(), c.height);
    }
}

TEST_F(DensityCommandsTest, EachModuleListsItsDensities) {
    const Json::Value lock = Answer("GetPreviewDensities", Array({"锁屏"}));
    ASSERT_EQ(lock.size(), 5u);
    EXPECT_EQ(lock[1]["name"].asString(), "hdpi_720x1280");
    EXPECT_EQ(lock[1]["label"].asString(), "hdpi_720x1280 (720 x 1280)");
    EXPECT_EQ(Answer("GetPreviewDensities", Array({"通话"})).size(), 4u);
    EXPECT_EQ(Answer("GetPreviewDensities", Array({"无此模块"})).size(), 0u);
}

}  // namespace
}  // namespace sw::host::test
