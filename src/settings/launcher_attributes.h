// The launcher attributes form: icon shadow, page-indicator animation and
// size, dynamic calendar icon and its font sizes, kept in the launcher's
// values files (integers.xml, bools.xml, dimens.xml, colors.xml).
#pragma once

#include <string>
#include <vector>

#include "settings/save_batch.h"
#include "settings/theme_meta.h"

namespace sw::settings {

// The form's nine fields in the order they are filled: pageWidth, pageHeight,
// isDynamic, isShadow, isAnimation, weekdayFontSize, dayFontSize,
// weekdayColor, dayColor; a value a file does not hold is "".
std::vector<FormField> AttributeFormFields(const std::string& name, const std::string& path);

// What the form sends when it is saved.
struct AttributeForm {
    std::string is_shadow;
    std::string is_dynamic;
    std::string is_animation;
    std::string page_width;
    std::string page_height;
    std::string weekday_font;
    std::string day_font;
    // The two colours are shown (hidden) in the form but not written: the
    // colours of the calendar texts are edited in the main window.
    std::string weekday_color;
    std::string day_color;
};

// Writes integers.xml (config_same_shape, indicator_anim), bools.xml
// (support_active_icon_app) and dimens.xml (the indicator size and the
// calendar font sizes) of project N in folder P.
SaveReport SaveAttribute(const std::string& name, const std::string& path,
                         const AttributeForm& form);

}  // namespace sw::settings
