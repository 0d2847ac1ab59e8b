#include "engine/page_fixture.h"

#include <filesystem>

namespace sw::test {

namespace fs = std::filesystem;

namespace {

void WriteLauncher(const std::string& path) {
    ModuleFolder module(path);
    module.WriteTemplate(
        "  <resources>\n"
        "    <dots name=\"dots\" res=\"dot_a|dot_b|dot_c|dot_d\" desc=\"第一\" />\n"
        "  </resources>\n"
        "  <category list=\"壁纸|图标|文字|时钟|分页符|只读|空\" />\n"
        "  <screen>\n"
        "    <icon left=\"zero\" top=\"zero\" width=\"screen_w\" height=\"screen_h\"\n"
        "          res=\"wallpaper\" category=\"壁纸\" desc=\"桌面壁纸\" />\n"
        "    <text left=\"label_left\" top=\"label_top\" text=\"Hello\" size=\"label_size\"\n"
        "          color=\"label_color\" category=\"文字\" desc=\"标签|多余\" />\n"
        "    <colorblock left=\"block_left\" top=\"block_top\" width=\"block_w\"\n"
        "          height=\"block_h\" color=\"block_color\" category=\"文字\" />\n"
        "    <icon left=\"zero\" top=\"zero\" width=\"screen_w\" height=\"screen_h\"\n"
        "          res=\"frame\" category=\"壁纸\" readonly=\"true\" />\n"
        "    <icon left=\"misc_left\" top=\"misc_top\" width=\"icon_size\" height=\"icon_size\"\n"
        "          res=\"misc\" />\n"
        "  </screen>\n"
        "  <screen>\n"
        "    <icon left=\"zero\" top=\"zero\" width=\"screen_w\" height=\"screen_h\"\n"
        "          res=\"wallpaper\" category=\"壁纸\" desc=\"桌面壁纸\" />\n"
        "    <icon left=\"icon_left\" top=\"icon_top\" width=\"icon_size\" height=\"icon_size\"\n"
        "          res=\"app_icon\" category=\"图标\" desc=\"应用\" />\n"
        "    <text left=\"label_left\" top=\"world_top\" text=\"World\" size=\"label_size\"\n"
        "          color=\"label_color\" category=\"文字\" />\n"
        "    <icon left=\"clock_left\" top=\"clock_top\" width=\"clock_w\" height=\"clock_h\"\n"
        "          res=\"clock_bg_no\" category=\"时钟\" />\n"
        "    <icongroup left=\"dots_left\" top=\"dots_top\" width=\"icon_size\"\n"
        "          height=\"icon_size\" res=\"@dots\" index=\"1\" category=\"分页符\" redraw=\"1\" "
        "/>\n"
        "  </screen>\n"
        "  <screen>\n"
        "    <icon left=\"zero\" top=\"zero\" width=\"screen_w\" height=\"screen_h\"\n"
        "          res=\"wallpaper\" category=\"壁纸\" desc=\"桌面壁纸\" />\n"
        "    <icon left=\"icon_left\" top=\"icon_top\" width=\"icon_size\" height=\"icon_size\"\n"
        "          res=\"locked_icon\" category=\"只读\" readonly=\"yes\" />\n"
        "  </screen>\n"
        "  <screen>\n"
        "    <icon left=\"zero\" top=\"zero\" width=\"screen_w\" height=\"screen_h\"\n"
        "          res=\"wallpaper\" category=\"壁纸\" desc=\"桌面壁纸\" />\n"
        "    <icon left=\"other_left\" top=\"icon_top\" width=\"icon_size\" height=\"icon_size\"\n"
        "          res=\"app_icon\" category=\"图标\" desc=\"应用\" />\n"
        "    <icon left=\"third_left\" top=\"icon_top\" width=\"icon_size\" height=\"icon_size\"\n"
        "          res=\"app_icon\" category=\"图标\" desc=\"应用\" />\n"
        "  </screen>\n",
        "name=\"桌面\" version=\"2.5\"");
    module.WriteDimens({{"zero", "0px"},        {"screen_w", "540px"},   {"screen_h", "960px"},
                        {"label_left", "20px"}, {"label_top", "30px"},   {"world_top", "300px"},
                        {"block_left", "50px"}, {"block_top", "200px"},  {"block_w", "100px"},
                        {"block_h", "50px"},    {"misc_left", "400px"},  {"misc_top", "800px"},
                        {"icon_left", "150px"}, {"other_left", "250px"}, {"third_left", "350px"},
                        {"icon_top", "400px"},  {"clock_left", "300px"}, {"clock_top", "600px"},
                        {"clock_w", "120px"},   {"clock_h", "60px"},     {"dots_left", "20px"},
                        {"dots_top", "900px"}});
    module.WriteColors({{"label_color", "#FF102030"}, {"block_color", "#80FF0000"}});
    module.WriteTemplateValues({{"label_size", "12dp"}, {"icon_size", "48px"}});
    WriteSolidJpeg(module.Image("wallpaper.jpg"), 54, 96, Rgb(255, 255, 255));
    WriteSolidPng(module.Image("frame.png"), 8, 8, Bgra(0, 0, 0, 0));
    WriteSolidPng(module.Image("misc.png"), 16, 16, Rgb(0, 128, 0));
    WriteSolidPng(module.Image("app_icon.png"), 24, 20, Rgb(0, 0, 255));
    WriteSolidPng(module.Image("locked_icon.png"), 16, 16, Rgb(255, 0, 255));
    WriteSolidPng(module.Image("clock_bg_no.png", true), 12, 6, Rgb(255, 255, 0));
    for (const char* dot : {"dot_a", "dot_b", "dot_c", "dot_d"}) {
        WriteSolidPng(module.Image(std::string(dot) + ".png"), 10, 10, Rgb(200, 200, 200));
    }
}

void WriteLockscreen(const std::string& path) {
    ModuleFolder module(path);
    module.WriteTemplate(
        "  <category list=\"装饰|壁纸\" />\n"
        "  <screen>\n"
        "    <icon left=\"zero\" top=\"zero\" width=\"deco\" height=\"deco\" res=\"deco\"\n"
        "          category=\"装饰\" readonly=\"true\" />\n"
        "    <icon left=\"zero\" top=\"wall_top\" width=\"screen_w\" height=\"wall_h\"\n"
        "          res=\"lock_wallpaper\" category=\"壁纸\" />\n"
        "  </screen>\n",
        "name=\"锁屏\" version=\"1\"");
    module.WriteDimens({{"zero", "0px"},
                        {"screen_w", "540px"},
                        {"wall_top", "100px"},
                        {"wall_h", "860px"},
                        {"deco", "40px"}});
    module.WriteTemplateValues({});
    WriteSolidPng(module.Image("deco.png"), 8, 8, Rgb(10, 10, 10));
    WriteSolidPng(module.Image("lock_wallpaper.png"), 54, 96, Rgb(0, 0, 0), false);
}

}  // namespace

PageProject::PageProject() {
    WriteText(project_file(),
              "{\n   \"density\" : 240,\n   \"dpi\" : \"hdpi\",\n   \"name\" : \"theme\"\n}\n");
    WriteLauncher(launcher());
    WriteLockscreen(lockscreen());
}

std::string PageProject::Preview(const std::string& module, int n) {
    return module + "/preview/xxhdpi/preview" + std::to_string(n) + "_suit.jpg";
}

std::string PageProject::Thumbnail(const std::string& module, int n) {
    return module + "/preview/xxhdpi/thumbnail/preview" + std::to_string(n) + ".jpg";
}

void PageProject::DeletePreviews(const std::string& module) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(module + "/preview/xxhdpi", error)) {
        if (entry.is_regular_file()) {
            fs::remove(entry.path(), error);
        }
    }
}

std::vector<bool> PageProject::PreviewsPresent(const std::string& module, int count) {
    std::vector<bool> present;
    for (int n = 1; n <= count; ++n) {
        present.push_back(fs::is_regular_file(Preview(module, n)));
    }
    return present;
}

}  // namespace sw::test
