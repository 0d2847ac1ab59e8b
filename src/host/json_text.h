// JSON texts: the compact messages of the page bridge and the styled texts
// handed to pages as results.
#pragma once

#include <json/value.h>

#include <string>

namespace sw::host {

// Parses text; false (value untouched) when it is not JSON.
bool ParseJson(const std::string& text, Json::Value& value);

// One line, no blanks, UTF-8 written as is.
std::string CompactJson(const Json::Value& value);

// JsonCpp's styled layout: one member per line, three-blank indent and a line
// end at the end ("null\n" for a null value).
std::string StyledJson(const Json::Value& value);

}  // namespace sw::host
