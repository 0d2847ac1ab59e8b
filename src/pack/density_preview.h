// A screen as a phone of one density shows it, drawn from what a pack puts
// into the archive for that density: the density plan's images (resampled as
// the pack resamples them), the lock screen's variants NAME_1 .. NAME_4, and
// that density's layout document for the elements the layout forms place.
#pragma once

#include <string>
#include <vector>

#include "engine/theme_module.h"

namespace sw::pack {

// One density the pack makes for a module.
struct PreviewDensity {
    std::string name;  // the density folder name the editor page uses ("xhdpi")
    int width = 0;     // screen size
    int height = 0;
    double factor = 0;  // the layout forms' factor from xxhdpi pixels (0.66)
};

// Where an element of the screen lies on the picture of a density, in that
// picture's pixels.
struct DensityElementBox {
    int screen = 0;  // the element's own screen, as the editor's lists name it
    int element = 0;
    Rect rect;
};

// The densities the pack makes for the module in the project folder
// moduleFolder ("launcher", "lockscreen", "screencall"), smallest first;
// empty for any other folder.
std::vector<PreviewDensity> PreviewDensitiesOf(const std::string& moduleFolder);

// The density of that name for the module, false when the module has none.
bool FindPreviewDensity(const std::string& moduleFolder, const std::string& name,
                        PreviewDensity& density);

// Draws screen screenIndex of module at the density named density and puts
// the picture, of the density's screen size, into png as a PNG file (no loss:
// the pixels of an image drawn 1:1 are the archive's). projectRoot is the canonical folder
// the project's links may lead into. False, with a reason for the designer,
// for an unknown density or screen, a module folder that cannot be read as
// the pack reads it, or a picture that cannot be made; an element that cannot
// be drawn is outlined, as on the editor's own preview. boxes, when given,
// holds then the place of every element drawn, in drawing order.
bool DrawScreenAtDensity(const ThemeModule& module, int screenIndex, const std::string& density,
                         const std::string& projectRoot, std::string& png, std::string& reason,
                         std::vector<DensityElementBox>* boxes = nullptr);

}  // namespace sw::pack
