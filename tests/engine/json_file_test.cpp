#include "engine/json_file.h"

#include <gtest/gtest.h>
#include <json/reader.h>
#include <json/writer.h>

#include <string>

#include "engine/engine_fixture.h"

namespace sw {
namespace {

Json::Value Parse(const std::string& text) {
    Json::Value value;
    Json::Reader reader;
    EXPECT_TRUE(reader.parse(text, value, true)) << text;
    return value;
}

// Texts in ASCII come out exactly as the styled writer lays them out, which
// the files have always had.
TEST(JsonFileTextTest, KeepsTheStyledLayout) {
    const char* const documents[] = {
        "{\"name\":\"demo\",\"dpi\":\"xxhdpi\",\"density\":320}",
        "{\"resource_category\":\"launcher\",\"resource_id\":1000123,\"kept\":null,"
        "\"ratio\":0.5,\"flag\":true}",
        "{\"short\":[1,2,3],\"long\":[\"aaaaaaaaaa\",\"bbbbbbbbbb\",\"cccccccccc\","
        "\"dddddddddd\",\"eeeeeeeeee\",\"ffffffffff\",\"gggggggggg\"],"
        "\"nested\":[{\"a\":1},{}],\"empty\":[],\"none\":{}}",
        "// a comment before\n{\"a\" : 1 // after a\n}",
        "[\"quote \\\" and back\\\\slash\",\"tab\\t\"]",
        "null",
        "7",
    };
    for (const char* document : documents) {
        const Json::Value value = Parse(document);
        Json::StyledWriter styled;
        EXPECT_EQ(JsonFileText(value), styled.write(value)) << document;
    }
}

TEST(JsonFileTextTest, WritesTextsByteForByte) {
    Json::Value value(Json::objectValue);
    value["resource_name"] = "晨光（新）😀";
    value["control"] = "line\nend\x01 \\u00e9";
    value["list"].append("é");
    value["list"].append("\"");
    value.setComment(std::string("// comment \\u00e9 \"quoted\""), Json::commentBefore);
    EXPECT_EQ(JsonFileText(value),
              "\n// comment \\u00e9 \"quoted\"\n{\n"
              "   \"control\" : \"line\\nend\\u0001 \\\\u00e9\",\n"
              "   \"list\" : [ \"é\", \"\\\"\" ],\n"
              "   \"resource_name\" : \"晨光（新）😀\"\n}\n");
    EXPECT_EQ(Parse(JsonFileText(value)), value);
}

TEST(JsonFileTest, WritesAndReportsFailure) {
    test::TempFolder dir;
    Json::Value value(Json::objectValue);
    value["name"] = "主题";
    ASSERT_TRUE(WriteJsonFile(dir / "meta.json", value));
    EXPECT_EQ(test::ReadText(dir / "meta.json"), "{\n   \"name\" : \"主题\"\n}\n");
    EXPECT_FALSE(WriteJsonFile(dir / "missing/meta.json", value));
}

// The reader throws for nesting past its limit; the parse answers false
// instead, and still reads what it always read.
TEST(JsonFileTest, ParsesOrAnswersFalse) {
    const struct {
        const char* name;
        std::string text;
        bool parses;
    } cases[] = {
        {"object with a comment", "{ // note\n \"a\" : [1, {\"b\": null}] }", true},
        {"broken", "{ \"a\" : ", false},
        {"arrays past the limit", std::string(5000, '['), false},
        {"objects past the limit",
         [] {
             std::string text;
             for (int i = 0; i < 5000; ++i) {
                 text += "{\"a\":";
             }
             return text;
         }(),
         false},
    };
    for (const auto& c : cases) {
        Json::Value value;
        EXPECT_EQ(ParseJsonFileText(c.text, value), c.parses) << c.name;
    }
    Json::Value value;
    ASSERT_TRUE(ParseJsonFileText("{\"a\": [1, 2]}", value));
    EXPECT_EQ(value["a"][1].asInt(), 2);
}

}  // namespace
}  // namespace sw
