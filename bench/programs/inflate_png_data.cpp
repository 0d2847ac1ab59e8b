// The yardstick of opening a project: inflates the compressed pixel data (the
// IDAT chunks) of every PNG file below a folder once, on one core, and
// throws the pixels away. Nothing that reads those pictures can do less.
//
//     inflate_png_data FOLDER
#include <cstdio>
#include <string>

#include "png_pixel_data.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: inflate_png_data FOLDER\n");
        return 2;
    }
    int files = 0;
    std::string failed;
    const long long pixels = sw::bench::InflatePngPixelData(argv[1], files, failed);
    if (pixels < 0) {
        std::fprintf(stderr, "not inflated: %s\n", failed.c_str());
        return 1;
    }
    std::printf("%d PNG files, %lld bytes of pixel data\n", files, pixels);
    return 0;
}
