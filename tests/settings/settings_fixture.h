// A test with its own data folder (where the program finds template/), home
// folder (runtime.log, themetool/, tmp/) and work folder, and readers for the
// log and for JSON files.
#pragma once

#include <gtest/gtest.h>
#include <json/value.h>

#include <string>
#include <vector>

#include "core/temp_folder.h"

namespace sw::test {

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The log's lines as "LEVEL\tmessage", without time stamp and line end.
    std::vector<std::string> LogLines() const;
    // True when the log holds the ERROR line with this message.
    bool LoggedError(const std::string& message) const;

    TempFolder data_;
    TempFolder home_;
    TempFolder work_;
};

// The parsed file; null when it cannot be read or parsed.
Json::Value ReadJson(const std::string& path);
void WriteJson(const std::string& path, const Json::Value& document);

}  // namespace sw::test
