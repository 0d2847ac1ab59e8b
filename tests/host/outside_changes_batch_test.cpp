// Which batches of outside changes the watch handles after only a short
// wait: one image saved whole, nothing more.
#include "host/outside_changes_batch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sw::host::test {
namespace {

using Kind = FolderEvent::Kind;

const std::string kProject = "/p/theme";
const std::string kWallpaper = kProject + "/launcher/content/res/drawable-xxhdpi/wallpaper.png";
const std::string kIcon = kProject + "/launcher/content/res/drawable-xxhdpi/icon.png";

struct Case {
    const char* what;
    std::vector<FolderEvent> events;
    bool one_image;
};

TEST(OutsideChangesBatchTest, OneImageSavedWholeIsToldApart) {
    const std::vector<Case> cases = {
        {"renamed into place", {{Kind::kWritten, kWallpaper}}, true},
        {"written beside, then renamed over",
         {{Kind::kWritten, kWallpaper + ".part"},
          {Kind::kRemoved, kWallpaper + ".part"},
          {Kind::kWritten, kWallpaper}},
         true},
        {"closed twice in place",
         {{Kind::kWritten, kWallpaper}, {Kind::kWritten, kWallpaper}},
         true},
        {"two images", {{Kind::kWritten, kWallpaper}, {Kind::kWritten, kIcon}}, false},
        {"an image and a layout",
         {{Kind::kWritten, kWallpaper}, {Kind::kWritten, kProject + "/launcher/layout.xml"}},
         false},
        {"a layout alone", {{Kind::kWritten, kProject + "/launcher/layout.xml"}}, false},
        {"an image removed", {{Kind::kRemoved, kWallpaper}}, false},
        {"an image saved, then removed",
         {{Kind::kWritten, kWallpaper}, {Kind::kRemoved, kWallpaper}},
         false},
        {"a folder came",
         {{Kind::kWritten, kWallpaper}, {Kind::kFolderChanged, kProject + "/x"}},
         false},
        {"events were dropped", {{Kind::kOverflow, kProject}}, false},
        {"only a temporary file", {{Kind::kWritten, kWallpaper + ".part"}}, false},
        {"an image outside the project", {{Kind::kWritten, "/elsewhere/wallpaper.png"}}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsOneImageSaved(kProject, c.events), c.one_image) << c.what;
    }
}

}  // namespace
}  // namespace sw::host::test
