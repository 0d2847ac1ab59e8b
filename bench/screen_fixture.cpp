#include "screen_fixture.h"

#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>

#include "core/log.h"
#include "engine/module_loader.h"
#include "gfx/image.h"
#include "gfx/image_encode.h"

namespace sw::bench {

namespace {

namespace fs = std::filesystem;

constexpr int kScreenWidth = 1080;
constexpr int kScreenHeight = 1920;
constexpr int kIconCount = 10;
constexpr int kIconSize = 192;  // drawn at 156 x 156, as launcher icons are
constexpr int kIconDrawn = 156;

uint8_t Clamp(double v) {
    return static_cast<uint8_t>(std::clamp(v, 0.0, 255.0));
}

// A sky-like gradient with grain, so that the JPEG codec has real work.
bool WriteWallpaper(const std::string& path) {
    gfx::Image image = gfx::Image::Create(kScreenWidth, kScreenHeight, false);
    if (image.empty()) {
        return false;
    }
    std::mt19937 random(7);
    std::uniform_int_distribution<int> grain(-12, 12);
    for (int y = 0; y < kScreenHeight; ++y) {
        uint8_t* row = image.row(y);
        const double t = static_cast<double>(y) / kScreenHeight;
        for (int x = 0; x < kScreenWidth; ++x) {
            const double wave = 30.0 * std::sin(x / 90.0 + t * 9.0);
            row[4 * x + 0] = Clamp(200 - 120 * t + wave + grain(random));  // blue
            row[4 * x + 1] = Clamp(80 + 90 * t + grain(random));           // green
            row[4 * x + 2] = Clamp(60 + 180 * t - wave + grain(random));   // red
            row[4 * x + 3] = 255;
        }
    }
    image.MarkDirty();
    return gfx::SaveJpeg(image, path);
}

// A rounded tile with a soft edge and a gradient, straight alpha.
bool WriteIcon(const std::string& path, int seed) {
    gfx::Image image = gfx::Image::Create(kIconSize, kIconSize, true);
    if (image.empty()) {
        return false;
    }
    const double radius = kIconSize * 0.42;
    const double centre = kIconSize / 2.0;
    for (int y = 0; y < kIconSize; ++y) {
        uint8_t* row = image.row(y);
        for (int x = 0; x < kIconSize; ++x) {
            const double dx = std::max(std::abs(x - centre) - radius * 0.5, 0.0);
            const double dy = std::max(std::abs(y - centre) - radius * 0.5, 0.0);
            const double edge = radius * 0.5 - std::sqrt(dx * dx + dy * dy);
            const double alpha = std::clamp(edge + 0.5, 0.0, 1.0);
            row[4 * x + 0] = Clamp(40 + 20 * seed + y / 2);
            row[4 * x + 1] = Clamp(220 - 15 * seed - x / 3);
            row[4 * x + 2] = Clamp(90 + 10 * seed + (x + y) / 4);
            row[4 * x + 3] = Clamp(alpha * 255);
        }
    }
    image.MarkDirty();
    return gfx::SavePng(image, path);
}

// A 60 x 60 frame with a 20-pixel stretchable middle in each direction.
bool WriteNinePatch(const std::string& path) {
    constexpr int size = 62;
    gfx::Image image = gfx::Image::Create(size, size, true);
    if (image.empty()) {
        return false;
    }
    for (int y = 0; y < size; ++y) {
        uint8_t* row = image.row(y);
        for (int x = 0; x < size; ++x) {
            uint8_t* p = row + 4 * x;
            const bool border = x == 0 || y == 0 || x == size - 1 || y == size - 1;
            if (border) {
                const bool mark = (y == 0 && x >= 21 && x < 41) || (x == 0 && y >= 21 && y < 41);
                p[0] = p[1] = p[2] = 0;
                p[3] = mark ? 255 : 0;
            } else {
                p[0] = 250;
                p[1] = 245;
                p[2] = 240;
                p[3] = static_cast<uint8_t>(90 + std::min({x, y, size - x, size - y}) * 2);
            }
        }
    }
    image.MarkDirty();
    return gfx::SavePng(image, path);
}

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return out.good();
}

std::string Item(const std::string& name, int value) {
    return "  <item name=\"" + name + "\">" + std::to_string(value) + "px</item>\n";
}

}  // namespace

