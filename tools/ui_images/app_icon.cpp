// app_icon ICONDIR: draws the program's icon for the desktop's menus into an
// icon theme folder (ICONDIR is packaging/icons/hicolor): a scalable SVG and
// PNGs in the sizes menus and launchers ask for most.
#include <cairo-svg.h>
#include <cairo.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "glyphs.h"

namespace {

constexpr const char* kIconName = "skinwright";

bool WritePng(const std::string& folder, int size) {
    const std::string apps =
        folder + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
    std::filesystem::create_directories(apps);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    sw::ui_images::DrawLogoMark(cr, 0, 0, size);
    cairo_destroy(cr);
    const std::string path = apps + "/" + kIconName + ".png";
    const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return written;
}

bool WriteSvg(const std::string& folder) {
    const std::string apps = folder + "/scalable/apps";
    std::filesystem::create_directories(apps);
    const std::string path = apps + "/" + kIconName + ".svg";
    cairo_surface_t* surface = cairo_svg_surface_create(path.c_str(), 64, 64);
    cairo_t* cr = cairo_create(surface);
    sw::ui_images::DrawLogoMark(cr, 0, 0, 64);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const bool written = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s ICONDIR (packaging/icons/hicolor)\n", argv[0]);
        return 2;
    }
    bool written = WriteSvg(argv[1]);
    for (int size : {48, 128, 256}) {
        written = WritePng(argv[1], size) && written;
    }
    if (!written) {
        std::fprintf(stderr, "the icons could not all be written to %s\n", argv[1]);
        return 1;
    }
    return 0;
}
