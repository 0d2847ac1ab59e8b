#include "check/finding.h"

#include <algorithm>

namespace sw::check {

const char* LevelName(Level level) {
    return level == Level::kError ? "ERROR" : "WARN";
}

std::string FindingLine(const Finding& finding) {
    std::string line = LevelName(finding.level);
    line += ' ';
    line += finding.module.empty() ? "-" : finding.module;
    line += ' ';
    line += finding.file;
    line += ": ";
    line += finding.message;
    return line;
}

Json::Value FindingsToJson(const Findings& findings) {
    Json::Value list(Json::arrayValue);
    for (const Finding& finding : findings) {
        Json::Value item(Json::objectValue);
        item["level"] = LevelName(finding.level);
        item["module"] = finding.module;
        item["file"] = finding.file;
        item["message"] = finding.message;
        if (finding.element_id >= 0) {
            item["page"] = finding.page;
            item["screen"] = finding.screen_id;
            item["element"] = finding.element_id;
        }
        list.append(item);
    }
    return list;
}

bool HasErrors(const Findings& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& f) { return f.level == Level::kError; });
}

Findings ErrorsOf(const Findings& findings) {
    Findings errors;
    std::copy_if(findings.begin(), findings.end(), std::back_inserter(errors),
                 [](const Finding& f) { return f.level == Level::kError; });
    return errors;
}

}  // namespace sw::check
