// The launcher module: two home pages (the clock-and-weather widget on the
// first; the calendar, a folder and third-party icons on the second), four
// pages of app icons, the dock and the page indicator on every page.
#include <cmath>
#include <string>
#include <vector>

#include "art.h"
#include "modules.h"
#include "template_doc.h"

namespace sw::template_gen {

namespace {

struct Tone {
    std::uint32_t top;
    std::uint32_t bottom;
};

constexpr Tone kCoral{0xFFA195, 0xEE5F6C};
constexpr Tone kPeach{0xFFC78E, 0xF48D55};
constexpr Tone kAmber{0xFFD872, 0xF0A336};
constexpr Tone kMint{0x84E3C3, 0x26AE8E};
constexpr Tone kTeal{0x67D3DB, 0x1F8AA6};
constexpr Tone kSky{0x86C9FF, 0x3B82E6};
constexpr Tone kIndigo{0x9AA4FF, 0x5360DC};
constexpr Tone kViolet{0xC7A2FF, 0x8658E0};
constexpr Tone kRose{0xFFA3CB, 0xE45C9A};
constexpr Tone kGreen{0x9FE27F, 0x45AF58};
constexpr Tone kSlate{0xA3B0CE, 0x5C6A8E};
constexpr Tone kRed{0xFF9187, 0xE1464F};

struct App {
    const char* label;
    const char* package;
    const char* icon;
    const char* glyph;
    Tone tone;
};

// The dock's four apps, then the app pages in order.
const App kDockApps[] = {
    {"电话", "com.android.dialer", "ic_launcher_phone", "phone", kGreen},
    {"联系人", "com.android.contacts", "ic_launcher_contacts", "contacts", kSky},
    {"信息", "com.android.mms", "ic_launcher_smsmms", "messages", kMint},
    {"浏览器", "com.android.browser", "ic_launcher_browser", "browser", kIndigo},
};

const App kPageApps[] = {
    {"相机", "com.android.camera", "ic_launcher_camera", "camera", kSlate},
    {"图库", "com.android.gallery3d", "ic_launcher_gallery", "gallery", kPeach},
    {"设置", "com.android.settings", "ic_launcher_settings", "settings", kTeal},
    {"时钟", "com.android.deskclock", "ic_launcher_alarmclock", "clock", kIndigo},
    {"计算器", "com.android.calculator2", "ic_launcher_calculator", "calculator", kAmber},
    {"音乐", "com.android.music", "ic_launcher_music", "music", kRose},
    {"视频", "com.android.videoplayer", "ic_launcher_video", "video", kCoral},
    {"电子邮件", "com.android.email", "ic_launcher_email", "email", kSky},
    {"天气", "com.quindo.weather", "ic_launcher_weather", "weather", kTeal},
    {"文件管理", "com.android.filemanager", "ic_launcher_filemanager", "files", kAmber},
    {"便签", "com.android.notes", "ic_launcher_notes", "notes", kPeach},
    {"录音机", "com.android.soundrecorder", "ic_launcher_soundrecorder", "recorder", kRed},
    {"收音机", "com.android.fmradio", "ic_launcher_fmradio", "radio", kViolet},
    {"地图", "com.quindo.maps", "ic_launcher_maps", "maps", kGreen},
    {"应用商店", "com.quindo.appstore", "ic_launcher_appstore", "store", kCoral},
    {"下载", "com.android.providers.downloads.ui", "ic_launcher_download", "download", kTeal},
    {"主题", "com.quindo.themecenter", "ic_launcher_themecenter", "themes", kViolet},
    {"安全中心", "com.quindo.security", "ic_launcher_security", "security", kMint},
    {"手电筒", "com.quindo.flashlight", "ic_launcher_flashlight", "flashlight", kAmber},
    {"指南针", "com.quindo.compass", "ic_launcher_compass", "compass", kSlate},
    {"备份", "com.quindo.backup", "ic_launcher_backup", "backup", kSky},
    {"视频通话", "com.quindo.videocall", "ic_launcher_videocall", "videocall", kGreen},
    {"游戏中心", "com.quindo.gamecenter", "ic_launcher_gamecenter", "games", kIndigo},
    {"健康", "com.quindo.health", "ic_launcher_health", "health", kRose},
    {"钱包", "com.quindo.wallet", "ic_launcher_wallet", "wallet", kPeach},
    {"搜索", "com.android.quicksearchbox", "ic_launcher_search", "search", kTeal},
    {"语音助手", "com.quindo.voiceassistant", "ic_launcher_voice", "voice", kViolet},
    {"扫一扫", "com.quindo.scanner", "ic_launcher_scanner", "scanner", kMint},
    {"阅读", "com.quindo.reader", "ic_launcher_reader", "reader", kAmber},
    {"新闻", "com.quindo.news", "ic_launcher_news", "news", kRed},
    {"翻译", "com.quindo.translate", "ic_launcher_translate", "translate", kSky},
    {"运动健身", "com.quindo.fitness", "ic_launcher_fitness", "fitness", kCoral},
    {"备忘录", "com.quindo.memo", "ic_launcher_memo", "memo", kPeach},
    {"截屏", "com.quindo.screenshot", "ic_launcher_screenshot", "screenshot", kSlate},
    {"用户反馈", "com.quindo.feedback", "ic_launcher_feedback", "feedback", kTeal},
    {"系统更新", "com.quindo.updater", "ic_launcher_updater", "updater", kIndigo},
    {"SIM卡应用", "com.android.stk", "ic_launcher_sim_toolkit", "sim", kGreen},
    {"无线投屏", "com.quindo.cast", "ic_launcher_cast", "cast", kViolet},
    {"购物", "com.quindo.shopping", "ic_launcher_shopping", "shopping", kRose},
    {"电视", "com.quindo.tv", "ic_launcher_tv", "tv", kRed},
    {"旅行", "com.quindo.travel", "ic_launcher_travel", "travel", kSky},
    {"美食", "com.quindo.food", "ic_launcher_food", "food", kAmber},
    {"支付", "com.quindo.pay", "ic_launcher_pay", "payment", kTeal},
    {"快递", "com.quindo.express", "ic_launcher_express", "express", kPeach},
    {"出行", "com.quindo.taxi", "ic_launcher_taxi", "taxi", kGreen},
    {"社区", "com.quindo.forum", "ic_launcher_forum", "forum", kIndigo},
    {"美颜相机", "com.quindo.beautycam", "ic_launcher_beautycam", "beauty", kRose},
    {"帮助", "com.quindo.help", "ic_launcher_help", "help", kMint},
};

constexpr int kAppPages = 4;
constexpr int kAppsPerPage = 12;
constexpr int kIconSide = 180;
constexpr int kLabelSize = 32;
constexpr int kColumns[] = {45, 315, 585, 855};
constexpr int kRows[] = {240, 610, 980};
constexpr int kScreenCount = 2 + kAppPages;

// The file name of an app icon as the icon exclusion list names it: the
// package with "_" for ".", two "_", the icon's own name.
std::string IconResource(const App& app) {
    std::string name = app.package;
    for (char& c : name) {
        if (c == '.') {
            c = '_';
        }
    }
    return name + "__" + app.icon;
}

// Value-name friendly short name of an app.
std::string AppKey(const App& app) {
    return std::string(app.icon).substr(12);
}

struct Build {
    ValueTable values;
    ModuleDoc doc;
};

// The parts every page shows: the dock with its background and the page
// indicator, with the dot of this page selected.
void AddDockAndIndicator(Build& b, Screen& screen, int page) {
    Element dock =
        ImageElement(b.values, "icon", "hotseat_bg", "dock_bg", {24, 1636, 1032, 244}, "底栏");
    dock.desc = "底栏背景（.9.png）";
    screen.elements.push_back(dock);
    for (int i = 0; i < 4; ++i) {
        const App& app = kDockApps[i];
        Element icon =
            ImageElement(b.values, "icon", IconResource(app), "dock_icon_" + std::to_string(i),
                         {63 + i * 258, 1668, kIconSide, kIconSide}, "图标");
        icon.desc = app.label;
        screen.elements.push_back(icon);
    }
    for (int dot = 0; dot < kScreenCount; ++dot) {
        if (dot == page) {
            continue;
        }
        Element normal;
        normal.tag = "icongroup";
        normal.left = "indicator_dot_" + std::to_string(dot) + "_x";
        normal.top = "indicator_y";
        normal.width = "home_point_width";
        normal.height = "home_point_height";
        normal.res = "@home_point";
        normal.index = 1;
        normal.category = "分页符";
        normal.readonly = true;
        screen.elements.push_back(normal);
    }
}

// The page indicator's selected dot, element 1 of every page.
Element SelectedDot(Build& b, int page) {
    for (int dot = 0; dot < kScreenCount; ++dot) {
        b.values.SetPx("indicator_dot_" + std::to_string(dot) + "_x", 430 + dot * 40);
    }
    b.values.SetPx("indicator_y", 1594);
    Element selected;
    selected.tag = "icongroup";
    selected.left = "indicator_dot_" + std::to_string(page) + "_x";
    selected.top = "indicator_y";
    selected.width = "home_point_width";
    selected.height = "home_point_height";
    selected.res = "@home_point";
    selected.index = 0;
    selected.category = "分页符";
    return selected;
}

Element Wallpaper(Build& b) {
    Element wallpaper =
        ImageElement(b.values, "icon", "wallpaper_grass", "wallpaper", {0, 0, 1080, 1920}, "壁纸");
    wallpaper.desc = "桌面壁纸（1080×1920）";
    return wallpaper;
}

// A label under an icon slot (read-only: labels belong to the phone).
Element Label(Build& b, const std::string& key, const std::string& text, int slotX, int slotY) {
    Element label = TextElement(b.values, text, "launcher_icon_label_color", "label_" + key + "_x",
                                "label_" + key + "_y", "launcher_icon_label_size",
                                CentredTextLeft(text, kLabelSize, slotX, kIconSide), slotY + 182,
                                kLabelSize, "图标");
    label.readonly = true;
    return label;
}

Screen FirstHomePage(Build& b) {
    Screen screen;
    screen.desc = "主屏幕一：天气时钟插件";
    screen.elements.push_back(Wallpaper(b));
    screen.elements.push_back(SelectedDot(b, 0));

    ValueTable& v = b.values;
    const int bgW = 1000;
    const int bgX = static_cast<int>(540 - bgW * 0.5);
    Element bg =
        ImageElementNamed(v, "icon", "weather_bg", "widgets_bg_x", "widgets_bg_y", "widgets_bg_w",
                          "widgets_bg_h", {bgX, 130, bgW, 440}, "天气插件");
    bg.desc = "天气背景";
    screen.elements.push_back(bg);
    Element icon =
        ImageElementNamed(v, "icongroup", "@weather_icons", "widgets_icon_x", "widgets_icon_y",
                          "widgets_icon_w", "widgets_icon_h", {764, 152, 210, 210}, "天气插件");
    icon.index = 1;
    screen.elements.push_back(icon);

    struct Digit {
        const char* key;
        const char* res;
        int index;
        Box box;
    };
    // 10:28 in the morning.
    const Digit digits[] = {
        {"widgets_num_h0", "@weather_digits", 1, {96, 170, 120, 180}},
        {"widgets_num_h1", "@weather_digits", 0, {212, 170, 120, 180}},
        {"widgets_num_colon0", "weather_time_colon", -1, {330, 170, 50, 180}},
        {"widgets_num_m0", "@weather_digits", 2, {378, 170, 120, 180}},
        {"widgets_num_m1", "@weather_digits", 8, {494, 170, 120, 180}},
        {"widgets_ampm", "@weather_ampm", 0, {622, 296, 90, 50}},
    };
    for (const Digit& digit : digits) {
        std::string key = digit.key;
        Element element = ImageElement(v, digit.index >= 0 ? "icongroup" : "icon", digit.res, key,
                                       digit.box, "时钟");
        element.index = digit.index;
        if (digit.index < 0) {
            element.desc = "冒号";
        }
        screen.elements.push_back(element);
    }

    struct Line {
        const char* key;
        const char* text;
        int x, y, size;
    };
    // Week day, date, city, weather and temperature, elements 10 to 14.
    const Line lines[] = {
        {"widget_week_text", "星期四", 292, 392, 44},
        {"widget_date_text", "6月18日", 100, 392, 44},
        {"widget_city_name_text", "深圳", 100, 474, 36},
        {"widget_weather_text", "多云转晴", 196, 474, 36},
        {"widget_temperature_text", "26°C", 0, 380, 64},
    };
    for (const Line& line : lines) {
        std::string key = line.key;
        int x = line.x;
        if (key == "widget_temperature_text") {
            x = CentredTextLeft(line.text, line.size, 764, 210);
        }
        screen.elements.push_back(TextElement(v, line.text, key, key + "_x", key + "_y",
                                              key + "_size", x, line.y, line.size, "天气插件"));
    }
    AddDockAndIndicator(b, screen, 0);
    return screen;
}

Element ThirdParty(Build& b, int number, int slotX, int slotY) {
    std::string key = "third_party_" + std::to_string(number);
    Element element = ImageElement(b.values, "mask", "@" + key, key,
                                   {slotX, slotY, kIconSide, kIconSide}, "第三方图标");
    element.readonly = number > 1;
    return element;
}

Screen SecondHomePage(Build& b) {
    Screen screen;
    screen.desc = "主屏幕二：日历、文件夹与第三方图标";
    screen.elements.push_back(Wallpaper(b));
    screen.elements.push_back(SelectedDot(b, 1));
    ValueTable& v = b.values;

    // The dynamic calendar icon: its plate, the week day on the band and the
    // day of the month below, in the sizes and colours of the values files.
    const int slotX = kColumns[0];
    const int slotY = kRows[0];
    Element calendar = ImageElement(v, "icon", "calendar_bg_no", "calendar_bg",
                                    {slotX, slotY, kIconSide, kIconSide}, "日历");
    calendar.desc = "动态日历图标背景";
    screen.elements.push_back(calendar);
    double plateX = 0;
    double plateY = 0;
    double plateW = 0;
    double plateH = 0;
    double radius = 0;
    IconPlate(kIconSide, plateX, plateY, plateW, plateH, radius);
    const int weekdayPixels = 24;  // 12sp at the project density
    const int dayPixels = 64;      // 32sp
    Element weekday;
    weekday.tag = "text";
    weekday.left = "calendar_weekday_x";
    weekday.top = "calendar_weekday_y";
    weekday.size = "calendar_weekday_font_size";
    weekday.text = "星期四";
    weekday.color = "calendar_weekday_color";
    weekday.category = "日历";
    v.SetPx(weekday.left,
            CentredTextLeft(weekday.text, weekdayPixels, slotX + static_cast<int>(plateX),
                            static_cast<int>(plateW)));
    v.SetPx(weekday.top, slotY + static_cast<int>(plateY) + 10);
    screen.elements.push_back(weekday);
    Element day = weekday;
    day.left = "calendar_day_x";
    day.top = "calendar_day_y";
    day.size = "calendar_day_font_size";
    day.text = "18";
    day.color = "calendar_day_color";
    v.SetPx(day.left, CentredTextLeft(day.text, dayPixels, slotX + static_cast<int>(plateX),
                                      static_cast<int>(plateW)));
    v.SetPx(day.top, slotY + static_cast<int>(plateY) + 58);
    screen.elements.push_back(day);
    screen.elements.push_back(Label(b, "calendar", "日历", slotX, slotY));

    // A folder holding four apps.
    const int folderX = kColumns[1];
    Element folder =
        ImageElement(v, "icon", "folder_bg", "folder_bg",
                     {folderX + static_cast<int>(plateX), slotY + static_cast<int>(plateY),
                      static_cast<int>(plateW), static_cast<int>(plateH)},
                     "文件夹");
    folder.desc = "文件夹背景（.9.png）";
    screen.elements.push_back(folder);
    const int mini = 66;
    for (int i = 0; i < 4; ++i) {
        const App& app = kPageApps[i * 3 + 2];
        Element icon =
            ImageElement(v, "icon", IconResource(app), "folder_app_" + std::to_string(i),
                         {folderX + static_cast<int>(plateX) + 10 + (i % 2) * (mini + 4),
                          slotY + static_cast<int>(plateY) + 10 + (i / 2) * (mini + 4), mini, mini},
                         "文件夹");
        icon.readonly = true;
        screen.elements.push_back(icon);
    }
    screen.elements.push_back(Label(b, "folder", "常用", folderX, slotY));

    const char* names[] = {"", "轻听", "图记", "晴空", "拾光"};
    const int slots[][2] = {{0, 0},
                            {kColumns[2], kRows[0]},
                            {kColumns[3], kRows[0]},
                            {kColumns[0], kRows[1]},
                            {kColumns[1], kRows[1]}};
    for (int number = 1; number <= 4; ++number) {
        screen.elements.push_back(ThirdParty(b, number, slots[number][0], slots[number][1]));
        screen.elements.push_back(Label(b, "third_party_" + std::to_string(number), names[number],
                                        slots[number][0], slots[number][1]));
    }
    AddDockAndIndicator(b, screen, 1);
    return screen;
}

Screen AppPage(Build& b, int page) {
    Screen screen;
    screen.desc = Format("应用图标 %d", page + 1);
    screen.elements.push_back(Wallpaper(b));
    screen.elements.push_back(SelectedDot(b, page + 2));
    for (int i = 0; i < kAppsPerPage; ++i) {
        const App& app = kPageApps[page * kAppsPerPage + i];
        int x = kColumns[i % 4];
        int y = kRows[i / 4];
        std::string slot = Format("app_col%d", i % 4);
        b.values.SetPx(slot + "_x", x);
        b.values.SetPx(Format("app_row%d_y", i / 4), y);
        b.values.SetPx("app_icon_size", kIconSide);
        Element icon;
        icon.tag = "icon";
        icon.left = slot + "_x";
        icon.top = Format("app_row%d_y", i / 4);
        icon.width = "app_icon_size";
        icon.height = "app_icon_size";
        icon.res = IconResource(app);
        icon.category = "图标";
        icon.desc = app.label;
        screen.elements.push_back(icon);
        screen.elements.push_back(Label(b, AppKey(app), app.label, x, y));
    }
    AddDockAndIndicator(b, screen, page + 2);
    return screen;
}

std::string Descriptions(const char* format, int count, int first) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += (i ? "|" : "") + Format(format, first + i);
    }
    return out;
}

