#include "engine_fixture.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/log.h"
#include "gfx/image_encode.h"

namespace sw::test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "sw-engine-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "cannot make a temporary folder";
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code error;
    fs::remove_all(path_, error);
}

void WriteText(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    ASSERT_TRUE(out.good()) << path;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

gfx::Pixel Bgra(int b, int g, int r, int a) {
    return gfx::Pixel{static_cast<uint8_t>(b), static_cast<uint8_t>(g), static_cast<uint8_t>(r),
                      static_cast<uint8_t>(a)};
}

gfx::Pixel Rgb(int r, int g, int b) {
    return Bgra(b, g, r, 255);
}

void WritePng(const std::string& path, int width, int height,
              const std::function<gfx::Pixel(int x, int y)>& paint, bool alpha) {
    gfx::Image image = gfx::Image::Create(width, height, alpha);
    ASSERT_FALSE(image.empty());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.SetPixel(x, y, paint(x, y));
        }
    }
    image.MarkDirty();
    fs::create_directories(fs::path(path).parent_path());
    ASSERT_TRUE(gfx::SavePng(image, path)) << path;
}

void WriteSolidPng(const std::string& path, int width, int height, gfx::Pixel color, bool alpha) {
    WritePng(
        path, width, height, [color](int, int) { return color; }, alpha);
}

void WriteSolidJpeg(const std::string& path, int width, int height, gfx::Pixel color) {
    gfx::Image image = gfx::Image::Create(width, height, false);
    ASSERT_FALSE(image.empty());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.SetPixel(x, y, color);
        }
    }
    image.MarkDirty();
    fs::create_directories(fs::path(path).parent_path());
    ASSERT_TRUE(gfx::SaveJpeg(image, path)) << path;
}

LogCapture::LogCapture(const std::string& folder) : path_(folder + "/runtime.log") {
    SetLogFilePath(path_);
    Clear();
}

LogCapture::~LogCapture() {
    SetLogFilePath("");
}

std::vector<std::string> LogCapture::Lines() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadText(path_));
    std::string line;
    while (std::getline(in, line)) {
        // "YYYY-MM-DD hh:mm:ss\tTAG  \tmessage": drop the time stamp.
        const std::size_t tab = line.find('\t');
        lines.push_back(tab == std::string::npos ? line : line.substr(tab + 1));
    }
    return lines;
}

bool LogCapture::HasSequence(const std::vector<std::string>& expected) const {
    const std::vector<std::string> lines = Lines();
    if (expected.empty()) {
        return true;
    }
    for (std::size_t start = 0; start + expected.size() <= lines.size(); ++start) {
        if (std::equal(expected.begin(), expected.end(), lines.begin() + start)) {
            return true;
        }
    }
    return false;
}

void LogCapture::Clear() {
    WriteText(path_, "");
}

std::string ValuesXml(const std::string& tag, const std::map<std::string, std::string>& values) {
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<resources>\n";
    for (const auto& [name, value] : values) {
        text += "    <" + tag + " name=\"" + name + "\">" + value + "</" + tag + ">\n";
    }
    return text + "</resources>\n";
}

ModuleFolder::ModuleFolder(const std::string& path) : path_(path) {
    fs::create_directories(path_ + "/content/res/values");
}

void ModuleFolder::WriteTemplate(const std::string& body, const std::string& rootAttributes) {
    WriteText(path_ + "/template.xml", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<package " +
                                           rootAttributes + ">\n" + body + "</package>\n");
}

void ModuleFolder::WriteDimens(const std::map<std::string, std::string>& values) {
    WriteText(path_ + "/content/res/values/dimens.xml", ValuesXml("dimen", values));
}

void ModuleFolder::WriteColors(const std::map<std::string, std::string>& values) {
    WriteText(path_ + "/content/res/values/colors.xml", ValuesXml("color", values));
}

void ModuleFolder::WriteTemplateValues(const std::map<std::string, std::string>& values) {
    WriteText(path_ + "/template_values.xml", ValuesXml("item", values));
}

std::string ModuleFolder::Image(const std::string& fileName, bool nodpi) const {
    return path_ + (nodpi ? "/content/res/drawable-nodpi/" : "/content/res/drawable-xxhdpi/") +
           fileName;
}

void ModuleFolder::WriteDefault() {
    WriteTemplate(
        "  <category list=\"壁纸|图标|文字\" />\n"
        "  <screen id=\"home\">\n"
        "    <icon left=\"zero\" top=\"zero\" width=\"screen_w\" height=\"screen_h\"\n"
        "          res=\"wallpaper\" category=\"壁纸\" />\n"
        "    <text left=\"label_left\" top=\"label_top\" text=\"Hello\" size=\"label_size\"\n"
        "          color=\"label_color\" category=\"文字\" />\n"
        "    <colorblock left=\"block_left\" top=\"block_top\" width=\"block_w\"\n"
        "          height=\"block_h\" color=\"block_color\" category=\"文字\" />\n"
        "  </screen>\n"
        "  <screen>\n"
        "    <icon left=\"zero\" top=\"zero\" width=\"screen_w\" height=\"screen_h\"\n"
        "          res=\"wallpaper\" category=\"壁纸\" />\n"
        "    <icon left=\"icon_left\" top=\"icon_top\" width=\"icon_size\" height=\"icon_size\"\n"
        "          res=\"app_icon\" category=\"图标\" />\n"
        "  </screen>\n");
    WriteDimens({{"zero", "0px"},
                 {"screen_w", "1080px"},
                 {"screen_h", "1920px"},
                 {"label_left", "50dp"},
                 {"label_top", "100px"},
                 {"block_left", "100px"},
                 {"block_top", "400px"},
                 {"block_w", "200px"},
                 {"block_h", "100px"},
                 {"icon_left", "300px"},
                 {"icon_top", "600px"}});
    WriteColors({{"label_color", "#FF000000"}, {"block_color", "#80FF0000"}});
    WriteTemplateValues({{"label_size", "20dp"}, {"icon_size", "96px"}});
    WriteSolidPng(Image("wallpaper.png"), 108, 192, Rgb(255, 255, 255), false);
    WriteSolidPng(Image("app_icon.png"), 96, 96, Rgb(0, 0, 255));
}

}  // namespace sw::test
