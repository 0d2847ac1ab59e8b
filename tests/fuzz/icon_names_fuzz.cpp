// The app list the phone's icon-name reader writes, read as the icon form
// reads it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device/icon_names.h"
#include "fuzz_scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = sw::fuzz::WriteScratch(
        "iconNames.xml", std::string_view(reinterpret_cast<const char*>(data), size));
    std::vector<sw::device::IconName> names;
    sw::device::ReadIconNames(path, names);
    sw::device::IconFileList(names);
    sw::device::IconTitleList(names);
    return 0;
}