ModuleDoc LauncherDoc(Build& b) {
    ModuleDoc& doc = b.doc;
    doc.name = "桌面";
    doc.version = "1.0";
    doc.categories = "壁纸|天气插件|时钟|图标|第三方图标|日历|文件夹|底栏|分页符";
    doc.groups.push_back({"indicator", "home_point", "home_point_selected|home_point_normal",
                          "当前页圆点|其他页圆点"});
    doc.groups.push_back({"weather", "weather_icons",
                          "weather_sunny|weather_partly_cloudy|weather_cloudy|weather_rain|"
                          "weather_thunder|weather_snow|weather_fog",
                          "晴|多云|阴|雨|雷阵雨|雪|雾"});
    doc.groups.push_back({"digits", "weather_digits", Descriptions("weather_time_%d", 10, 0),
                          Descriptions("数字%d", 10, 0)});
    doc.groups.push_back({"ampm", "weather_ampm", "weather_time_am|weather_time_pm", "上午|下午"});
    for (int number = 1; number <= 4; ++number) {
        doc.groups.push_back({"mask", Format("third_party_%d", number),
                              Format("icon_bg|third_party_sample_%d|icon_fg|icon_mask", number),
                              "第三方图标底板|第三方应用图标（示例）|第三方图标前景|"
                              "第三方图标遮罩"});
    }
    doc.screens.push_back(FirstHomePage(b));
    doc.screens.push_back(SecondHomePage(b));
    for (int page = 0; page < kAppPages; ++page) {
        doc.screens.push_back(AppPage(b, page));
    }
    return doc;
}

