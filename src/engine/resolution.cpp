#include "engine/resolution.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "core/log.h"

namespace sw {

namespace {

struct Resolution {
    const char* name;
    int width;
    int height;
};

constexpr Resolution kResolutions[] = {
    {"xxhdpi", 1080, 1920},
    {"xhdpi", 720, 1280},
    {"hdpi", 540, 960},
};

// Dimension texts are read from their first 63 characters only, so a unit
// written further on is not seen.
constexpr std::size_t kDimensionTextLimit = 63;

int ToInt(float value) {
    // Truncation toward zero; values beyond int are pinned to its ends rather
    // than left undefined.
    constexpr float kLimit = 2147483648.0f;  // 2^31
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= kLimit) {
        return std::numeric_limits<int>::max();
    }
    if (value < -kLimit) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}

int ScaleDensityIndependent(const std::string& number, int density) {
    const int n = std::atoi(number.c_str());
    // Each step is stored as a single-precision value before the next one,
    // so the rounding is the same on every machine. The product is formed in
    // 64 bits first: it is exact there, and its conversion is the same float
    // an int product would give without any risk of overflow.
    float f = static_cast<float>(static_cast<std::int64_t>(n) * density);
    f = f / 160.0f;
    f = f + 0.5f;
    return ToInt(f);
}

}  // namespace

bool LookupResolution(const std::string& name, int& width, int& height) {
    for (const Resolution& r : kResolutions) {
        if (name == r.name) {
            width = r.width;
            height = r.height;
            LogInfo("resolution: %d x %d\n", width, height);
            return true;
        }
    }
    LogError("unknown resolution %s\n", name.c_str());
    return false;
}

int ParseDimension(const std::string& text, int density) {
    std::string copy = text.substr(0, kDimensionTextLimit);
    // atoi stops at the first zero byte, so a copy cut there reads the same.
    copy = copy.substr(0, copy.find('\0'));
    for (char& c : copy) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    std::size_t unit = copy.find("dp");
    if (unit == std::string::npos) {
        unit = copy.find("sp");
    }
    if (unit != std::string::npos) {
        return ScaleDensityIndependent(copy.substr(0, unit), density);
    }
    unit = copy.find("px");
    if (unit != std::string::npos) {
        return std::atoi(copy.substr(0, unit).c_str());
    }
    return std::atoi(copy.c_str());
}

const std::vector<DensityBucket>& DensityBuckets() {
    static const std::vector<DensityBucket> buckets = {
        {"xxxhdpi", 1440, 2560},
        {"xxhdpi", 1080, 1920},
        {"xhdpi", 720, 1280},
        {"hdpi", 540, 960},
        {"hdpi_720x1280", 720, 1280},
        {"xxxhdpi_1440x2560", 1440, 2560},
        {"drawable-hdpi", 540, 960},
        {"drawable-xhdpi", 720, 1280},
        {"drawable-xxxhdpi", 1440, 2560},
        {"drawable-xxhdpi", 1080, 1920},
        {"drawable-nodpi", 0, 0},  // images that are never resized
    };
    return buckets;
}

}  // namespace sw
