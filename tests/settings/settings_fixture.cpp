#include "settings/settings_fixture.h"

#include <json/reader.h>
#include <json/writer.h>

#include <algorithm>
#include <sstream>

#include "core/log.h"
#include "core/paths.h"

namespace sw::test {

void SettingsTest::SetUp() {
    ASSERT_FALSE(data_.path().empty());
    ASSERT_FALSE(home_.path().empty());
    ASSERT_FALSE(work_.path().empty());
    SetDataFolder(data_.path());
    SetHomeFolder(home_.path());
    SetLogFilePath(home_ / "runtime.log");
}

void SettingsTest::TearDown() {
    SetLogFilePath("");
    SetHomeFolder("");
    SetDataFolder("");
}

std::vector<std::string> SettingsTest::LogLines() const {
    std::vector<std::string> lines;
    std::istringstream text(ReadText(home_ / "runtime.log"));
    for (std::string line; std::getline(text, line);) {
        // "YYYY-MM-DD hh:mm:ss" and a tab come first.
        lines.push_back(line.size() > 20 ? line.substr(20) : line);
    }
    return lines;
}

bool SettingsTest::LoggedError(const std::string& message) const {
    std::vector<std::string> lines = LogLines();
    return std::find(lines.begin(), lines.end(), "ERROR\t" + message) != lines.end();
}

Json::Value ReadJson(const std::string& path) {
    Json::Value document;
    Json::Reader reader;
    if (!reader.parse(ReadText(path), document)) {
        return Json::Value();
    }
    return document;
}

void WriteJson(const std::string& path, const Json::Value& document) {
    Json::StyledWriter writer;
    WriteText(path, writer.write(document));
}

}  // namespace sw::test
