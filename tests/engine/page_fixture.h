// A small project for the editor's commands: a launcher module of four
// screens at 540 x 960 and a lock-screen module of one, written into a
// temporary folder.
//
// Launcher ("桌面"), categories "壁纸|图标|文字|时钟|分页符|只读|空":
//   screen 0: 0 wallpaper (JPEG, 壁纸), 1 text "Hello" (文字, label_color),
//             2 colour block (文字, block_color #80FF0000), 3 read-only frame
//             over the whole screen (壁纸), 4 icon without a category
//   screen 1: 0 wallpaper, 1 app icon (图标), 2 text "World" (文字,
//             label_color: one group with screen 0's text), 3 icon of
//             drawable-nodpi/clock_bg_no.png (时钟), 4 icongroup "@dots" of
//             four images with one description (分页符)
//   screen 2: 0 wallpaper, 1 read-only icon (只读)
//   screen 3: 0 wallpaper, 1 and 2 the app icon again (图标, joining
//             screen 1's group)
// Lock screen ("锁屏"), categories "装饰|壁纸": screen 0: 0 read-only icon
//   (装饰) at (0, 0, 40, 40), 1 wallpaper (壁纸) from y = 100 down, so the
//   read-only icon alone covers the top left corner.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine_fixture.h"
#include "engine/theme_project.h"

namespace sw::test {

class PageProject {
  public:
    PageProject();

    const std::string& root() const { return folder_.path(); }
    std::string project_file() const { return folder_ / "P/theme.wtpj"; }
    std::string launcher() const { return folder_ / "P/theme/launcher"; }
    std::string lockscreen() const { return folder_ / "P/theme/lockscreen"; }
    // preview/xxhdpi/preview{n}_suit.jpg and thumbnail/preview{n}.jpg of a
    // module folder, n counted from 1.
    static std::string Preview(const std::string& module, int n);
    static std::string Thumbnail(const std::string& module, int n);
    // Removes every preview file of the module folder.
    static void DeletePreviews(const std::string& module);
    // Which of the first count previews of the module exist.
    static std::vector<bool> PreviewsPresent(const std::string& module, int count);

  private:
    TempFolder folder_;
};

// Tests on the page project opened into a project of their own.
class OpenPageProjectTest : public ::testing::Test {
  protected:
    OpenPageProjectTest() : log_(fixture_.root()) {}
    void SetUp() override { ASSERT_TRUE(project_.Open(fixture_.project_file())); }

    ThemeModule& launcher() { return *project_.FindModule("桌面"); }
    ThemeModule& lockscreen() { return *project_.FindModule("锁屏"); }
    std::vector<bool> LauncherPreviews() const {
        return PageProject::PreviewsPresent(fixture_.launcher(), 4);
    }

    PageProject fixture_;
    LogCapture log_;
    ThemeProject project_;
};

}  // namespace sw::test
