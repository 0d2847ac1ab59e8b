#include "settings/weather_editor.h"

#include <array>

#include "settings/density_scale.h"
#include "settings/form_values.h"
#include "settings/layout_file.h"
#include "settings/preview_moves.h"

namespace sw::settings {

namespace {

constexpr char kValues[] = "launcher/template_values.xml";

constexpr int kOriginX = kWeatherOriginX;
constexpr int kOriginY = kWeatherOriginY;
// The screen's centre line, on which the background is centred.
constexpr int kScreenCentreX = 540;

constexpr std::array<FieldEntry, 46> kEntries = {{
    {"timex1", "widgets_num_h0_x"},
    {"timey1", "widgets_num_h0_y"},
    {"timew1", "widgets_num_h0_w"},
    {"timeh1", "widgets_num_h0_h"},
    {"timex2", "widgets_num_h1_x"},
    {"timey2", "widgets_num_h1_y"},
    {"timew2", "widgets_num_h1_w"},
    {"timeh2", "widgets_num_h1_h"},
    {"timex3", "widgets_num_colon0_x"},
    {"timey3", "widgets_num_colon0_y"},
    {"timew3", "widgets_num_colon0_w"},
    {"timeh3", "widgets_num_colon0_h"},
    {"timex4", "widgets_num_m0_x"},
    {"timey4", "widgets_num_m0_y"},
    {"timew4", "widgets_num_m0_w"},
    {"timeh4", "widgets_num_m0_h"},
    {"timex5", "widgets_num_m1_x"},
    {"timey5", "widgets_num_m1_y"},
    {"timew5", "widgets_num_m1_w"},
    {"timeh5", "widgets_num_m1_h"},
    {"timex6", "widgets_ampm_x"},
    {"timey6", "widgets_ampm_y"},
    {"timew6", "widgets_ampm_w"},
    {"timeh6", "widgets_ampm_h"},
    {"datex", "widget_date_text_x"},
    {"datey", "widget_date_text_y"},
    {"datesize", "widget_date_text_size"},
    {"weekx", "widget_week_text_x"},
    {"weeky", "widget_week_text_y"},
    {"weeksize", "widget_week_text_size"},
    {"cityx", "widget_city_name_text_x"},
    {"cityy", "widget_city_name_text_y"},
    {"citysize", "widget_city_name_text_size"},
    {"weatherx", "widget_weather_text_x"},
    {"weathery", "widget_weather_text_y"},
    {"weathersize", "widget_weather_text_size"},
    {"iconx", "widgets_icon_x"},
    {"icony", "widgets_icon_y"},
    {"iconw", "widgets_icon_w"},
    {"iconh", "widgets_icon_h"},
    {"temperaturex", "widget_temperature_text_x"},
    {"temperaturey", "widget_temperature_text_y"},
    {"temperaturesize", "widget_temperature_text_size"},
    {"backgroundw", "widgets_bg_w"},
    {"backgroundh", "widgets_bg_h"},
    {"backgroundy", "widgets_bg_y"},
}};

constexpr char kBackgroundX[] = "widgets_bg_x";

constexpr std::array<const char*, 46> kListOrder = {
    "timex1",      "timey1",          "timex2",      "timey2",   "timex3",       "timey3",
    "timex4",      "timey4",          "timex5",      "timey5",   "timex6",       "timey6",
    "datex",       "datey",           "weekx",       "weeky",    "cityx",        "cityy",
    "weatherx",    "weathery",        "iconx",       "icony",    "temperaturex", "temperaturey",
    "timew1",      "timeh1",          "timew2",      "timeh2",   "timew3",       "timeh3",
    "timew4",      "timeh4",          "timew5",      "timeh5",   "timew6",       "timeh6",
    "backgroundw", "backgroundh",     "backgroundy", "datesize", "weeksize",     "citysize",
    "weathersize", "temperaturesize", "iconw",       "iconh",
};

constexpr std::array<const char*, 46> kFillOrder = {
    "backgroundy",  "backgroundw", "backgroundh", "timex1",          "timey1",   "timex2",
    "timey2",       "timex3",      "timey3",      "timex4",          "timey4",   "timex5",
    "timey5",       "timex6",      "timey6",      "timew1",          "timeh1",   "timew2",
    "timeh2",       "timew3",      "timeh3",      "timew4",          "timeh4",   "timew5",
    "timeh5",       "timew6",      "timeh6",      "datex",           "datey",    "weekx",
    "weeky",        "cityx",       "cityy",       "weatherx",        "weathery", "temperaturex",
    "temperaturey", "iconx",       "icony",       "iconw",           "iconh",    "datesize",
    "weeksize",     "citysize",    "weathersize", "temperaturesize",
};

// Elements placed by a box of four fields.
struct Box {
    const char* element;
    const char* name;  // the "name" attribute, or null
    const char* prefix;
    const char* suffix;
};

// Images: field names are prefix + x/y/w/h + suffix ("timex1", "iconx").
constexpr std::array<Box, 7> kBoxes = {{
    {"ImageHour10", nullptr, "time", "1"},
    {"ImageHour1", nullptr, "time", "2"},
    {"Image", "colon", "time", "3"},
    {"ImageMin10", nullptr, "time", "4"},
    {"ImageMin1", nullptr, "time", "5"},
    {"ImageAmPm", nullptr, "time", "6"},
    {"ImageWeather", nullptr, "icon", ""},
}};

// Texts: their layout element, their fields' prefix, their preview element
// and how many times its size their preview is wide.
struct Text {
    const char* element;
    const char* prefix;
    int preview;
    int width_per_size;
};

constexpr std::array<Text, 5> kTexts = {{
    {"TextDate", "date", 11, 5},
    {"TextWeek", "week", 10, 3},
    {"TextWeatherCity", "city", 12, 5},
    {"TextWeatherDescription", "weather", 13, 2},
    {"TextWeatherTemperature", "temperature", 14, 4},
}};

std::string BoxField(const Box& box, const char* edge) {
    return std::string(box.prefix) + edge + box.suffix;
}

std::string TextField(const Text& text, const char* what) {
    return std::string(text.prefix) + what;
}

std::vector<ElementMove> PreviewMoves(const FormValues& v, int backgroundX) {
    std::vector<ElementMove> moves;
    moves.push_back({2, backgroundX, v.Number("backgroundy"), v.Number("backgroundw"),
                     v.Number("backgroundh"), 0});
    moves.push_back(
        {3, v.Number("iconx"), v.Number("icony"), v.Number("iconw"), v.Number("iconh"), 0});
    for (int digit = 1; digit <= 6; ++digit) {
        const std::string n = std::to_string(digit);
        moves.push_back({3 + digit, v.Number("timex" + n), v.Number("timey" + n),
                         v.Number("timew" + n), v.Number("timeh" + n), 0});
    }
    for (const Text& text : kTexts) {
        const int size = v.Number(TextField(text, "size"));
        moves.push_back({text.preview, v.Number(TextField(text, "x")),
                         v.Number(TextField(text, "y")), WidthOfText(text.width_per_size, size),
                         size, size});
    }
    return moves;
}

void EditLayout(TiXmlElement& element, const FormValues& v, double factor) {
    // Positions are made relative to the widget before they are scaled.
    auto x = [&](const std::string& field) {
        return Scaled(static_cast<long long>(v.Number(field)) - kOriginX, factor);
    };
    auto y = [&](const std::string& field) {
        return Scaled(static_cast<long long>(v.Number(field)) - kOriginY, factor);
    };
    auto s = [&](const std::string& field) { return Scaled(v.Number(field), factor); };
    for (const Box& box : kBoxes) {
        if (IsElement(element, box.element, box.name)) {
            SetIntAttribute(element, "x", x(BoxField(box, "x")));
            SetIntAttribute(element, "y", y(BoxField(box, "y")));
            SetIntAttribute(element, "w", s(BoxField(box, "w")));
            SetIntAttribute(element, "h", s(BoxField(box, "h")));
            return;
        }
    }
    if (IsElement(element, "Image", "weather_bg")) {
        // The phone centres the background; its x is not written.
        SetIntAttribute(element, "w", s("backgroundw"));
        SetIntAttribute(element, "h", s("backgroundh"));
        SetIntAttribute(element, "y", y("backgroundy"));
        return;
    }
    for (const Text& text : kTexts) {
        if (IsElement(element, text.element)) {
            SetIntAttribute(element, "x", x(TextField(text, "x")));
            SetIntAttribute(element, "y", y(TextField(text, "y")));
            SetIntAttribute(element, "size", s(TextField(text, "size")));
            return;
        }
    }
}

}  // namespace

std::vector<FormField> WeatherFormFields(const std::string& name, const std::string& path) {
    std::vector<std::string> names;
    for (const FieldEntry& row : kEntries) {
        names.push_back(row.entry);
    }
    const ValueTexts values = ReadValues(ProjectFolder(name, path) + "/" + kValues,
                                         "template_values.xml", kDimenEntry, names);
    std::vector<FormField> fields;
    for (const char* field : kFillOrder) {
        for (const FieldEntry& row : kEntries) {
            if (std::string_view(row.field) == field) {
                fields.push_back({field, TextOf(values, row.entry)});
            }
        }
    }
    return fields;
}

SaveReport SaveWeather(const std::string& name, const std::string& path, const std::string& list) {
    SaveBatch batch(ProjectFolder(name, path));
    SaveReport& report = batch.report();
    FormValues v;
    if (!SplitForSave(list, kListOrder, "SaveWeather", v, report)) {
        return report;
    }
    for (const Text& text : kTexts) {
        const std::string field = TextField(text, "size");
        v.SetText(field, SpToPx(v.Text(field)));
    }
    // Centred on the screen: half the width left of the centre line.
    const int backgroundX = TruncatedInt(kScreenCentreX - v.Number("backgroundw") * 0.5);

    ValuesFile* values = batch.OpenValues(kValues, "template_values.xml");
    const std::vector<ScaledLayout> layouts = OpenLayouts(
        batch, kWeatherDocuments,
        [](const char* document) { return std::string("launcher/content/res/xml/") + document; },
        "weatherconfig.xml");
    if (!batch.CheckOpened()) {
        return report;
    }

    if (values != nullptr) {
        ValueTexts assignments;
        for (const FieldEntry& row : kEntries) {
            assignments[row.entry] = v.Text(row.field);
        }
        assignments[kBackgroundX] = std::to_string(backgroundX);
        values->Write(kDimenEntry, assignments);
    }
    EditLayouts(layouts, [&](TiXmlElement& element, const ScaledLayout& layout) {
        EditLayout(element, v, layout.factor);
    });
    if (batch.SaveAll()) {
        MovePreviewElements("桌面", PreviewMoves(v, backgroundX));
    }
    return report;
}

}  // namespace sw::settings
