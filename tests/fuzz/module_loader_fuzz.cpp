// A module folder from one input: template.xml, template_values.xml and a
// values document, parted by "--8<--" lines, loaded as the editor loads a
// module.
#include <cstddef>
#include <cstdint>

#include "engine/module_loader.h"
#include "fuzz_scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = sw::fuzz::SplitParts(data, size, 3);
    sw::fuzz::WriteScratch("module/template.xml", parts[0]);
    sw::fuzz::WriteScratch("module/template_values.xml", parts[1]);
    sw::fuzz::WriteScratch("module/content/res/values/dimens.xml", parts[2]);
    sw::ThemeModule module;
    module.context.screen_width = 1080;
    module.context.screen_height = 1920;
    module.context.density = 480;
    sw::LoadModule(module, sw::fuzz::ScratchPath("module"));
    return 0;
}
