// The lock-screen module: six templates that share the clock, the texts and
// the animation and differ in how the screen is unlocked (向右, 二向, 三向,
// 四向, 向下, 向上). Every template has its values file and its layouts for
// five densities; template 1 is the active copy.
#include <cmath>
#include <string>
#include <vector>

#include "art.h"
#include "modules.h"
#include "template_doc.h"

namespace sw::template_gen {

namespace {

constexpr int kTemplates = 6;
constexpr int kOff = -2080;  // x of a part the template does not show
constexpr int kHandle = 190;
constexpr int kTarget = 170;
constexpr int kFrames = 20;
constexpr int kFrameMilliseconds = 100;
constexpr int kFramePlays = 5;

struct Centre {
    int x;
    int y;
    bool shown;
};

// Where the handle and the four targets sit in one template (centres).
struct UnlockStyle {
    const char* name;
    Centre handle;
    Centre unlock;
    Centre camera;
    Centre call;
    Centre message;
};

constexpr Centre kHidden{540, 1470, false};
const UnlockStyle kStyles[kTemplates] = {
    {"向右", {300, 1470, true}, {780, 1470, true}, kHidden, kHidden, kHidden},
    {"二向", {540, 1470, true}, {780, 1470, true}, {300, 1470, true}, kHidden, kHidden},
    {"三向", {540, 1470, true}, {540, 1230, true}, kHidden, {300, 1470, true}, {780, 1470, true}},
    {"四向",
     {540, 1470, true},
     {540, 1230, true},
     {540, 1710, true},
     {300, 1470, true},
     {780, 1470, true}},
    {"向下", {540, 1230, true}, {540, 1710, true}, kHidden, kHidden, kHidden},
    {"向上", {540, 1710, true}, {540, 1230, true}, kHidden, kHidden, kHidden},
};

struct Density {
    const char* folder;
    double factor;
    int width;
    int height;
};

// The order and factors in which the lock-screen editor writes layouts.
const Density kDensities[] = {
    {"xxhdpi", 1, 1080, 1920},
    {"xhdpi", 0.66, 720, 1280},
    {"hdpi_720x1280", 0.66, 720, 1280},
    {"hdpi", 0.5, 540, 960},
    {"xxxhdpi_1440x2560", 1.3, 1440, 2560},
};

const char kDateText[] = "6月18日 星期四";
const char kBatteryText[] = "正在充电 86%";
const char kOwnerText[] = "愿你今天好心情";
const char kSimText[] = "SIM 卡 · 5G";

Box Around(const Centre& centre, int side) {
    if (!centre.shown) {
        return {kOff, centre.y - side / 2, side, side};
    }
    return {centre.x - side / 2, centre.y - side / 2, side, side};
}

struct Template {
    ValueTable values;
    ModuleDoc doc;
};

void AddText(Template& t, Screen& screen, const std::string& prefix, const std::string& color,
             const char* text, int x, int y, int size, int width, const char* category) {
    Element element = TextElement(t.values, text, color, prefix + "_x", prefix + "_y",
                                  prefix + "_size", x, y, size, category);
    t.values.SetPx(prefix + "_w", width);
    t.values.Set(prefix + "_center", "2");
    screen.elements.push_back(element);
}

void MakeTemplate(Template& t, const UnlockStyle& style) {
    ValueTable& v = t.values;
    ModuleDoc& doc = t.doc;
    doc.name = "锁屏";
    doc.version = "1.0";
    doc.categories = "壁纸|时钟|文字|电池|解锁|快捷方式|动画";
    std::string frames;
    std::string frameDescs;
    for (int frame = 1; frame <= kFrames; ++frame) {
        frames += Format("%sanimator%d", frame > 1 ? "|" : "", frame);
        frameDescs += Format("%s第%d帧", frame > 1 ? "|" : "", frame);
    }
    doc.groups.push_back({"frames", "animator_frames", frames, frameDescs});
    std::string digits;
    std::string digitDescs;
    for (int digit = 0; digit <= 9; ++digit) {
        digits += Format("%stime_%d", digit ? "|" : "", digit);
        digitDescs += Format("%s数字%d", digit ? "|" : "", digit);
    }
    doc.groups.push_back({"digits", "lock_digits", digits, digitDescs});
    doc.groups.push_back({"ampm", "lock_ampm", "time_am|time_pm", "上午|下午"});
    doc.groups.push_back(
        {"handle", "unlock_handle", "unlock_handle_normal|unlock_handle_pressed", "常态|按下"});
    doc.groups.push_back({"battery", "battery", "battery_charging|battery_charged|battery_low",
                          "充电中|已充满|电量低"});

    Screen screen;
    screen.desc = Format("锁屏：%s解锁", style.name);
    Element wallpaper =
        ImageElement(v, "icon", "lockscreen_wallpaper", "wallpaper", {0, 0, 1080, 1920}, "壁纸");
    wallpaper.desc = "锁屏壁纸（1080×1920）";
    screen.elements.push_back(wallpaper);  // 0
    Element animation =
        ImageElement(v, "icongroup", "@animator_frames", "animator", {0, 640, 1080, 520}, "动画");
    animation.index = 0;
    screen.elements.push_back(animation);  // 1
    Element ring = ImageElement(v, "icon", "unlock_background", "unlock_background",
                                {260, 1190, 560, 560}, "解锁");
    ring.desc = "解锁背景";
    screen.elements.push_back(ring);  // 2

    struct Digit {
        const char* key;
        const char* res;
        int index;
        Box box;
    };
    // 10:28 in the morning, elements 3 to 8.
    const Digit clock[] = {
        {"lock_num_h0", "@lock_digits", 1, {230, 250, 140, 220}},
        {"lock_num_h1", "@lock_digits", 0, {370, 250, 140, 220}},
        {"lock_num_colon0", "time_colon", -1, {510, 250, 60, 220}},
        {"lock_num_m0", "@lock_digits", 2, {570, 250, 140, 220}},
        {"lock_num_m1", "@lock_digits", 8, {710, 250, 140, 220}},
        {"lock_ampm", "@lock_ampm", 0, {858, 414, 90, 50}},
    };
    for (const Digit& digit : clock) {
        Element element = ImageElement(v, digit.index >= 0 ? "icongroup" : "icon", digit.res,
                                       digit.key, digit.box, "时钟");
        element.index = digit.index;
        if (digit.index < 0) {
            element.desc = "冒号";
        }
        screen.elements.push_back(element);
    }
    // Texts, elements 9 to 12; centred ones stand at the editor's fixed x.
    AddText(t, screen, "lock_date_text", "lock_date_text", kDateText, 380, 500, 42, 400, "文字");
    AddText(t, screen, "lock_battery_text", "lock_battery_text", kBatteryText, 430, 1836, 30, 240,
            "电池");
    AddText(t, screen, "TextOwnerInfo_text", "TextOwnerInfo_text", kOwnerText, 450, 574, 30, 420,
            "文字");
    AddText(t, screen, "TextSimAll_text", "TextSimAll_text_color", kSimText, 450, 92, 28, 300,
            "文字");

    Element handle = ImageElement(v, "icongroup", "@unlock_handle", "unlock_handle",
                                  Around(style.handle, kHandle), "解锁");
    handle.index = 0;
    screen.elements.push_back(handle);  // 13
    auto shortcut = [&](const char* res, const char* prefix, const Centre& centre,
                        const char* category, const char* desc) {
        Element element = ImageElement(v, "icon", res, prefix, Around(centre, kTarget), category);
        element.desc = desc;
        element.readonly = !centre.shown;
        screen.elements.push_back(element);
    };
    shortcut("unlock_camera_normal", "unlock_camera", style.camera, "快捷方式", "相机");  // 14
    shortcut("unlock_normal_normal", "unlock_normal", style.unlock, "解锁", "解锁目标");  // 15
    shortcut("new_event_num_call_icon_normal", "new_event_num_call", style.call, "快捷方式",
             "未接来电");  // 16
    shortcut("new_event_num_massage_icon_normal", "new_event_num_massage", style.message,
             "快捷方式", "新信息");  // 17
    Element battery =
        ImageElement(v, "icongroup", "@battery", "lock_battery_icon", {374, 1842, 44, 24}, "电池");
    battery.index = 0;
    screen.elements.push_back(battery);  // 18
    doc.screens.push_back(screen);
}

std::string Layout(const ValueTable& v, const Density& d) {
    auto s = [&](int value) { return std::to_string(Scale(value, d.factor)); };
    auto get = [&](const std::string& name) { return v.GetInt(name); };
    XmlText xml;
    xml.Open("Root", {{"screenWidth", std::to_string(d.width)},
                      {"screenHeight", std::to_string(d.height)}});
    xml.Leaf("Image", {{"name", "wallpaper"},
                       {"src", "lockscreen_wallpaper.png"},
                       {"x", "0"},
                       {"y", "0"},
                       {"w", std::to_string(d.width)},
                       {"h", std::to_string(d.height)}});
    auto box = [&](const std::string& key) -> std::vector<Attribute> {
        return {{"x", s(get(key + "_x"))},
                {"y", s(get(key + "_y"))},
                {"w", s(get(key + "_w"))},
                {"h", s(get(key + "_h"))}};
    };
    auto with = [](std::vector<Attribute> first, std::vector<Attribute> more) {
        first.insert(first.end(), more.begin(), more.end());
        return first;
    };
    std::vector<Attribute> animator = with({{"name", "animator"}}, box("animator"));
    xml.Open("ImageAnimator", animator);
    for (int frame = 1; frame < kFrames; ++frame) {
        xml.Leaf("Frame", {{"name", Format("animator%d", frame)},
                           {"src", Format("animator%d.png", frame)},
                           {"duration", std::to_string(kFrameMilliseconds)}});
    }
    xml.Leaf("FrameEnd", {{"src", Format("animator%d.png", kFrames)}});
    xml.Leaf("EventShow", {{"times", std::to_string(kFramePlays)}});
    xml.Close("ImageAnimator");
    xml.Leaf("Image", with({{"name", "unlock_background"}, {"src", "unlock_background.png"}},
                           box("unlock_background")));
    xml.Leaf("ImageHour10", with(box("lock_num_h0"), {{"src", "time_"}}));
    xml.Leaf("ImageHour1", with(box("lock_num_h1"), {{"src", "time_"}}));
    xml.Leaf("Image", with({{"name", "colon"}, {"src", "time_colon.png"}}, box("lock_num_colon0")));
    xml.Leaf("ImageMin10", with(box("lock_num_m0"), {{"src", "time_"}}));
    xml.Leaf("ImageMin1", with(box("lock_num_m1"), {{"src", "time_"}}));
    xml.Leaf("ImageAmPm", with(box("lock_ampm"), {{"am", "time_am.png"}, {"pm", "time_pm.png"}}));
    auto text = [&](const char* tag, const std::string& key, const char* color,
                    std::vector<Attribute> extra) {
        bool centred = get(key + "_center") == 2;
        std::vector<Attribute> attributes = {{"x", centred ? "0" : s(get(key + "_x"))},
                                             {"y", s(get(key + "_y"))},
                                             {"w", s(get(key + "_w"))},
                                             {"size", s(get(key + "_size"))},
                                             {"alignX", centred ? "0" : "1"},
                                             {"gravityX", centred ? "0" : "1"}};
        attributes = with(attributes, extra);
        attributes.push_back({"color", color});
        xml.Leaf(tag, attributes);
    };
    text("TextDateWeek", "lock_date_text", "#FFFFFFFF", {{"format", "M月d日 EEEE"}});
    text("TextBattery", "lock_battery_text", "#D9FFFFFF", {});
    xml.Leaf("ImageBattery", with(with({{"name", "battery"}}, box("lock_battery_icon")),
                                  {{"charging", "battery_charging.png"},
                                   {"charged", "battery_charged.png"},
                                   {"low", "battery_low.png"}}));
    text("TextOwnerInfo", "TextOwnerInfo_text", "#D9FFFFFF", {});
    text("TextSimAll", "TextSimAll_text", "#B3FFFFFF", {});
    xml.Leaf("LockRad", {{"x", s(get("unlock_handle_x") - 176)},
                         {"y", s(get("unlock_handle_y") - 163)},
                         {"w", s(get("unlock_handle_w") + 2 * 176)},
                         {"h", s(get("unlock_handle_h") + 2 * 163)}});
    xml.Leaf("ImageEvent",
             with(with({{"name", "unlock"}}, box("unlock_handle")),
                  {{"src", "unlock_handle_normal.png"}, {"pressed", "unlock_handle_pressed.png"}}));
    auto event = [&](const char* name, const std::string& key, const char* src,
                     const char* action) {
        xml.Leaf("ImageEvent",
                 with(with({{"name", name}}, box(key)), {{"src", src}, {"action", action}}));
    };
    event("normal", "unlock_normal", "unlock_normal_normal.png", "unlock");
    event("camera", "unlock_camera", "unlock_camera_normal.png", "camera");
    event("call", "new_event_num_call", "new_event_num_call_icon_normal.png", "call");
    event("message", "new_event_num_massage", "new_event_num_massage_icon_normal.png", "message");
    xml.Close("Root");
    return xml.str();
}

void WriteValuesFiles(const std::string& folder) {
    MakeFolders(folder);
    ValuesDoc integers("integer");
    integers.Comment("使用中的锁屏模板（1 到 6）");
    integers.Add("lockscreen_template", "1");
    integers.Comment("锁屏动画：播放次数、每帧毫秒数、各帧开关（1 开，0 关）");
    integers.Add("lockscreenAnimator_times", std::to_string(kFramePlays));
    integers.Add("lockscreenAnimator_Millisecond", std::to_string(kFrameMilliseconds));
    for (int frame = 1; frame <= kFrames; ++frame) {
        integers.Add(Format("animator%d", frame), "1");
    }
    WriteFile(folder + "/integers.xml", integers.str());
    ValuesDoc colors("color");
    colors.Comment("锁屏文字颜色");
    colors.Add("lock_date_text", "#FFFFFFFF");
    colors.Add("lock_battery_text", "#D9FFFFFF");
    colors.Add("TextOwnerInfo_text", "#D9FFFFFF");
    colors.Add("TextSimAll_text_color", "#B3FFFFFF");
    WriteFile(folder + "/colors.xml", colors.str());
}

// ---- Pictures ----

void ClockFace(const std::string& folder) {
    const Rgba white = Hex(0xFFFFFF);
    for (int digit = 0; digit <= 9; ++digit) {
        Surface s(140, 220);
        PaintClockCharacter(s, std::to_string(digit), 210, 188, white, true);
        s.WritePng(folder + Format("/time_%d.png", digit));
    }
    Surface colon(60, 220);
    PaintClockCharacter(colon, ":", 210, 178, white, true);
    colon.WritePng(folder + "/time_colon.png");
    for (const char* mark : {"am", "pm"}) {
        Surface s(90, 50);
        std::string text = std::string(mark) == "am" ? "AM" : "PM";
        double x = 0;
        double y = 0;
        double w = 0;
        double h = 0;
        InkExtents(text, kDigitFace, 36, "normal", x, y, w, h);
        DrawText(s.cr(), text, kDigitFace, 36, (90 - w) / 2 - x, (50 - h) / 2 - y,
                 Hex(0xFFFFFF, 0.9));
        s.WritePng(folder + Format("/time_%s.png", mark));
    }
}

void Battery(const std::string& path, double level, const Rgba& fill, bool bolt) {
    Surface s(44, 24);
    cairo_t* cr = s.cr();
    RoundedRect(cr, 1.5, 2.5, 36, 19, 4.5);
    SetColor(cr, Hex(0xFFFFFF, 0.85));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    RoundedRect(cr, 39, 8.5, 3.5, 7, 1.5);
    cairo_fill(cr);
    RoundedRect(cr, 4.5, 5.5, 30 * level, 13, 2.5);
    SetColor(cr, fill);
    cairo_fill(cr);
    if (bolt) {
        cairo_move_to(cr, 22, 4);
        cairo_line_to(cr, 14, 13);
        cairo_line_to(cr, 19.5, 13);
        cairo_line_to(cr, 16, 20);
        cairo_line_to(cr, 25, 11);
        cairo_line_to(cr, 19.5, 11);
        cairo_close_path(cr);
        SetColor(cr, Hex(0xFFFFFF));
        cairo_fill_preserve(cr);
        SetColor(cr, Hex(0x2B2D5E, 0.6));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    s.WritePng(path);
}

void Ring(const std::string& path) {
    Surface s(560, 560);
    cairo_t* cr = s.cr();
    Glow(cr, 280, 280, 280, Hex(0xB9B4F0, 0.16));
    cairo_arc(cr, 280, 280, 240, 0, 2 * M_PI);
    SetColor(cr, Hex(0xFFFFFF, 0.06));
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0xFFFFFF, 0.42));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    for (int i = 0; i < 48; ++i) {
        double a = i * 2 * M_PI / 48;
        cairo_arc(cr, 280 + std::cos(a) * 206, 280 + std::sin(a) * 206, i % 4 == 0 ? 3.2 : 2, 0,
                  2 * M_PI);
        SetColor(cr, Hex(0xFFFFFF, i % 4 == 0 ? 0.45 : 0.25));
        cairo_fill(cr);
    }
    s.WritePng(path);
}

void Handle(const std::string& path, bool pressed) {
    Surface s(kHandle, kHandle);
    cairo_t* cr = s.cr();
    const double c = kHandle / 2.0;
    if (pressed) {
        Glow(cr, c, c, 95, Hex(0xFFE2B8, 0.55));
        cairo_arc(cr, c, c, 88, 0, 2 * M_PI);
        SetColor(cr, Hex(0xFFFFFF, 0.5));
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
    } else {
        Surface shadow(kHandle, kHandle);
        cairo_arc(shadow.cr(), c, c + 5, 68, 0, 2 * M_PI);
        SetColor(shadow.cr(), Hex(0x000000, 0.5));
        cairo_fill(shadow.cr());
        Blur(shadow, 6);
        Composite(s, shadow, 0, 0);
    }
    Pattern disc = Linear(0, c - 70, 0, c + 70,
                          {{0, Hex(0xFFFFFF)}, {1, pressed ? Hex(0xFFE9D2) : Hex(0xE6E8F6)}});
    cairo_arc(cr, c, c, 70, 0, 2 * M_PI);
    cairo_set_source(cr, disc.get());
    cairo_fill(cr);
    PaintGlyph(s, GlyphNamed(pressed ? "unlock" : "lock"), c - 38, c - 40, 76, palette::kInk);
    s.WritePng(path);
}

void Target(const std::string& path, const char* glyph, int badge) {
    Surface s(kTarget, kTarget);
    cairo_t* cr = s.cr();
    const double c = kTarget / 2.0;
    cairo_arc(cr, c, c, 62, 0, 2 * M_PI);
    SetColor(cr, Hex(0xFFFFFF, 0.12));
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0xFFFFFF, 0.7));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    PaintGlyph(s, GlyphNamed(glyph), c - 32, c - 32, 64, Hex(0xFFFFFF, 0.95));
    if (badge > 0) {
        cairo_arc(cr, c + 46, c - 46, 19, 0, 2 * M_PI);
        SetColor(cr, palette::kCoral);
        cairo_fill(cr);
        std::string number = std::to_string(badge);
        double x = 0;
        double y = 0;
        double w = 0;
        double h = 0;
        InkExtents(number, kDigitFace, 24, "bold", x, y, w, h);
        DrawText(cr, number, kDigitFace, 24, c + 46 - w / 2 - x, c - 46 - h / 2 - y, Hex(0xFFFFFF),
                 false, "bold");
    }
    s.WritePng(path);
}