// weatherconfig.xml files: the widget's elements relative to its origin at
// (20, 90), scaled for one density.
std::string WeatherLayout(const ValueTable& v, double factor) {
    auto s = [&](int value) { return std::to_string(Scale(value, factor)); };
    auto x = [&](const std::string& name) { return s(v.GetInt(name) - 20); };
    auto y = [&](const std::string& name) { return s(v.GetInt(name) - 90); };
    auto size = [&](const std::string& name) { return s(v.GetInt(name)); };
    XmlText xml;
    xml.Open("Root");
    xml.Leaf("Image", {{"name", "weather_bg"},
                       {"src", "weather_bg"},
                       {"x", x("widgets_bg_x")},
                       {"y", y("widgets_bg_y")},
                       {"w", size("widgets_bg_w")},
                       {"h", size("widgets_bg_h")}});
    auto image = [&](const char* tag, const std::string& key, std::vector<Attribute> extra) {
        std::vector<Attribute> attributes = {{"x", x(key + "_x")},
                                             {"y", y(key + "_y")},
                                             {"w", size(key + "_w")},
                                             {"h", size(key + "_h")}};
        attributes.insert(attributes.end(), extra.begin(), extra.end());
        xml.Leaf(tag, attributes);
    };
    image("ImageHour10", "widgets_num_h0", {{"src", "weather_time_"}});
    image("ImageHour1", "widgets_num_h1", {{"src", "weather_time_"}});
    image("Image", "widgets_num_colon0", {{"name", "colon"}, {"src", "weather_time_colon"}});
    image("ImageMin10", "widgets_num_m0", {{"src", "weather_time_"}});
    image("ImageMin1", "widgets_num_m1", {{"src", "weather_time_"}});
    image("ImageAmPm", "widgets_ampm", {{"am", "weather_time_am"}, {"pm", "weather_time_pm"}});
    image("ImageWeather", "widgets_icon", {{"src", "weather_"}});
    auto text = [&](const char* tag, const std::string& key, const char* format,
                    const std::string& color) {
        std::vector<Attribute> attributes = {
            {"x", x(key + "_x")}, {"y", y(key + "_y")}, {"size", size(key + "_size")}};
        if (format[0] != '\0') {
            attributes.push_back({"format", format});
        }
        attributes.push_back({"color", color});
        xml.Leaf(tag, attributes);
    };
    text("TextDate", "widget_date_text", "M月d日", "#FFFFFFFF");
    text("TextWeek", "widget_week_text", "EEEE", "#FFFFFFFF");
    text("TextWeatherCity", "widget_city_name_text", "", "#E6FFFFFF");
    text("TextWeatherDescription", "widget_weather_text", "", "#E6FFFFFF");
    text("TextWeatherTemperature", "widget_temperature_text", "", "#FFFFD6A4");
    xml.Close("Root");
    return xml.str();
}