ScreenFixture::ScreenFixture() {
    std::string pattern = (fs::temp_directory_path() / "sw-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        return;
    }
    folder_ = pattern;
    ok_ = Build();
}

ScreenFixture::~ScreenFixture() {
    if (!folder_.empty()) {
        std::error_code error;
        fs::remove_all(folder_, error);
    }
}

bool ScreenFixture::Build() {
    const std::string module = folder_ + "/launcher";
    const std::string images = module + "/content/res/drawable-xxhdpi";
    std::error_code error;
    fs::create_directories(images, error);
    fs::create_directories(module + "/content/res/values", error);

    if (!WriteWallpaper(images + "/wallpaper.jpg") || !WriteNinePatch(images + "/dock.9.png")) {
        return false;
    }
    image_files_ = {images + "/wallpaper.jpg", images + "/dock.9.png"};

    std::string values = "<resources>\n";
    values += Item("zero", 0) + Item("screen_w", kScreenWidth) + Item("screen_h", kScreenHeight);
    values += Item("icon", kIconDrawn) + Item("dock_x", 30) + Item("dock_y", 1560) +
              Item("dock_w", 1020) + Item("dock_h", 300) + Item("text_size", 44) +
              Item("block_x", 60) + Item("block_y", 160) + Item("block_w", 960) +
              Item("block_h", 420);
    values += "  <item name=\"text_color\">#FFFFFFFF</item>\n";
    values += "  <item name=\"block_color\">#66203040</item>\n";

    std::string elements =
        "  <icon left=\"zero\" top=\"zero\" width=\"screen_w\" height=\"screen_h\" "
        "res=\"wallpaper\" category=\"wallpaper\" />\n"
        "  <colorblock left=\"block_x\" top=\"block_y\" width=\"block_w\" height=\"block_h\" "
        "color=\"block_color\" category=\"widget\" />\n";
    for (int i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i);
        values += Item("text_x" + n, 100) + Item("text_y" + n, 200 + 120 * i);
        elements += "  <text left=\"text_x" + n + "\" top=\"text_y" + n +
                    "\" text=\"星期四 6月18日 Text " + n +
                    "\" size=\"text_size\" color=\"text_color\" category=\"widget\" />\n";
    }
    elements +=
        "  <icon left=\"dock_x\" top=\"dock_y\" width=\"dock_w\" height=\"dock_h\" res=\"dock\" "
        "category=\"dock\" />\n";
    for (int i = 0; i < kIconCount; ++i) {
        const std::string n = std::to_string(i);
        const std::string file = images + "/app_" + n + ".png";
        if (!WriteIcon(file, i)) {
            return false;
        }
        image_files_.push_back(file);
        values += Item("icon_x" + n, 60 + (i % 4) * 260) + Item("icon_y" + n, 700 + (i / 4) * 300);
        elements += "  <icon left=\"icon_x" + n + "\" top=\"icon_y" + n +
                    "\" width=\"icon\" height=\"icon\" res=\"app_" + n +
                    "\" category=\"icons\" />\n";
    }
    values += "</resources>\n";
    const std::string templateText =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<package name=\"桌面\" version=\"1\">\n"
        "<category list=\"wallpaper|widget|dock|icons\" />\n"
        "<screen>\n" +
        elements + "</screen>\n</package>\n";
    if (!WriteFile(module + "/template_values.xml", values) ||
        !WriteFile(module + "/template.xml", templateText)) {
        return false;
    }

    module_ = std::make_unique<ThemeModule>();
    module_->context.screen_width = kScreenWidth;
    module_->context.screen_height = kScreenHeight;
    module_->context.density = 480;
    return LoadModule(*module_, module);
}

}  // namespace sw::bench
