#include "engine/xml_nesting.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "core/files.h"
#include "engine/engine_fixture.h"
#include "engine/values.h"
#include "engine/xml_file.h"

namespace sw {
namespace {

std::string Repeat(const std::string& text, std::size_t times) {
    std::string all;
    for (std::size_t i = 0; i < times; ++i) {
        all += text;
    }
    return all;
}

// depth elements, each inside the one before.
std::string Nested(std::size_t depth) {
    return Repeat("<a>", depth) + Repeat("</a>", depth);
}

// How deep the parser went: the elements it read stay in the document, also
// when it stopped at an error.
std::size_t ParsedDepth(const TiXmlNode* node) {
    std::size_t deepest = 0;
    for (const TiXmlNode* child = node->FirstChild(); child != nullptr;
         child = child->NextSibling()) {
        deepest = std::max(deepest, ParsedDepth(child));
    }
    return deepest + (node->ToElement() != nullptr ? 1 : 0);
}

// The scan follows the parser's own reading: what it skips (comments,
// CDATA, declarations, quoted values, the bytes a UTF-8 lead byte claims)
// neither opens nor closes an element, and whatever it would read past the
// end of the text is refused.
TEST(XmlNestingTest, CountsElementsAsTheParserReadsThem) {
    const std::string utf8 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    const std::string latin = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>";
    const struct {
        const char* name;
        std::string text;
        std::size_t limit;
        XmlNesting expected;
    } cases[] = {
        {"one below the limit", Nested(kMaxXmlNesting - 1), kMaxXmlNesting, XmlNesting::kFits},
        {"at the limit", Nested(kMaxXmlNesting), kMaxXmlNesting, XmlNesting::kFits},
        {"one above the limit", Nested(kMaxXmlNesting + 1), kMaxXmlNesting, XmlNesting::kTooDeep},
        {"above the limit with no end tags", Repeat("<a>", 100000), kMaxXmlNesting,
         XmlNesting::kTooDeep},
        {"empty elements do not nest", "<r>" + Repeat("<a/><b x='1' />", 50) + "</r>", 2,
         XmlNesting::kFits},
        {"siblings do not nest", "<r>" + Repeat("<a>t</a>", 50) + "</r>", 2, XmlNesting::kFits},
        {"tags inside a comment", "<r><!-- <a><a><a> --></r>", 1, XmlNesting::kFits},
        {"tags inside CDATA", "<r><![CDATA[<a><a><a>]]></r>", 1, XmlNesting::kFits},
        {"tags inside quoted values", "<r x=\"<a><a>\" y='<b><b>'><c/></r>", 2, XmlNesting::kFits},
        {"a processing instruction ends at its first '>'", "<r><?pi <a><a><a> ?>", 2,
         XmlNesting::kTooDeep},
        {"an end tag inside a comment closes nothing",
         "<r>" + Repeat("<a><!--</a>-->", 3) + Repeat("</a>", 3) + "</r>", 3, XmlNesting::kTooDeep},
        {"a UTF-8 lead byte swallows an end tag", utf8 + "<r>" + Repeat("\xe0</r><r>", 3), 3,
         XmlNesting::kTooDeep},
        {"the same bytes as single bytes", latin + "<r>" + Repeat("\xe0</r><r>", 3), 3,
         XmlNesting::kFits},
        {"a byte-order mark means UTF-8", "\xef\xbb\xbf<r>" + Repeat("\xe0</r><r>", 3), 3,
         XmlNesting::kTooDeep},
        {"an end tag may hold blanks before its '>'",
         utf8 + "<r><a>t</a\n >" + Repeat("<b>", 3) + "</r>", 3, XmlNesting::kTooDeep},
        {"a lead byte after an end tag with blanks", utf8 + "<r><a>t</a\n>\xf1\x01", 5,
         XmlNesting::kUnterminated},
        {"a UTF-8 lead byte does not swallow a comment's end", utf8 + "<r><!--\xe7--><a><a><a>", 3,
         XmlNesting::kTooDeep},
        {"an unfinished start tag at the end is a level too", Repeat("<d>", 2) + "<d", 2,
         XmlNesting::kTooDeep},
        {"a start tag broken by its attributes is a level too",
         Repeat("<d>", 2) + "<d x>" + Repeat("<d>", 5), 2, XmlNesting::kTooDeep},
        {"a wrong end tag ends the parse", "<r></x>" + Nested(10), 2, XmlNesting::kFits},
        {"an open comment at the end", "<r/><!-- open", 5, XmlNesting::kUnterminated},
        {"an open CDATA section at the end", "<r><![CDATA[open", 5, XmlNesting::kUnterminated},
        {"an open quoted value at the end", "<r a=\"open", 5, XmlNesting::kUnterminated},
        {"a UTF-8 lead byte at the end", utf8 + "<r>\xe4", 5, XmlNesting::kUnterminated},
        {"text after a zero byte is not read", std::string("<r>\0<a><a>", 10), 1,
         XmlNesting::kFits},
        {"empty text", "", 1, XmlNesting::kFits},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckXmlNesting(c.text, c.limit), c.expected) << c.name;
        // The parser itself agrees, where it can be given the text safely.
        if (c.expected != XmlNesting::kUnterminated && c.text.size() < 10000) {
            TiXmlDocument document;
            document.Parse(NormalizeXmlText(c.text).c_str());
            EXPECT_EQ(ParsedDepth(&document) > c.limit, c.expected == XmlNesting::kTooDeep)
                << c.name;
        }
    }
}

TEST(XmlNestingTest, NormalizedLikeTheParsersFileReader) {
    EXPECT_EQ(NormalizeXmlText(std::string("a\r\nb\rc\n\r\nd\0e", 11)), "a\nb\nc\n\nd");
}

// Every XML file of the shipped template is read as before.
TEST(XmlNestingTest, EveryTemplateFileFits) {
    int seen = 0;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(SKINWRIGHT_SOURCE_DIR "/template")) {
        if (entry.path().extension() != ".xml") {
            continue;
        }
        std::string bytes;
        ASSERT_TRUE(ReadFileText(entry.path().string(), bytes));
        EXPECT_EQ(CheckXmlNesting(NormalizeXmlText(bytes)), XmlNesting::kFits) << entry.path();
        ++seen;
    }
    EXPECT_GT(seen, 0);
}

