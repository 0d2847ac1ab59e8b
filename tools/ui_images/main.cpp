// ui_images RESDIR: draws every numbered image of the pages into RESDIR.
#include <cstdio>

#include "catalogue.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s RESDIR (the ui/res folder)\n", argv[0]);
        return 2;
    }
    int failures = sw::ui_images::WriteCatalogue(argv[1]);
    if (failures > 0) {
        std::fprintf(stderr, "%d images could not be written\n", failures);
        return 1;
    }
    return 0;
}
