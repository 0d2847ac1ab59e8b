// The layout documents a save writes, one per screen density, with the factor
// that turns the form's xxhdpi pixels into that density's pixels.
#pragma once

#include <array>

namespace sw::settings {

struct DensityScale {
    const char* name;  // the density folder, or the document's file name
    double factor;     // applied literally: 0.66, not two thirds
};

// The lock screen's templates, in the order they are written.
inline constexpr std::array<DensityScale, 5> kLockscreenDensities = {{
    {"xxhdpi", 1.0},
    {"xhdpi", 0.66},
    {"hdpi_720x1280", 0.66},
    {"hdpi", 0.5},
    {"xxxhdpi_1440x2560", 1.3},
}};

// The call screen has no hdpi_720x1280 or xxxhdpi_1440x2560 document.
inline constexpr std::array<DensityScale, 4> kCallscreenDensities = {{
    {"xxhdpi", 1.0},
    {"xhdpi", 0.66},
    {"hdpi", 0.5},
    {"xxxhdpi", 1.3},
}};

// The weather widget's documents in the launcher's content/res/xml.
inline constexpr std::array<DensityScale, 4> kWeatherDocuments = {{
    {"weatherconfig2.xml", 1.0},
    {"weatherconfig.xml", 0.5},
    {"weatherconfig1.xml", 0.66},
    {"weatherconfig3.xml", 1.3},
}};

}  // namespace sw::settings
