#include "settings/launcher_attributes.h"

namespace sw::settings {

namespace {

constexpr char kIntegers[] = "launcher/content/res/values/integers.xml";
constexpr char kBools[] = "launcher/content/res/values/bools.xml";
constexpr char kDimens[] = "launcher/content/res/values/dimens.xml";
constexpr char kColors[] = "launcher/content/res/values/colors.xml";

}  // namespace

std::vector<FormField> AttributeFormFields(const std::string& name, const std::string& path) {
    const std::string folder = ProjectFolder(name, path) + "/";
    const ValueTexts integers = ReadValues(folder + kIntegers, "integers.xml", kIntegerEntry,
                                           {"config_same_shape", "indicator_anim"});
    const ValueTexts bools =
        ReadValues(folder + kBools, "bools.xml", kBoolEntry, {"support_active_icon_app"});
    const ValueTexts dimens = ReadValues(folder + kDimens, "dimens.xml", kDimenEntry,
                                         {"home_point_width", "home_point_height",
                                          "calendar_weekday_font_size", "calendar_day_font_size"});
    const ValueTexts colors = ReadValues(folder + kColors, "colors.xml", kColorEntry,
                                         {"calendar_weekday_color", "calendar_day_color"});
    return {
        {"pageWidth", TextOf(dimens, "home_point_width")},
        {"pageHeight", TextOf(dimens, "home_point_height")},
        {"isDynamic", TextOf(bools, "support_active_icon_app")},
        {"isShadow", TextOf(integers, "config_same_shape")},
        {"isAnimation", TextOf(integers, "indicator_anim")},
        {"weekdayFontSize", TextOf(dimens, "calendar_weekday_font_size")},
        {"dayFontSize", TextOf(dimens, "calendar_day_font_size")},
        {"weekdayColor", TextOf(colors, "calendar_weekday_color")},
        {"dayColor", TextOf(colors, "calendar_day_color")},
    };
}

SaveReport SaveAttribute(const std::string& name, const std::string& path,
                         const AttributeForm& form) {
    SaveBatch batch(ProjectFolder(name, path));
    ValuesFile* integers = batch.OpenValues(kIntegers, "integers.xml");
    ValuesFile* bools = batch.OpenValues(kBools, "bools.xml");
    ValuesFile* dimens = batch.OpenValues(kDimens, "dimens.xml");
    if (!batch.CheckOpened()) {
        return batch.report();
    }
    if (integers != nullptr) {
        integers->Write(kIntegerEntry, {{"config_same_shape", form.is_shadow},
                                        {"indicator_anim", form.is_animation}});
    }
    if (bools != nullptr) {
        bools->Write(kBoolEntry, {{"support_active_icon_app", form.is_dynamic}});
    }
    if (dimens != nullptr) {
        dimens->Write(kDimenEntry, {{"home_point_width", form.page_width},
                                    {"home_point_height", form.page_height},
                                    {"calendar_weekday_font_size", form.weekday_font},
                                    {"calendar_day_font_size", form.day_font}});
    }
    batch.SaveAll();
    return batch.report();
}

}  // namespace sw::settings
