// PNG and JPEG pictures decoded from memory and, written as a nine-patch
// file, loaded with their stretch marks and drawn as the previews draw them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/nine_patch.h"
#include "fuzz_scratch.h"
#include "gfx/canvas.h"
#include "gfx/image.h"
#include "gfx/image_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sw::gfx::Image image;
    sw::gfx::DecodeImageMemory(data, size, &image);

    const std::string path = sw::fuzz::WriteScratch(
        "picture.9.png", std::string_view(reinterpret_cast<const char*>(data), size));
    sw::NinePatchImage patch;
    if (patch.Load(path) && patch.width() <= 2048 && patch.height() <= 2048) {
        sw::gfx::Canvas canvas(64, 48);
        patch.Draw(canvas, 2, 3, 60, 40);
        patch.Draw(canvas, 0, 0, 1, 1);
    }
    return 0;
}