// Fireflies drifting over the meadow; frame k of a loop of kFrames.
void Fireflies(const std::string& folder) {
    struct Fly {
        double x, y, dx, dy, r, phase;
    };
    std::vector<Fly> flies;
    Random random(61);
    for (int i = 0; i < 22; ++i) {
        flies.push_back({random.Between(40, 1040), random.Between(60, 470),
                         random.Between(14, 34) * (random.Next() < 0.5 ? -1 : 1),
                         random.Between(8, 22), random.Between(2.5, 5.5),
                         random.Between(0, 2 * M_PI)});
    }
    for (int frame = 0; frame < kFrames; ++frame) {
        double t = 2 * M_PI * frame / kFrames;
        Surface s(1080, 520);
        for (const Fly& fly : flies) {
            double x = fly.x + fly.dx * std::sin(t + fly.phase);
            double y = fly.y + fly.dy * std::sin(2 * t + fly.phase * 1.7);
            double pulse = 0.5 + 0.5 * std::sin(t + fly.phase * 2.3);
            double alpha = 0.25 + 0.75 * pulse;
            Glow(s.cr(), x, y, fly.r * 5, Hex(0xFFE08A, 0.4 * alpha));
            cairo_arc(s.cr(), x, y, fly.r * (0.7 + 0.3 * pulse), 0, 2 * M_PI);
            SetColor(s.cr(), Hex(0xFFF6D0, alpha));
            cairo_fill(s.cr());
        }
        s.WritePng(folder + Format("/animator%d.png", frame + 1));
    }
}

