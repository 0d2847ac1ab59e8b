// An archive extracted as a pushed theme is: into a folder of its own, with
// small limits so that a bomb is cut short quickly, and emptied again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/files.h"
#include "core/zip.h"
#include "fuzz_scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string archive = sw::fuzz::WriteScratch(
        "archive.zip", std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string out = sw::fuzz::ScratchPath("out");
    sw::ZipLimits limits;
    limits.max_total_bytes = 8u << 20;
    limits.max_entries = 2000;
    sw::ZipExtract(archive, out, limits);
    sw::DeletePath(out);
    return 0;
}
