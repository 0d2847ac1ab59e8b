#include "host/json_text.h"

#include <json/reader.h>
#include <json/writer.h>

#include <exception>
#include <memory>

namespace sw::host {

bool ParseJson(const std::string& text, Json::Value& value) {
    try {
        Json::CharReaderBuilder builder;
        std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        Json::Value parsed;
        std::string errors;
        if (!reader->parse(text.data(), text.data() + text.size(), &parsed, &errors)) {
            return false;
        }
        value = std::move(parsed);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::string CompactJson(const Json::Value& value) {
    try {
        Json::StreamWriterBuilder builder;
        builder["indentation"] = "";
        builder["emitUTF8"] = true;
        return Json::writeString(builder, value);
    } catch (const std::exception&) {
        return "null";
    }
}

std::string StyledJson(const Json::Value& value) {
    try {
        Json::StyledWriter writer;
        return writer.write(value);
    } catch (const std::exception&) {
        return "null\n";
    }
}

}  // namespace sw::host
