// The yardstick of opening a project: the compressed pixel data (the IDAT
// chunks) of every PNG file below a folder, inflated once on one core and
// thrown away. Nothing that reads those pictures can do less.
#pragma once

#include <string>

namespace sw::bench {

// Inflates the pixel data of every PNG file below folder; the number of
// bytes they gave (files receives how many files), -1 when one is no zlib
// stream (failed names it).
long long InflatePngPixelData(const std::string& folder, int& files, std::string& failed);

}  // namespace sw::bench
