// The call-screen module: the wallpaper, a caller shown for the preview only,
// and the four buttons (answer, hang up, remind later, reply by SMS).
#include <cmath>
#include <string>

#include "art.h"
#include "modules.h"
#include "template_doc.h"

namespace sw::template_gen {

namespace {

struct Density {
    const char* folder;
    double factor;
    int width;
    int height;
};

// The order and factors in which the call-screen editor writes layouts.
const Density kDensities[] = {
    {"xxhdpi", 1, 1080, 1920},
    {"xhdpi", 0.66, 720, 1280},
    {"hdpi", 0.5, 540, 960},
    {"xxxhdpi", 1.3, 1440, 2560},
};

constexpr int kBig = 220;
constexpr int kSmall = 140;

ModuleDoc CallDoc(ValueTable& v) {
    ModuleDoc doc;
    doc.name = "通话";
    doc.version = "1.0";
    doc.categories = "壁纸|按钮";
    doc.groups.push_back(
        {"answer", "answer", "incoming_answer|incoming_answer_pressed", "接听|接听（按下）"});
    doc.groups.push_back(
        {"hangup", "hangup", "incoming_hangup|incoming_hangup_pressed", "挂断|挂断（按下）"});
    Screen screen;
    screen.desc = "来电界面";
    Element wallpaper =
        ImageElement(v, "icon", "custom_wallpaper", "wallpaper", {0, 0, 1080, 1920}, "壁纸");
    wallpaper.desc = "来电壁纸（1080×1920）";
    screen.elements.push_back(wallpaper);  // 0
    // The caller: a picture, a name and a number as the phone shows them.
    Element photo =
        ImageElement(v, "icon", "caller_photo", "caller_photo", {380, 330, 320, 320}, "来电信息");
    photo.readonly = true;
    screen.elements.push_back(photo);  // 1
    Element name =
        TextElement(v, "小林", "incoming_name_color", "caller_name_x", "caller_name_y",
                    "caller_name_size", CentredTextLeft("小林", 72, 0, 1080), 700, 72, "来电信息");
    name.readonly = true;
    screen.elements.push_back(name);  // 2
    const char* number = "138 0000 1234";
    Element phone = TextElement(v, number, "incoming_number_color", "caller_number_x",
                                "caller_number_y", "caller_number_size",
                                CentredTextLeft(number, 40, 0, 1080), 804, 40, "来电信息");
    phone.readonly = true;
    screen.elements.push_back(phone);  // 3
    Element answer =
        ImageElement(v, "icongroup", "@answer", "incoming_answer", {685, 1560, kBig, kBig}, "按钮");
    answer.index = 0;
    screen.elements.push_back(answer);  // 4
    Element hangup =
        ImageElement(v, "icongroup", "@hangup", "incoming_hangup", {175, 1560, kBig, kBig}, "按钮");
    hangup.index = 0;
    screen.elements.push_back(hangup);  // 5
    Element reminder = ImageElement(v, "icon", "incoming_reminder", "incoming_reminder",
                                    {215, 1280, kSmall, kSmall}, "按钮");
    reminder.desc = "稍后提醒";
    screen.elements.push_back(reminder);  // 6
    Element sms = ImageElement(v, "icon", "incoming_sms", "incoming_sms",
                               {725, 1280, kSmall, kSmall}, "按钮");
    sms.desc = "短信回复";
    screen.elements.push_back(sms);  // 7
    const char* hints[][2] = {{"reminder", "稍后提醒"}, {"sms", "短信回复"}};
    const int hintCentres[] = {285, 795};
    for (int i = 0; i < 2; ++i) {
        std::string key = std::string("hint_") + hints[i][0];
        Element hint = TextElement(
            v, hints[i][1], "incoming_hint_color", key + "_x", key + "_y", "hint_size",
            CentredTextLeft(hints[i][1], 30, hintCentres[i] - 100, 200), 1436, 30, "来电信息");
        hint.readonly = true;
        screen.elements.push_back(hint);
    }
    doc.screens.push_back(screen);
    return doc;
}

std::string Layout(const ValueTable& v, const Density& d) {
    auto s = [&](const std::string& name) {
        return std::to_string(Scale(v.GetInt(name), d.factor));
    };
    XmlText xml;
    xml.Open("Root", {{"screenWidth", std::to_string(d.width)},
                      {"screenHeight", std::to_string(d.height)}});
    xml.Leaf("Image", {{"name", "wallpaper"},
                       {"src", "custom_wallpaper.png"},
                       {"x", "0"},
                       {"y", "0"},
                       {"w", std::to_string(d.width)},
                       {"h", std::to_string(d.height)}});
    auto button = [&](const char* tag, const std::string& key, const char* src,
                      const char* pressed) {
        std::vector<Attribute> attributes = {{"x", s(key + "_x")},
                                             {"y", s(key + "_y")},
                                             {"w", s(key + "_w")},
                                             {"h", s(key + "_h")},
                                             {"src", src}};
        if (pressed[0] != '\0') {
            attributes.push_back({"pressed", pressed});
        }
        xml.Leaf(tag, attributes);
    };
    button("ButtonReminder", "incoming_reminder", "incoming_reminder.png", "");
    button("ButtonSms", "incoming_sms", "incoming_sms.png", "");
    button("ButtonHangup", "incoming_hangup", "incoming_hangup.png", "incoming_hangup_pressed.png");
    button("ButtonAnswer", "incoming_answer", "incoming_answer.png", "incoming_answer_pressed.png");
    xml.Close("Root");
    return xml.str();
}

void CallButton(const std::string& path, std::uint32_t top, std::uint32_t bottom, bool pressed,
                double angle) {
    Surface s(kBig, kBig);
    cairo_t* cr = s.cr();
    const double c = kBig / 2.0;
    if (pressed) {
        Glow(cr, c, c, 110, WithAlpha(Hex(top), 0.6));
    } else {
        Surface shadow(kBig, kBig);
        cairo_arc(shadow.cr(), c, c + 8, 84, 0, 2 * M_PI);
        SetColor(shadow.cr(), Hex(0x000000, 0.55));
        cairo_fill(shadow.cr());
        Blur(shadow, 8);
        Composite(s, shadow, 0, 0);
    }
    Pattern disc =
        Linear(0, c - 86, 0, c + 86,
               {{0, pressed ? Mix(Hex(top), Hex(0xFFFFFF), 0.25) : Hex(top)}, {1, Hex(bottom)}});
    cairo_arc(cr, c, c, 86, 0, 2 * M_PI);
    cairo_set_source(cr, disc.get());
    cairo_fill(cr);
    Surface glyph(kBig, kBig);
    cairo_t* g = glyph.cr();
    cairo_translate(g, c, c);
    cairo_rotate(g, angle);
    cairo_translate(g, -48, -48);
    cairo_scale(g, 0.96, 0.96);
    SetColor(g, Hex(0xFFFFFF));
    GlyphNamed("phone")(g);
    Composite(s, glyph, 0, 0);
    s.WritePng(path);
}

void SmallButton(const std::string& path, const char* glyph) {
    Surface s(kSmall, kSmall);
    cairo_t* cr = s.cr();
    const double c = kSmall / 2.0;
    cairo_arc(cr, c, c, 64, 0, 2 * M_PI);
    SetColor(cr, Hex(0xFFFFFF, 0.16));
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0xFFFFFF, 0.45));
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    PaintGlyph(s, GlyphNamed(glyph), c - 34, c - 34, 68, Hex(0xFFFFFF, 0.95));
    s.WritePng(path);
}