void WriteValuesFiles(const std::string& folder) {
    MakeFolders(folder);
    ValuesDoc integers("integer");
    integers.Comment("图标统一形状（1 是，0 否）");
    integers.Add("config_same_shape", "1");
    integers.Comment("翻页时分页符动画（1 是，0 否）");
    integers.Add("indicator_anim", "1");
    WriteFile(folder + "/integers.xml", integers.str());

    ValuesDoc bools("bool");
    bools.Comment("动态图标（日历）");
    bools.Add("support_active_icon_app", "true");
    WriteFile(folder + "/bools.xml", bools.str());

    ValuesDoc dimens("dimen");
    dimens.Comment("分页符圆点");
    dimens.Add("home_point_width", "10dp");
    dimens.Add("home_point_height", "10dp");
    dimens.Comment("动态日历图标的文字");
    dimens.Add("calendar_weekday_font_size", "12sp");
    dimens.Add("calendar_day_font_size", "32sp");
    WriteFile(folder + "/dimens.xml", dimens.str());

    ValuesDoc colors("color");
    colors.Comment("动态日历图标");
    colors.Add("calendar_weekday_color", "#FFFFFFFF");
    colors.Add("calendar_day_color", "#FF3A3F6E");
    colors.Comment("天气时钟插件的文字");
    colors.Add("widget_week_text", "#FFFFFFFF");
    colors.Add("widget_date_text", "#FFFFFFFF");
    colors.Add("widget_city_name_text", "#E6FFFFFF");
    colors.Add("widget_weather_text", "#E6FFFFFF");
    colors.Add("widget_temperature_text", "#FFFFD6A4");
    colors.Comment("锁屏文字（打包时写入锁屏布局）");
    colors.Add("lock_date_text", "#FFFFFFFF");
    colors.Add("lock_battery_text", "#D9FFFFFF");
    colors.Add("TextOwnerInfo_text", "#D9FFFFFF");
    colors.Add("TextSimAll_text_color", "#B3FFFFFF");
    WriteFile(folder + "/colors.xml", colors.str());
}

