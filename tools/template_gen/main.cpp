// template_gen OUT: writes the theme template (launcher, lockscreen and
// screencall module folders) into the folder OUT, replacing what is there.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "modules.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: template_gen OUT_FOLDER\n");
        return 2;
    }
    std::string root = argv[1];
    std::error_code error;
    for (const char* module : {"launcher", "lockscreen", "screencall"}) {
        std::filesystem::remove_all(root + "/" + module, error);
        if (error) {
            std::fprintf(stderr, "template_gen: cannot empty %s/%s\n", root.c_str(), module);
            return 1;
        }
    }
    sw::template_gen::WriteLauncher(root);
    sw::template_gen::WriteLockscreen(root);
    sw::template_gen::WriteScreencall(root);
    return 0;
}
