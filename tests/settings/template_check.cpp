#include "settings/template_check.h"

#include <json/reader.h>
#include <json/value.h>
#include <tinyxml.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace sw::test {

namespace {

namespace fs = std::filesystem;

const char* const kLockDensities[] = {"xxhdpi", "xhdpi", "hdpi_720x1280", "hdpi",
                                      "xxxhdpi_1440x2560"};
const char* const kCallDensities[] = {"xxxhdpi", "xxhdpi", "xhdpi", "hdpi"};

std::string Format(const char* format, int number) {
    char text[256];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Checker {
  public:
    explicit Checker(std::string root) : root_(std::move(root)) {}

    void Problem(const std::string& text) { problems_.push_back(text); }
    std::vector<std::string> problems() const { return problems_; }
    std::string Path(const std::string& relative) const { return root_ + "/" + relative; }

    bool File(const std::string& relative) {
        if (!fs::is_regular_file(Path(relative))) {
            Problem("missing file " + relative);
            return false;
        }
        return true;
    }

    bool Load(const std::string& relative, TiXmlDocument& document) {
        if (!File(relative)) {
            return false;
        }
        if (!document.LoadFile(Path(relative).c_str()) || document.RootElement() == nullptr) {
            Problem("unreadable XML " + relative);
            return false;
        }
        return true;
    }

    // Every name must be the name of an entry of kind in the values file.
    void Values(const std::string& relative, const char* kind,
                const std::vector<std::string>& names) {
        TiXmlDocument document;
        if (!Load(relative, document)) {
            return;
        }
        std::set<std::string> present;
        for (TiXmlElement* entry = document.RootElement()->FirstChildElement(kind);
             entry != nullptr; entry = entry->NextSiblingElement(kind)) {
            if (const char* name = entry->Attribute("name"); name != nullptr) {
                if (entry->GetText() == nullptr) {
                    Problem("empty value " + std::string(name) + " in " + relative);
                }
                present.insert(name);
            }
        }
        for (const std::string& name : names) {
            if (present.count(name) == 0) {
                Problem("missing value " + name + " in " + relative);
            }
        }
    }

    // Every element (tag, or tag[name]) must be a direct child of Root.
    TiXmlElement* LayoutRoot(const std::string& relative, TiXmlDocument& document) {
        if (!Load(relative, document)) {
            return nullptr;
        }
        TiXmlElement* root = document.RootElement();
        if (std::string(root->Value()) != "Root") {
            Problem("root of " + relative + " is not <Root>");
            return nullptr;
        }
        return root;
    }

    void Children(TiXmlElement* parent, const std::string& relative,
                  const std::vector<std::string>& wanted) {
        std::set<std::string> present;
        for (TiXmlElement* child = parent->FirstChildElement(); child != nullptr;
             child = child->NextSiblingElement()) {
            present.insert(child->Value());
            if (const char* name = child->Attribute("name"); name != nullptr) {
                present.insert(std::string(child->Value()) + "[" + name + "]");
            }
        }
        for (const std::string& element : wanted) {
            if (present.count(element) == 0) {
                Problem("missing layout element " + element + " in " + relative);
            }
        }
    }

    // Screen 0 of a template.xml: element id -> (tag set, attribute, value).
    struct Expected {
        int id;
        std::set<std::string> tags;
        const char* attribute;
        std::string value;
    };

    TiXmlElement* Package(const std::string& relative, TiXmlDocument& document,
                          const std::string& pageName) {
        if (!Load(relative, document)) {
            return nullptr;
        }
        TiXmlElement* package = document.RootElement();
        const char* name = package->Attribute("name");
        if (std::string(package->Value()) != "package" || name == nullptr || pageName != name) {
            Problem(relative + " is not the package named " + pageName);
            return nullptr;
        }
        return package;
    }

    void ScreenZero(TiXmlElement* package, const std::string& relative,
                    const std::vector<Expected>& expected) {
        TiXmlElement* screen = package->FirstChildElement("screen");
        if (screen == nullptr) {
            Problem("no screen in " + relative);
            return;
        }
        std::vector<TiXmlElement*> elements;
        for (TiXmlElement* element = screen->FirstChildElement(); element != nullptr;
             element = element->NextSiblingElement()) {
            elements.push_back(element);
        }
        for (const Expected& e : expected) {
            std::string where = relative + " screen 0 element " + std::to_string(e.id);
            if (e.id >= static_cast<int>(elements.size())) {
                Problem("missing " + where);
                continue;
            }
            TiXmlElement* element = elements[e.id];
            if (e.tags.count(element->Value()) == 0) {
                Problem("wrong tag <" + std::string(element->Value()) + "> for " + where);
            }
            const char* value = element->Attribute(e.attribute);
            if (value == nullptr || e.value != value) {
                Problem("wrong " + std::string(e.attribute) + " for " + where + ": expected " +
                        e.value);
            }
        }
    }

    int ScreenCount(TiXmlElement* package) {
        int count = 0;
        for (TiXmlElement* screen = package->FirstChildElement("screen"); screen != nullptr;
             screen = screen->NextSiblingElement("screen")) {
            ++count;
        }
        return count;
    }

    // A PNG of the given size (read from its header).
    void Png(const std::string& relative, int width = 0, int height = 0) {
        if (!File(relative)) {
            return;
        }
        std::string bytes = ReadBytes(Path(relative));
        if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) {
            Problem("not a PNG file " + relative);
            return;
        }
        auto big = [&](int at) {
            return (static_cast<unsigned char>(bytes[at]) << 24) |
                   (static_cast<unsigned char>(bytes[at + 1]) << 16) |
                   (static_cast<unsigned char>(bytes[at + 2]) << 8) |
                   static_cast<unsigned char>(bytes[at + 3]);
        };
        if (width > 0 && (big(16) != width || big(20) != height)) {
            Problem("wrong size of " + relative);
        }
    }

    void Same(const std::string& copy, const std::string& original) {
        if (File(copy) && File(original) && ReadBytes(Path(copy)) != ReadBytes(Path(original))) {
            Problem(copy + " differs from " + original);
        }
    }

  private:
    std::string root_;
    std::vector<std::string> problems_;
};

std::vector<std::string> Xywh(const std::string& prefix) {
    return {prefix + "_x", prefix + "_y", prefix + "_w", prefix + "_h"};
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

void CheckLauncher(Checker& c) {
    for (const char* file : {"template.xml", "template_values.xml", "meta.json", "meta2.json",
                             "meta3.json", "meta4.json", "meta5.json"}) {
        c.File(std::string("launcher/") + file);
    }
    TiXmlDocument document;
    if (TiXmlElement* package = c.Package("launcher/template.xml", document, "桌面")) {
        TiXmlElement* category = package->FirstChildElement("category");
        const char* list = category ? category->Attribute("list") : nullptr;
        if (list == nullptr || std::string(list).rfind("壁纸|", 0) != 0) {
            c.Problem("the launcher's first category is not 壁纸");
        }
        if (c.ScreenCount(package) < 6) {
            c.Problem("the launcher has fewer than six screens");
        }
        std::set<std::string> image = {"icon", "icongroup"};
        c.ScreenZero(package, "launcher/template.xml",
                     {{0, {"icon"}, "res", "wallpaper_grass"},
                      {2, {"icon"}, "res", "weather_bg"},
                      {3, image, "left", "widgets_icon_x"},
                      {4, image, "left", "widgets_num_h0_x"},
                      {5, image, "left", "widgets_num_h1_x"},
                      {6, image, "left", "widgets_num_colon0_x"},
                      {7, image, "left", "widgets_num_m0_x"},
                      {8, image, "left", "widgets_num_m1_x"},
                      {9, image, "left", "widgets_ampm_x"},
                      {10, {"text"}, "left", "widget_week_text_x"},
                      {11, {"text"}, "left", "widget_date_text_x"},
                      {12, {"text"}, "left", "widget_city_name_text_x"},
                      {13, {"text"}, "left", "widget_weather_text_x"},
                      {14, {"text"}, "left", "widget_temperature_text_x"}});
    }
    std::vector<std::string> widget;
    for (const char* digit : {"widgets_num_h0", "widgets_num_h1", "widgets_num_colon0",
                              "widgets_num_m0", "widgets_num_m1", "widgets_ampm", "widgets_icon"}) {
        Append(widget, Xywh(digit));
    }
    for (const char* text : {"widget_date_text", "widget_week_text", "widget_city_name_text",
                             "widget_weather_text", "widget_temperature_text"}) {
        Append(widget,
               {std::string(text) + "_x", std::string(text) + "_y", std::string(text) + "_size"});
    }
    Append(widget, {"widgets_bg_w", "widgets_bg_h", "widgets_bg_y", "widgets_bg_x"});
    c.Values("launcher/template_values.xml", "dimen", widget);

    const std::string values = "launcher/content/res/values/";
    c.Values(values + "integers.xml", "integer", {"config_same_shape", "indicator_anim"});
    c.Values(values + "bools.xml", "bool", {"support_active_icon_app"});
    c.Values(values + "dimens.xml", "dimen",
             {"home_point_width", "home_point_height", "calendar_weekday_font_size",
              "calendar_day_font_size"});
    c.Values(
        values + "colors.xml", "color",
        {"calendar_weekday_color", "calendar_day_color", "widget_week_text", "widget_date_text",
         "widget_city_name_text", "widget_weather_text", "widget_temperature_text",
         "lock_date_text", "lock_battery_text", "TextOwnerInfo_text", "TextSimAll_text_color"});

    for (const char* file :
         {"weatherconfig.xml", "weatherconfig1.xml", "weatherconfig2.xml", "weatherconfig3.xml"}) {
        std::string relative = std::string("launcher/content/res/xml/") + file;
        TiXmlDocument layout;
        if (TiXmlElement* root = c.LayoutRoot(relative, layout)) {
            c.Children(
                root, relative,
                {"ImageHour10", "ImageHour1", "Image[colon]", "Image[weather_bg]", "ImageMin10",
                 "ImageMin1", "ImageAmPm", "TextDate", "TextWeek", "TextWeatherCity",
                 "TextWeatherDescription", "TextWeatherTemperature", "ImageWeather"});
        }
    }
    c.File("launcher/content/res/xml/icons.xml");

    const std::string drawable = "launcher/content/res/drawable-xxhdpi/";
    c.Png(drawable + "wallpaper_grass.png", 1080, 1920);
    // App icons carry the names the icon exclusion list uses: package with
    // "_" for ".", two "_", the icon's file name.
    int icons = 0;
    int ninePatches = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(c.Path(drawable), error)) {
        std::string name = entry.path().filename().string();
        if (name.find("__") != std::string::npos) {
            ++icons;
            if (name.rfind("com_", 0) != 0 || name.size() < 5 ||
                name.compare(name.size() - 4, 4, ".png") != 0) {
                c.Problem("app icon not named package__icon.png: " + name);
            }
        }
        if (name.size() > 6 && name.compare(name.size() - 6, 6, ".9.png") == 0) {
            ++ninePatches;
        }
    }
    if (icons == 0) {
        c.Problem("no app icons in " + drawable);
    }
    if (ninePatches == 0) {
        c.Problem("no nine-patch image in " + drawable);
    }
    int twins = 0;
    for (const auto& entry :
         fs::directory_iterator(c.Path("launcher/content/res/drawable-nodpi"), error)) {
        std::string name = entry.path().filename().string();
        std::size_t at = name.rfind("_no.png");
        if (at != std::string::npos && at + 7 == name.size() &&
            fs::is_regular_file(c.Path(drawable + name.substr(0, at) + ".png"))) {
            ++twins;
        }
    }
    if (twins == 0) {
        c.Problem("no drawable-nodpi image named with _no that has its drawable-xxhdpi twin");
    }
}

std::vector<std::string> LockValueNames() {
    std::vector<std::string> names;
    for (const char* part :
         {"lock_num_h0", "lock_num_h1", "lock_num_colon0", "lock_num_m0", "lock_num_m1",
          "lock_ampm", "unlock_handle", "unlock_camera", "new_event_num_call",
          "new_event_num_massage", "unlock_normal", "animator"}) {
        Append(names, Xywh(part));
    }
    for (const char* text :
         {"lock_date_text", "lock_battery_text", "TextOwnerInfo_text", "TextSimAll_text"}) {
        for (const char* end : {"_x", "_y", "_size", "_w", "_center"}) {
            names.push_back(std::string(text) + end);
        }
    }
    return names;
}

void CheckLockscreenTemplate(Checker& c, const std::string& relative) {
    TiXmlDocument document;
    TiXmlElement* package = c.Package(relative, document, "锁屏");
    if (package == nullptr) {
        return;
    }
    std::set<std::string> image = {"icon", "icongroup"};
    c.ScreenZero(package, relative,
                 {{0, {"icon"}, "res", "lockscreen_wallpaper"},
                  {1, image, "left", "animator_x"},
                  {2, {"icon"}, "res", "unlock_background"},
                  {3, image, "left", "lock_num_h0_x"},
                  {4, image, "left", "lock_num_h1_x"},
                  {5, image, "left", "lock_num_colon0_x"},
                  {6, image, "left", "lock_num_m0_x"},
                  {7, image, "left", "lock_num_m1_x"},
                  {8, image, "left", "lock_ampm_x"},
                  {9, {"text"}, "left", "lock_date_text_x"},
                  {10, {"text"}, "left", "lock_battery_text_x"},
                  {11, {"text"}, "left", "TextOwnerInfo_text_x"},
                  {12, {"text"}, "left", "TextSimAll_text_x"},
                  {13, image, "left", "unlock_handle_x"},
                  {14, image, "left", "unlock_camera_x"},
                  {15, image, "left", "unlock_normal_x"},
                  {16, image, "left", "new_event_num_call_x"},
                  {17, image, "left", "new_event_num_massage_x"}});
}

void CheckLockscreenLayout(Checker& c, const std::string& relative) {
    TiXmlDocument document;
    TiXmlElement* root = c.LayoutRoot(relative, document);
    if (root == nullptr) {
        return;
    }
    c.Children(root, relative,
               {"ImageHour10", "ImageHour1", "Image[colon]", "ImageMin10", "ImageMin1", "ImageAmPm",
                "TextDateWeek", "TextBattery", "TextOwnerInfo", "TextSimAll", "LockRad",
                "ImageEvent[normal]", "ImageEvent[message]", "ImageEvent[camera]",
                "ImageEvent[call]", "ImageEvent[unlock]", "ImageAnimator"});
    if (TiXmlElement* animator = root->FirstChildElement("ImageAnimator")) {
        std::vector<std::string> frames = {"EventShow", "FrameEnd"};
        for (int frame = 1; frame <= 19; ++frame) {
            frames.push_back(Format("Frame[animator%d]", frame));
        }
        c.Children(animator, relative + " ImageAnimator", frames);
    }
}

void CheckLockscreen(Checker& c) {
    const std::vector<std::string> names = LockValueNames();
    CheckLockscreenTemplate(c, "lockscreen/template.xml");
    c.Values("lockscreen/template_values.xml", "dimen", names);
    for (int number = 1; number <= 6; ++number) {
        CheckLockscreenTemplate(c, Format("lockscreen/template%d.xml", number));
        c.Values(Format("lockscreen/template_values%d.xml", number), "dimen", names);
        for (const char* density : kLockDensities) {
            CheckLockscreenLayout(
                c, Format("lockscreen/content/lockscreen%d/content/res/", number) + density +
                       "/lockscreen.xml");
        }
    }
    // The active copy is template 1.
    c.Same("lockscreen/template.xml", "lockscreen/template1.xml");
    c.Same("lockscreen/template_values.xml", "lockscreen/template_values1.xml");
    for (const char* density : kLockDensities) {
        std::string file = std::string("/content/res/") + density + "/lockscreen.xml";
        c.Same("lockscreen/content/lockscreen" + file, "lockscreen/content/lockscreen1" + file);
    }
    std::vector<std::string> integers = {"lockscreen_template", "lockscreenAnimator_times",
                                         "lockscreenAnimator_Millisecond"};
    for (int frame = 1; frame <= 20; ++frame) {
        integers.push_back(Format("animator%d", frame));
    }
    c.Values("lockscreen/content/res/values/integers.xml", "integer", integers);
    c.Values(
        "lockscreen/content/res/values/colors.xml", "color",
        {"lock_date_text", "lock_battery_text", "TextOwnerInfo_text", "TextSimAll_text_color"});
    // Every image the packer converts or distributes.
    const std::string drawable = "lockscreen/content/res/drawable-xxhdpi/";
    c.Png(drawable + "lockscreen_wallpaper.png", 1080, 1920);
    std::vector<std::string> images = {"time_colon",
                                       "time_am",
                                       "time_pm",
                                       "battery_charged",
                                       "battery_charging",
                                       "battery_low",
                                       "unlock_background",
                                       "unlock_handle_normal",
                                       "unlock_handle_pressed",
                                       "unlock_camera_normal",
                                       "unlock_normal_normal",
                                       "new_event_num_call_icon_normal",
                                       "new_event_num_massage_icon_normal"};
    for (int digit = 0; digit <= 9; ++digit) {
        images.push_back(Format("time_%d", digit));
    }
    for (int frame = 1; frame <= 20; ++frame) {
        images.push_back(Format("animator%d", frame));
    }
    for (const std::string& image : images) {
        c.Png(drawable + image + ".png");
    }
}

void CheckScreencall(Checker& c) {
    TiXmlDocument document;
    if (TiXmlElement* package = c.Package("screencall/template.xml", document, "通话")) {
        std::set<std::string> any = {"icon", "icongroup", "text"};
        std::set<std::string> image = {"icon", "icongroup"};
        c.ScreenZero(package, "screencall/template.xml",
                     {{0, {"icon"}, "res", "custom_wallpaper"},
                      {1, any, "left", "caller_photo_x"},
                      {2, any, "left", "caller_name_x"},
                      {3, any, "left", "caller_number_x"},
                      {4, image, "left", "incoming_answer_x"},
                      {5, image, "left", "incoming_hangup_x"},
                      {6, image, "left", "incoming_reminder_x"},
                      {7, image, "left", "incoming_sms_x"}});
    }
    std::vector<std::string> names;
    for (const char* button :
         {"incoming_reminder", "incoming_sms", "incoming_hangup", "incoming_answer"}) {
        Append(names, Xywh(button));
    }
    c.Values("screencall/template_values.xml", "dimen", names);
    if (!fs::is_directory(c.Path("screencall/content/res/values"))) {
        c.Problem("missing folder screencall/content/res/values");
    }
    const std::string drawable = "screencall/content/res/drawable-xxhdpi/";
    c.Png(drawable + "custom_wallpaper.png", 1080, 1920);
    for (const char* image : {"incoming_answer", "incoming_answer_pressed", "incoming_hangup",
                              "incoming_hangup_pressed", "incoming_reminder", "incoming_sms"}) {
        c.Png(drawable + image + ".png");
    }
    for (const char* density : kCallDensities) {
        std::string relative = std::string("screencall/content/res/") + density + "/lockscreen.xml";
        TiXmlDocument layout;
        if (TiXmlElement* root = c.LayoutRoot(relative, layout)) {
            c.Children(root, relative,
                       {"ButtonAnswer", "ButtonHangup", "ButtonReminder", "ButtonSms"});
        }
    }
}

void CheckMeta(Checker& c) {
    const char* categories[] = {nullptr, "themesuite", "lockscreen", "themesuite", "callscreen"};
    for (int number = 1; number <= 5; ++number) {
        std::string relative =
            number == 1 ? "launcher/meta.json" : Format("launcher/meta%d.json", number);
        if (!c.File(relative)) {
            continue;
        }
        Json::Value meta;
        Json::Reader reader;
        if (!reader.parse(ReadBytes(c.Path(relative)), meta) || !meta.isObject()) {
            c.Problem("unreadable " + relative);
            continue;
        }
        for (const char* member :
             {"resource_name", "resource_versionname", "resource_description", "resource_originate",
              "resource_developer", "resource_designer"}) {
            if (!meta[member].isString()) {
                c.Problem(std::string("no text ") + member + " in " + relative);
            }
        }
        for (const char* member : {"resource_id", "resource_version"}) {
            if (!meta[member].isInt()) {
                c.Problem(std::string("no number ") + member + " in " + relative);
            }
        }
        if (categories[number - 1] != nullptr &&
            meta["resource_category"] != categories[number - 1]) {
            c.Problem("wrong resource_category in " + relative);
        }
        if (number == 2 &&
            (!meta["resource_contents"].isArray() || meta["resource_contents"].size() != 3)) {
            c.Problem("meta2.json needs three resource_contents entries");
        }
    }
}

}  // namespace

std::vector<std::string> CheckTemplate(const std::string& root) {
    Checker checker(root);
    CheckLauncher(checker);
    CheckLockscreen(checker);
    CheckScreencall(checker);
    CheckMeta(checker);
    return checker.problems();
}

}  // namespace sw::test
