// Values files and layout documents: the check every editor runs before it
// touches a file, with its log lines, and what reads and writes keep.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/layout_file.h"
#include "settings/settings_fixture.h"
#include "settings/values_file.h"

namespace sw::settings {
namespace {

using test::ReadText;
using test::WriteText;

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n";

class ValuesFileTest : public test::SettingsTest {
  protected:
    std::string Write(const std::string& text) {
        const std::string path = work_ / "dimens.xml";
        WriteText(path, text);
        return path;
    }
    // The log's ERROR lines, without the level.
    std::vector<std::string> Errors() const {
        std::vector<std::string> errors;
        for (const std::string& line : LogLines()) {
            if (line.rfind("ERROR\t", 0) == 0) {
                errors.push_back(line.substr(6));
            }
        }
        return errors;
    }
};

TEST_F(ValuesFileTest, AReadFindsTheLaterEntryOfItsKindOnly) {
    const std::string path = Write(std::string(kDeclaration) +
                                   "<resources>\n"
                                   "    <dimen name=\"a\">1px</dimen>\n"
                                   "    <integer name=\"b\">7</integer>\n"
                                   "    <dimen>9px</dimen>\n"
                                   "    <dimen name=\"empty\" />\n"
                                   "    <dimen name=\"a\">2px</dimen>\n"
                                   "</resources>\n");
    const ValueTexts found = ReadValues(path, "dimens.xml", kDimenEntry, {"a", "b", "empty", ""});
    EXPECT_EQ(found, (ValueTexts{{"a", "2px"}, {"empty", ""}}));
    EXPECT_TRUE(Errors().empty());
}

// An entry saved empty once ("<dimen name=\"empty\" />") takes a value again.
TEST_F(ValuesFileTest, AWriteChangesEveryMatchAndKeepsEverythingElse) {
    const std::string path = Write(std::string("\xEF\xBB\xBF") + kDeclaration +
                                   "<resources>\n"
                                   "    <!-- sizes -->\n"
                                   "    <dimen name=\"a\">1px</dimen>\n"
                                   "    <integer name=\"a\">7</integer>\n"
                                   "    <dimen name=\"empty\" />\n"
                                   "    <dimen name=\"a\">2px</dimen>\n"
                                   "    <dimen name=\"other\">3px</dimen>\n"
                                   "</resources>\n");
    ValuesFile file;
    ASSERT_EQ(file.Open(path, "dimens.xml"), DocumentState::kReady);
    file.Write(kDimenEntry, {{"a", "5px"}, {"empty", "6px"}, {"other", "<&>"}});
    ASSERT_TRUE(file.Save());
    EXPECT_EQ(ReadText(path), std::string("\xEF\xBB\xBF") + kDeclaration +
                                  "<resources>\n"
                                  "    <!-- sizes -->\n"
                                  "    <dimen name=\"a\">5px</dimen>\n"
                                  "    <integer name=\"a\">7</integer>\n"
                                  "    <dimen name=\"empty\">6px</dimen>\n"
                                  "    <dimen name=\"a\">5px</dimen>\n"
                                  "    <dimen name=\"other\">&lt;&amp;&gt;</dimen>\n"
                                  "</resources>\n");
    EXPECT_EQ(TextOf(ReadValues(path, "dimens.xml", kDimenEntry, {"other"}), "other"), "<&>");
}

TEST_F(ValuesFileTest, AFileWithoutAByteOrderMarkGetsNone) {
    const std::string path = Write("<resources><dimen name=\"a\">1px</dimen></resources>");
    ValuesFile file;
    ASSERT_EQ(file.Open(path, "dimens.xml"), DocumentState::kReady);
    file.Write(kDimenEntry, {{"a", "2px"}});
    ASSERT_TRUE(file.Save());
    EXPECT_EQ(ReadText(path), "<resources>\n    <dimen name=\"a\">2px</dimen>\n</resources>\n");
}

// Each problem is logged with the display name, and a file that cannot be
// used is neither written nor made.
TEST_F(ValuesFileTest, ProblemsAreLoggedWithTheDisplayName) {
    struct Case {
        const char* what;
        const char* text;  // null: no file at all
        const char* display_name;
        DocumentState state;
        std::vector<std::string> errors;
    };
    const Case cases[] = {
        {"missing",
         nullptr,
         "dimens.xml",
         DocumentState::kMissing,
         {"can not parse dimens.xml file", "dimens.xml no root node."}},
        {"not XML",
         "<resources><dimen",
         "integers.xml",
         DocumentState::kDamaged,
         {"can not parse integers.xml file", "integers.xml no root node."}},
        {"no element",
         "<!-- nothing -->",
         "bools.xml",
         DocumentState::kDamaged,
         {"bools.xml no root node."}},
        {"wrong root",
         "<config><dimen name=\"a\">1px</dimen></config>",
         "dimens.xml",
         DocumentState::kWrongRoot,
         {"dimens.xml root node isn't <resources />"}},
        {"no entries",
         "<resources><!-- none --></resources>",
         "template_values.xml",
         DocumentState::kEmpty,
         {"template_values.xml no child nodes for <resources />"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = work_ / "values.xml";
        std::filesystem::remove(path);
        if (c.text != nullptr) {
            WriteText(path, c.text);
        }
        test::WriteText(home_ / "runtime.log", "");
        ValuesFile file;
        EXPECT_EQ(file.Open(path, c.display_name), c.state);
        EXPECT_EQ(Errors(), c.errors);
        EXPECT_TRUE(file.Read(kDimenEntry, {"a"}).empty());
        file.Write(kDimenEntry, {{"a", "9px"}});
        EXPECT_EQ(file.Save(), c.state == DocumentState::kEmpty);
        if (c.text == nullptr) {
            EXPECT_FALSE(std::filesystem::exists(path));
        } else if (c.state != DocumentState::kEmpty) {
            EXPECT_EQ(ReadText(path), c.text);
        }
    }
}

TEST_F(ValuesFileTest, ALayoutIsCheckedForItsOwnRoot) {
    const std::string path = work_ / "lockscreen.xml";
    WriteText(path, "<resources><dimen name=\"a\">1px</dimen></resources>");
    LayoutFile layout;
    EXPECT_EQ(layout.Open(path, "weatherconfig.xml"), DocumentState::kWrongRoot);
    EXPECT_EQ(Errors(), std::vector<std::string>{"weatherconfig.xml root node isn't <Root />"});
}

TEST_F(ValuesFileTest, AttributesKeepTheirPlaceAndNewOnesComeLast) {
    const std::string path = work_ / "lockscreen.xml";
    WriteText(
        path,
        "<Root><TextBattery x=\"0\" y=\"5\" color=\"#FFFFFFFF\"><Deep x=\"1\" /></TextBattery>"
        "<Image name=\"colon\" x=\"1\" /></Root>");
    LayoutFile layout;
    ASSERT_EQ(layout.Open(path, "lockscreen.xml"), DocumentState::kReady);
    std::vector<std::string> visited;
    layout.Edit([&](TiXmlElement& element) {
        visited.push_back(element.ValueStr());
        if (IsElement(element, "TextBattery")) {
            SetIntAttribute(element, "x", -176);
            SetIntAttribute(element, "alignX", 1);
            SetTextAttribute(element, "src", "");
        }
        if (IsElement(element, "Image", "colon")) {
            SetIntAttribute(element, "w", 2147483647);
        }
    });
    EXPECT_EQ(visited, (std::vector<std::string>{"TextBattery", "Image"}));
    ASSERT_TRUE(layout.Save());
    EXPECT_EQ(ReadText(path),
              "<Root>\n"
              "    <TextBattery x=\"-176\" y=\"5\" color=\"#FFFFFFFF\" alignX=\"1\" src=\"\">\n"
              "        <Deep x=\"1\" />\n"
              "    </TextBattery>\n"
              "    <Image name=\"colon\" x=\"1\" w=\"2147483647\" />\n"
              "</Root>\n");
}

}  // namespace
}  // namespace sw::settings
