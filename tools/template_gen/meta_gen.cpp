// The theme's five description files and the small text helpers the module
// writers share.
#include <string>

#include "art.h"
#include "modules.h"

namespace sw::template_gen {

namespace {

// One description file in the layout the program writes them (members in
// name order, three blanks of indentation).
std::string MetaJson(const char* category, bool contents) {
    std::string text = "{\n";
    if (category[0] != '\0') {
        text += Format("   \"resource_category\" : \"%s\",\n", category);
    }
    if (contents) {
        text += "   \"resource_contents\" : [ \"launcher\", \"lockscreen\", \"callscreen\" ],\n";
    }
    text +=
        "   \"resource_description\" : "
        "\"以晨光下的原野为灵感的默认主题，含桌面、锁屏与来电界面。\",\n"
        "   \"resource_designer\" : \"Skinwright\",\n"
        "   \"resource_developer\" : \"Skinwright\",\n"
        "   \"resource_id\" : 0,\n"
        "   \"resource_name\" : \"晨光\",\n"
        "   \"resource_originate\" : \"原创\",\n"
        "   \"resource_version\" : 1,\n"
        "   \"resource_versionname\" : \"1.0\"\n"
        "}\n";
    return text;
}

}  // namespace

void WriteMetaFiles(const std::string& launcherFolder) {
    WriteFile(launcherFolder + "/meta.json", MetaJson("launcher", false));
    WriteFile(launcherFolder + "/meta2.json", MetaJson("themesuite", true));
    WriteFile(launcherFolder + "/meta3.json", MetaJson("lockscreen", false));
    WriteFile(launcherFolder + "/meta4.json", MetaJson("themesuite", false));
    WriteFile(launcherFolder + "/meta5.json", MetaJson("callscreen", false));
}

int CentredTextLeft(const std::string& text, int pixels, int left, int width) {
    double w = 0;
    double h = 0;
    MeasureText(text, kCjkFace, pixels, w, h);
    return left + static_cast<int>((width - w) / 2);
}

}  // namespace sw::template_gen