void WriteIconList(const std::string& path) {
    XmlText xml;
    xml.Open("ICONS");
    auto add = [&](const App& app) {
        xml.Leaf("icon", {{"icon_name", IconResource(app) + ".png"},
                          {"package", app.package},
                          {"type", "Application"},
                          {"title", app.label}});
    };
    for (const App& app : kDockApps) {
        add(app);
    }
    for (const App& app : kPageApps) {
        add(app);
    }
    xml.Close("ICONS");
    WriteFile(path, xml.str());
}

// ---- Pictures ----

void AppIcon(const std::string& folder, const App& app) {
    Surface icon(kIconSide, kIconSide);
    PaintAppIcon(icon, GlyphNamed(app.glyph), Hex(app.tone.top), Hex(app.tone.bottom));
    icon.WritePng(folder + "/" + IconResource(app) + ".png");
}

void PaintHotseat(const Surface& body) {
    cairo_t* cr = body.cr();
    RoundedRect(cr, 0.5, 0.5, body.width() - 1, body.height() - 1, 56);
    SetColor(cr, Hex(0xFFFFFF, 0.16));
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0xFFFFFF, 0.28));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

void PaintFolder(const Surface& body) {
    cairo_t* cr = body.cr();
    RoundedRect(cr, 0.5, 0.5, body.width() - 1, body.height() - 1, 38);
    Pattern fill =
        Linear(0, 0, 0, body.height(), {{0, Hex(0xFFFFFF, 0.34)}, {1, Hex(0xFFFFFF, 0.2)}});
    cairo_set_source(cr, fill.get());
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0xFFFFFF, 0.4));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

