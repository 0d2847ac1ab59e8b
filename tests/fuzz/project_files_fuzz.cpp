// The project file and the theme description files from one input (parted
// by "--8<--" lines): the project file opened as the editor opens it, the
// description read as the pack form and the phone push read it.
#include <json/value.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "device/theme_push.h"
#include "engine/theme_project.h"
#include "fuzz_scratch.h"
#include "settings/theme_meta.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = sw::fuzz::SplitParts(data, size, 2);
    const std::string project = sw::fuzz::WriteScratch("project/theme.wtpj", parts[0]);
    sw::OpenProject(project);

    const std::string meta = sw::fuzz::WriteScratch("project/theme/launcher/meta.json", parts[1]);
    Json::Value document;
    if (sw::settings::ReadMetaFile(meta, document)) {
        for (const char* member : {"title", "designer", "version", "resource_id"}) {
            sw::settings::MetaText(document, member);
        }
        std::string number;
        sw::device::ResourceNumberOf(document, number);
    }
    return 0;
}
