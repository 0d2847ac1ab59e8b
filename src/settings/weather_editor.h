// The weather widget form: the clock digits, date, week day, city, weather
// and temperature texts, the weather icon and the background of the home
// screen's clock-and-weather widget, kept in launcher/template_values.xml and
// in the widget's four layouts (weatherconfig*.xml), whose coordinates are
// relative to the widget's origin at screen point (20, 90).
#pragma once

#include <string>
#include <vector>

#include "settings/save_batch.h"
#include "settings/theme_meta.h"

namespace sw::settings {

// The widget's origin on an xxhdpi screen; the layouts are relative to it.
inline constexpr int kWeatherOriginX = 20;
inline constexpr int kWeatherOriginY = 90;

// The form's 46 fields in the order they are filled.
std::vector<FormField> WeatherFormFields(const std::string& name, const std::string& path);

// Writes the 46 values (joined with "," in the form's list order) and the
// background's x, which keeps the background centred on the screen, moves the
// launcher's preview elements and rewrites the four layouts.
SaveReport SaveWeather(const std::string& name, const std::string& path, const std::string& list);

}  // namespace sw::settings