void WritePictures(const std::string& module) {
    std::string xx = module + "/content/res/drawable-xxhdpi";
    MakeFolders(xx);
    {
        Surface wallpaper(1080, 1920);
        PaintNightMeadow(wallpaper);
        wallpaper.WriteOpaquePng(xx + "/lockscreen_wallpaper.png");
    }
    ClockFace(xx);
    Battery(xx + "/battery_charging.png", 0.86, Hex(0x7BE3A6), true);
    Battery(xx + "/battery_charged.png", 1.0, Hex(0xFFFFFF, 0.9), false);
    Battery(xx + "/battery_low.png", 0.15, palette::kCoral, false);
    Ring(xx + "/unlock_background.png");
    Handle(xx + "/unlock_handle_normal.png", false);
    Handle(xx + "/unlock_handle_pressed.png", true);
    Target(xx + "/unlock_normal_normal.png", "unlock", 0);
    Target(xx + "/unlock_camera_normal.png", "camera", 0);
    Target(xx + "/new_event_num_call_icon_normal.png", "phone", 2);
    Target(xx + "/new_event_num_massage_icon_normal.png", "bubble", 3);
    Fireflies(xx);
}

}  // namespace

void WriteLockscreen(const std::string& root) {
    std::string module = root + "/lockscreen";
    MakeFolders(module);
    for (int number = 1; number <= kTemplates; ++number) {
        Template t;
        MakeTemplate(t, kStyles[number - 1]);
        std::string templateXml = TemplateXml(t.doc);
        ValuesDoc values("dimen");
        values.Comment(Format("锁屏模板 %d（%s解锁）：各元素的位置与大小（xxhdpi 像素）", number,
                              kStyles[number - 1].name));
        values.AddAll(t.values);
        WriteFile(module + Format("/template%d.xml", number), templateXml);
        WriteFile(module + Format("/template_values%d.xml", number), values.str());
        for (const Density& density : kDensities) {
            std::string layout = Layout(t.values, density);
            std::string folder =
                module + Format("/content/lockscreen%d/content/res/%s", number, density.folder);
            MakeFolders(folder);
            WriteFile(folder + "/lockscreen.xml", layout);
            if (number == 1) {
                std::string active = module + "/content/lockscreen/content/res/" + density.folder;
                MakeFolders(active);
                WriteFile(active + "/lockscreen.xml", layout);
            }
        }
        if (number == 1) {
            WriteFile(module + "/template.xml", templateXml);
            WriteFile(module + "/template_values.xml", values.str());
        }
    }
    WriteValuesFiles(module + "/content/res/values");
    WritePictures(module);
}

}  // namespace sw::template_gen