void CallerPhoto(const std::string& path) {
    Surface s(320, 320);
    cairo_t* cr = s.cr();
    Glow(cr, 160, 160, 160, Hex(0xFFD6A4, 0.3));
    cairo_arc(cr, 160, 160, 132, 0, 2 * M_PI);
    Pattern fill = Linear(0, 28, 0, 292, {{0, Hex(0xFFC78E)}, {1, Hex(0xE87A8C)}});
    cairo_set_source(cr, fill.get());
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0xFFFFFF, 0.8));
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_arc(cr, 160, 160, 129, 0, 2 * M_PI);
    cairo_clip(cr);
    PaintGlyph(s, GlyphNamed("contacts"), 60, 70, 200, Hex(0xFFFFFF, 0.92));
    cairo_restore(cr);
    s.WritePng(path);
}

}  // namespace

void WriteScreencall(const std::string& root) {
    std::string module = root + "/screencall";
    MakeFolders(module);
    ValueTable values;
    ModuleDoc doc = CallDoc(values);
    WriteFile(module + "/template.xml", TemplateXml(doc));
    ValuesDoc valuesDoc("dimen");
    valuesDoc.Comment("来电界面各元素的位置与大小（xxhdpi 像素）");
    valuesDoc.AddAll(values);
    WriteFile(module + "/template_values.xml", valuesDoc.str());
    for (const Density& density : kDensities) {
        std::string folder = module + "/content/res/" + density.folder;
        MakeFolders(folder);
        WriteFile(folder + "/lockscreen.xml", Layout(values, density));
    }
    std::string valuesFolder = module + "/content/res/values";
    MakeFolders(valuesFolder);
    ValuesDoc colors("color");
    colors.Comment("来电人信息的文字颜色（预览）");
    colors.Add("incoming_name_color", "#FFFFFFFF");
    colors.Add("incoming_number_color", "#CCFFFFFF");
    colors.Add("incoming_hint_color", "#B3FFFFFF");
    WriteFile(valuesFolder + "/colors.xml", colors.str());

    std::string xx = module + "/content/res/drawable-xxhdpi";
    MakeFolders(xx);
    {
        Surface wallpaper(1080, 1920);
        PaintCallBackdrop(wallpaper);
        wallpaper.WriteOpaquePng(xx + "/custom_wallpaper.png");
    }
    CallButton(xx + "/incoming_answer.png", 0x6FE39A, 0x25B061, false, 0);
    CallButton(xx + "/incoming_answer_pressed.png", 0x6FE39A, 0x25B061, true, 0);
    CallButton(xx + "/incoming_hangup.png", 0xFF8A8A, 0xE2434F, false, 3 * M_PI / 4);
    CallButton(xx + "/incoming_hangup_pressed.png", 0xFF8A8A, 0xE2434F, true, 3 * M_PI / 4);
    SmallButton(xx + "/incoming_reminder.png", "alarm");
    SmallButton(xx + "/incoming_sms.png", "bubble");
    CallerPhoto(xx + "/caller_photo.png");
}

}  // namespace sw::template_gen
