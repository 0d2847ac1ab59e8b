// The JSON files the program writes: the project file and the theme
// description files. They keep JsonCpp's styled layout (three-blank indent,
// members in key order, " : " between name and value, a line end at the end),
// and their texts are written byte for byte, as the template's own files and
// the phone's theme reader have them: a Chinese theme name stays readable
// Chinese, not \u escapes.
#pragma once

#include <json/value.h>

#include <string>

namespace sw {

// Parses a JSON file's text with JsonCpp's reader (comments allowed, kept
// with the values when keepComments). False, value undefined, when the text
// does not parse; also for an array or object nested deeper than the
// reader's limit, which it reports by throwing.
bool ParseJsonFileText(const std::string& text, Json::Value& value, bool keepComments = true);

// The value as a JSON file holds it; "null\n" when JsonCpp refuses it.
std::string JsonFileText(const Json::Value& value);

// Writes JsonFileText(value) to path through WriteFileAtomic. False, logged,
// when the file cannot be written.
bool WriteJsonFile(const std::string& path, const Json::Value& value);

}  // namespace sw