void PaintPlate(const Surface& icon, const Rgba& top, const Rgba& bottom, bool shadow) {
    double x = 0;
    double y = 0;
    double w = 0;
    double h = 0;
    double r = 0;
    IconPlate(icon.width(), x, y, w, h, r);
    if (shadow) {
        PaintShadow(icon, x + 2, y + 2, w - 4, h - 4, r, 5, 5, 0.45);
    }
    Pattern fill = Linear(0, y, 0, y + h, {{0, top}, {1, bottom}});
    RoundedRect(icon.cr(), x, y, w, h, r);
    cairo_set_source(icon.cr(), fill.get());
    cairo_fill(icon.cr());
}

void CalendarPlate(const std::string& path) {
    Surface icon(kIconSide, kIconSide);
    PaintPlate(icon, Hex(0xFFFFFF), Hex(0xEEF0F8), true);
    double x = 0;
    double y = 0;
    double w = 0;
    double h = 0;
    double r = 0;
    IconPlate(kIconSide, x, y, w, h, r);
    cairo_t* cr = icon.cr();
    cairo_save(cr);
    RoundedRect(cr, x, y, w, h, r);
    cairo_clip(cr);
    // Deep enough that the white week day on it stays readable.
    Pattern band = Linear(0, y, 0, y + 48, {{0, Hex(0xE0524A)}, {1, Hex(0xC8393F)}});
    cairo_rectangle(cr, x, y, w, 48);
    cairo_set_source(cr, band.get());
    cairo_fill(cr);
    cairo_restore(cr);
    icon.WritePng(path);
}

void ThirdPartyParts(const std::string& folder) {
    Surface bg(kIconSide, kIconSide);
    PaintPlate(bg, Hex(0xFFFFFF), Hex(0xE8ECF6), true);
    bg.WritePng(folder + "/icon_bg.png");

    Surface fg(kIconSide, kIconSide);
    double x = 0;
    double y = 0;
    double w = 0;
    double h = 0;
    double r = 0;
    IconPlate(kIconSide, x, y, w, h, r);
    cairo_t* cr = fg.cr();
    cairo_save(cr);
    RoundedRect(cr, x, y, w, h, r);
    cairo_clip(cr);
    Pattern shine = Linear(0, y, 0, y + h * 0.5, {{0, Hex(0xFFFFFF, 0.35)}, {1, Hex(0xFFFFFF, 0)}});
    cairo_set_source(cr, shine.get());
    cairo_paint(cr);
    cairo_restore(cr);
    RoundedRect(cr, x + 0.75, y + 0.75, w - 1.5, h - 1.5, r);
    SetColor(cr, Hex(0x2B2D5E, 0.12));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    fg.WritePng(folder + "/icon_fg.png");

    Surface mask(kIconSide, kIconSide);
    RoundedRect(mask.cr(), x, y, w, h, r);
    SetColor(mask.cr(), Hex(0xFFFFFF));
    cairo_fill(mask.cr());
    mask.WritePng(folder + "/icon_mask.png");

    // Sample icons of apps that the theme does not draw itself: a logo of
    // their own, which the phone sets on the theme's plate.
    struct Sample {
        const char* glyph;
        std::uint32_t top, bottom;
        int shape;  // 0 circle, 1 rounded square, 2 drop
    };
    const Sample samples[] = {
        {"music", 0x7FD3FF, 0x3A6FE0, 0},
        {"gallery", 0xFFB36B, 0xF0644A, 1},
        {"weather", 0x7DE3E8, 0x2A9FB8, 2},
        {"beauty", 0xFFA8D4, 0xC15BE0, 0},
    };
    for (int i = 0; i < 4; ++i) {
        const Sample& sample = samples[i];
        Surface icon(kIconSide, kIconSide);
        cairo_t* c = icon.cr();
        Pattern fill = Linear(46, 42, 134, 132, {{0, Hex(sample.top)}, {1, Hex(sample.bottom)}});
        if (sample.shape == 0) {
            cairo_arc(c, 90, 88, 46, 0, 2 * M_PI);
        } else if (sample.shape == 1) {
            RoundedRect(c, 46, 44, 88, 88, 22);
        } else {
            cairo_move_to(c, 90, 38);
            cairo_curve_to(c, 120, 70, 136, 92, 136, 106);
            cairo_arc(c, 90, 106, 46, 0, M_PI);
            cairo_curve_to(c, 44, 92, 60, 70, 90, 38);
            cairo_close_path(c);
        }
        cairo_set_source(c, fill.get());
        cairo_fill(c);
        double glyph = 54;
        PaintGlyph(icon, GlyphNamed(sample.glyph), 90 - glyph / 2,
                   (sample.shape == 2 ? 96 : 88) - glyph / 2, glyph, Hex(0xFFFFFF, 0.95));
        icon.WritePng(folder + Format("/third_party_sample_%d.png", i + 1));
    }
}

void IndicatorDots(const std::string& folder) {
    Surface selected(30, 30);
    Glow(selected.cr(), 15, 15, 15, Hex(0xFFFFFF, 0.35));
    cairo_arc(selected.cr(), 15, 15, 10, 0, 2 * M_PI);
    SetColor(selected.cr(), Hex(0xFFFFFF));
    cairo_fill(selected.cr());
    selected.WritePng(folder + "/home_point_selected.png");
    Surface normal(30, 30);
    cairo_arc(normal.cr(), 15, 15, 8, 0, 2 * M_PI);
    SetColor(normal.cr(), Hex(0xFFFFFF, 0.45));
    cairo_fill(normal.cr());
    normal.WritePng(folder + "/home_point_normal.png");
}