// A values file nested 200,000 deep used to overflow the parser's stack
// and end the program; it is now refused before the parser sees it, and
// the module's values reader answers failure for it.
class XmlFileLimitsTest : public ::testing::Test {
  protected:
    XmlFileLimitsTest() : log_(folder_.path()) {}
    test::TempFolder folder_;
    test::LogCapture log_;
};

TEST_F(XmlFileLimitsTest, RefusedFilesNeverReachTheParser) {
    const struct {
        const char* name;
        std::string text;
        const char* logged;
    } cases[] = {
        {"deep", "<resources>" + Nested(200000) + "</resources>", "deeper than 256 levels"},
        {"open comment", "<resources/><!-- ", "ends inside a comment"},
        {"large", "<resources>" + std::string(kMaxXmlFileBytes, ' ') + "</resources>",
         "is larger than"},
    };
    for (const auto& c : cases) {
        log_.Clear();
        const std::string path = folder_ / "values.xml";
        test::WriteText(path, c.text);
        TiXmlDocument document;
        EXPECT_FALSE(LoadXmlFile(document, path)) << c.name;
        EXPECT_EQ(document.RootElement(), nullptr) << c.name;
        bool logged = false;
        for (const std::string& line : log_.Lines()) {
            logged =
                logged || (line.rfind("ERROR", 0) == 0 && line.find(c.logged) != std::string::npos);
        }
        EXPECT_TRUE(logged) << c.name;
    }
}

TEST_F(XmlFileLimitsTest, ADeepValuesDocumentFailsTheValuesReader) {
    test::WriteText(folder_ / "template_values.xml", "<values>" + Nested(200000) + "</values>");
    ModuleContext context;
    EXPECT_FALSE(LoadValues(context, folder_.path()));
    EXPECT_TRUE(log_.HasSequence({"ERROR\tcan not parse template parameter file"}));
}

TEST_F(XmlFileLimitsTest, AFileThatFitsStillLoadsAndRemembersItsPath) {
    const std::string path = folder_ / "values.xml";
    test::WriteText(path, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<resources>" +
                              Nested(kMaxXmlNesting - 1) + "</resources>");
    TiXmlDocument document;
    ASSERT_TRUE(LoadXmlFile(document, path));
    ASSERT_NE(document.RootElement(), nullptr);
    EXPECT_EQ(document.RootElement()->ValueStr(), "resources");
    EXPECT_EQ(document.ValueStr(), path);
}

}  // namespace
}  // namespace sw
