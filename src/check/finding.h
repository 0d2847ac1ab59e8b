// One thing the project check found: how bad it is, where it is, and what
// the designer should know about it.
#pragma once

#include <json/value.h>

#include <string>
#include <vector>

namespace sw::check {

enum class Level {
    kError,  // the theme breaks on the phone: packing stops for it
    kWarn,   // the theme works but looks wrong
};

struct Finding {
    Level level = Level::kError;
    std::string module;   // the module's folder name ("launcher"), "" for the project file
    std::string file;     // relative to the module folder ("content/res/drawable-xxhdpi/a.png")
    std::string message;  // for the designer, UTF-8
    // The element the finding is about, when it is about one: the module's
    // page name ("桌面", UTF-8) and the element's screen and number.
    std::string page;
    int screen_id = -1;
    int element_id = -1;
};

using Findings = std::vector<Finding>;

// "ERROR" or "WARN".
const char* LevelName(Level level);

// "ERROR launcher content/res/drawable-xxhdpi/a.png: message".
std::string FindingLine(const Finding& finding);

// The findings as an array of objects with level, module, file and message,
// and for findings about an element also page, screen and element.
Json::Value FindingsToJson(const Findings& findings);

bool HasErrors(const Findings& findings);

// Only the ERROR findings, in their order.
Findings ErrorsOf(const Findings& findings);

}  // namespace sw::check