void WeatherCard(const std::string& path) {
    Surface card(1000, 440);
    cairo_t* cr = card.cr();
    RoundedRect(cr, 1, 1, 998, 438, 52);
    Pattern fill = Linear(0, 0, 0, 440, {{0, Hex(0xFFFFFF, 0.2)}, {1, Hex(0xFFFFFF, 0.08)}});
    cairo_set_source(cr, fill.get());
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0xFFFFFF, 0.3));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // A hairline between the clock and the weather.
    Pattern rule = Linear(
        0, 60, 0, 380, {{0, Hex(0xFFFFFF, 0)}, {0.5, Hex(0xFFFFFF, 0.3)}, {1, Hex(0xFFFFFF, 0)}});
    cairo_rectangle(cr, 700, 60, 2, 320);
    cairo_set_source(cr, rule.get());
    cairo_fill(cr);
    card.WritePng(path);
}

// Weather pictures, 220 x 220: a golden sun, white clouds, blue rain.
void Sun(cairo_t* cr, double cx, double cy, double r, bool rays) {
    Glow(cr, cx, cy, r * 2.1, Hex(0xFFD36B, 0.45));
    if (rays) {
        cairo_save(cr);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_width(cr, r * 0.16);
        SetColor(cr, Hex(0xFFC850));
        for (int i = 0; i < 8; ++i) {
            double a = i * M_PI / 4 + M_PI / 8;
            cairo_move_to(cr, cx + std::cos(a) * r * 1.3, cy + std::sin(a) * r * 1.3);
            cairo_line_to(cr, cx + std::cos(a) * r * 1.65, cy + std::sin(a) * r * 1.65);
            cairo_stroke(cr);
        }
        cairo_restore(cr);
    }
    Pattern disc = Linear(cx, cy - r, cx, cy + r, {{0, Hex(0xFFE58A)}, {1, Hex(0xFFAE3C)}});
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_set_source(cr, disc.get());
    cairo_fill(cr);
}

void Cloud(const Surface& s, double cx, double cy, double scale, const Rgba& top,
           const Rgba& bottom) {
    Surface layer(s.width(), s.height());
    cairo_t* cr = layer.cr();
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, scale, scale);
    cairo_new_sub_path(cr);
    cairo_arc(cr, -34, 8, 22, M_PI / 2, 3 * M_PI / 2);
    cairo_arc(cr, -6, -8, 30, M_PI * 1.05, M_PI * 1.85);
    cairo_arc(cr, 28, 6, 24, M_PI * 1.3, M_PI * 2.5);
    cairo_close_path(cr);
    cairo_identity_matrix(cr);
    Pattern fill = Linear(0, cy - 40 * scale, 0, cy + 32 * scale, {{0, top}, {1, bottom}});
    cairo_set_source(cr, fill.get());
    cairo_fill(cr);
    Surface shadow(s.width(), s.height());
    Composite(shadow, layer, 0, 4);
    cairo_set_operator(shadow.cr(), CAIRO_OPERATOR_IN);
    SetColor(shadow.cr(), Hex(0x1B2356, 0.35));
    cairo_paint(shadow.cr());
    Blur(shadow, 4);
    Composite(s, shadow, 0, 0);
    Composite(s, layer, 0, 0);
}

void WeatherIcons(const std::string& folder) {
    const Rgba cloudTop = Hex(0xFFFFFF);
    const Rgba cloudBottom = Hex(0xDCE3F2);
    const Rgba greyTop = Hex(0xE4E8F2);
    const Rgba greyBottom = Hex(0xAEB7CC);
    auto save = [&](const Surface& s, const char* name) {
        s.WritePng(folder + "/" + name + ".png");
    };
    {
        Surface s(220, 220);
        Sun(s.cr(), 110, 110, 50, true);
        save(s, "weather_sunny");
    }
    {
        Surface s(220, 220);
        Sun(s.cr(), 132, 84, 40, true);
        Cloud(s, 100, 136, 1.45, cloudTop, cloudBottom);
        save(s, "weather_partly_cloudy");
    }
    {
        Surface s(220, 220);
        Cloud(s, 128, 90, 1.05, greyTop, greyBottom);
        Cloud(s, 98, 128, 1.45, cloudTop, cloudBottom);
        save(s, "weather_cloudy");
    }
    auto stormCloud = [&](Surface& s) { Cloud(s, 110, 96, 1.5, greyTop, greyBottom); };
    {
        Surface s(220, 220);
        stormCloud(s);
        cairo_t* cr = s.cr();
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_width(cr, 8);
        SetColor(cr, Hex(0x6CB8FF));
        for (int i = 0; i < 4; ++i) {
            double x = 70 + i * 26;
            cairo_move_to(cr, x, 150 + (i % 2) * 10);
            cairo_line_to(cr, x - 8, 172 + (i % 2) * 10);
            cairo_stroke(cr);
        }
        save(s, "weather_rain");
    }
    {
        Surface s(220, 220);
        stormCloud(s);
        cairo_t* cr = s.cr();
        cairo_move_to(cr, 116, 130);
        cairo_line_to(cr, 92, 170);
        cairo_line_to(cr, 110, 170);
        cairo_line_to(cr, 98, 204);
        cairo_line_to(cr, 134, 158);
        cairo_line_to(cr, 116, 158);
        cairo_line_to(cr, 128, 130);
        cairo_close_path(cr);
        SetColor(cr, Hex(0xFFC850));
        cairo_fill(cr);
        save(s, "weather_thunder");
    }
    {
        Surface s(220, 220);
        stormCloud(s);
        cairo_t* cr = s.cr();
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_width(cr, 4.5);
        SetColor(cr, Hex(0xFFFFFF));
        for (int i = 0; i < 3; ++i) {
            double cx = 74 + i * 36;
            double cy = 164 + (i % 2) * 18;
            for (int arm = 0; arm < 3; ++arm) {
                double a = arm * M_PI / 3 + M_PI / 2;
                cairo_move_to(cr, cx - std::cos(a) * 11, cy - std::sin(a) * 11);
                cairo_line_to(cr, cx + std::cos(a) * 11, cy + std::sin(a) * 11);
                cairo_stroke(cr);
            }
        }
        save(s, "weather_snow");
    }
    {
        Surface s(220, 220);
        Cloud(s, 110, 90, 1.4, greyTop, greyBottom);
        cairo_t* cr = s.cr();
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_width(cr, 9);
        SetColor(cr, Hex(0xDCE3F2, 0.9));
        const double lines[][2] = {{50, 150}, {72, 172}, {44, 194}};
        for (const auto& line : lines) {
            cairo_move_to(cr, line[0], line[1]);
            cairo_line_to(cr, line[0] + 120, line[1]);
            cairo_stroke(cr);
        }
        save(s, "weather_fog");
    }
}

