// Screen sizes by resolution name, dimension texts ("12dp", "30px") in
// pixels, and the density folder names that theme content uses.
#pragma once

#include <string>
#include <vector>

namespace sw {

// Looks the project's resolution name up (exact, case-sensitive) and logs the
// size found; an unknown name is logged at ERROR and gives false.
bool LookupResolution(const std::string& name, int& width, int& height);

// "12dp" and "12sp" are scaled by density / 160 (rounded half up, then cut
// toward zero); "7px" and "7" are taken as they are; unreadable text is 0.
int ParseDimension(const std::string& text, int density);

// A density folder of theme content and the screen size it stands for.
struct DensityBucket {
    const char* folder;
    int width;
    int height;
};

// Every bucket folder name theme content uses, in a fixed order.
const std::vector<DensityBucket>& DensityBuckets();

}  // namespace sw