void ClockFace(const std::string& folder) {
    const Rgba white = Hex(0xFFFFFF);
    for (int digit = 0; digit <= 9; ++digit) {
        Surface s(120, 180);
        PaintClockCharacter(s, std::to_string(digit), 178, 158, white, true);
        s.WritePng(folder + Format("/weather_time_%d.png", digit));
    }
    Surface colon(50, 180);
    PaintClockCharacter(colon, ":", 178, 150, white, true);
    colon.WritePng(folder + "/weather_time_colon.png");
    for (const char* mark : {"am", "pm"}) {
        Surface s(90, 50);
        std::string text = std::string(mark) == "am" ? "AM" : "PM";
        double x = 0;
        double y = 0;
        double w = 0;
        double h = 0;
        InkExtents(text, kDigitFace, 38, "normal", x, y, w, h);
        DrawText(s.cr(), text, kDigitFace, 38, (90 - w) / 2 - x, (50 - h) / 2 - y,
                 Hex(0xFFFFFF, 0.92));
        s.WritePng(folder + Format("/weather_time_%s.png", mark));
    }
}

void WritePictures(const std::string& module) {
    std::string xx = module + "/content/res/drawable-xxhdpi";
    std::string no = module + "/content/res/drawable-nodpi";
    MakeFolders(xx);
    MakeFolders(no);
    {
        Surface wallpaper(1080, 1920);
        PaintDawnMeadow(wallpaper);
        wallpaper.WriteOpaquePng(xx + "/wallpaper_grass.png");
    }
    for (const App& app : kDockApps) {
        AppIcon(xx, app);
    }
    for (const App& app : kPageApps) {
        AppIcon(xx, app);
    }
    WriteNinePatch(xx + "/hotseat_bg.9.png", 128, 128, 58, 70, 58, 70, PaintHotseat);
    WriteNinePatch(xx + "/folder_bg.9.png", 96, 96, 42, 54, 42, 54, PaintFolder);
    // The calendar plate is read from drawable-nodpi; its twin in
    // drawable-xxhdpi is replaced with it.
    CalendarPlate(no + "/calendar_bg_no.png");
    CalendarPlate(xx + "/calendar_bg.png");
    ThirdPartyParts(xx);
    IndicatorDots(xx);
    WeatherCard(xx + "/weather_bg.png");
    WeatherIcons(xx);
    ClockFace(xx);
}

}  // namespace

void WriteLauncher(const std::string& root) {
    std::string module = root + "/launcher";
    MakeFolders(module);
    Build b;
    ModuleDoc doc = LauncherDoc(b);
    WriteFile(module + "/template.xml", TemplateXml(doc));
    ValuesDoc values("dimen");
    values.Comment("桌面各元素的位置与大小（xxhdpi 像素）");
    values.AddAll(b.values);
    values.Comment("图标名称的文字颜色（仅用于预览）");
    values.Add("launcher_icon_label_color", "#FFFFFFFF", "color");
    WriteFile(module + "/template_values.xml", values.str());
    WriteValuesFiles(module + "/content/res/values");
    std::string xml = module + "/content/res/xml";
    MakeFolders(xml);
    WriteFile(xml + "/weatherconfig2.xml", WeatherLayout(b.values, 1));
    WriteFile(xml + "/weatherconfig.xml", WeatherLayout(b.values, 0.5));
    WriteFile(xml + "/weatherconfig1.xml", WeatherLayout(b.values, 0.66));
    WriteFile(xml + "/weatherconfig3.xml", WeatherLayout(b.values, 1.3));
    WriteIconList(xml + "/icons.xml");
    WriteMetaFiles(module);
    WritePictures(module);
}

}  // namespace sw::template_gen
