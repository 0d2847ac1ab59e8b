#include "engine/values.h"

#include <gtest/gtest.h>

#include "engine/engine_fixture.h"

namespace sw {
namespace {

using test::WriteText;

class ValuesTest : public ::testing::Test {
  protected:
    ValuesTest() : log_(folder_.path()) {
        WriteText(folder_ / "template_values.xml",
                  "<values><item name=\"left\">1px</item><item name=\"only_here\">2px</item>"
                  "<item name=\"empty\" /></values>");
        WriteText(folder_ / "content/res/values/dimens.xml",
                  "<resources><dimen name=\"left\">3px</dimen><dimen>no name</dimen>"
                  "<dimen name=\"twice\">4px</dimen></resources>");
        // Folder order ignores case: Alpha.xml comes before dimens.xml.
        WriteText(folder_ / "content/res/values/Alpha.xml",
                  "<resources><dimen name=\"twice\">5px</dimen><!-- c --></resources>");
        WriteText(folder_ / "content/res/values/zeta.xml",
                  "<resources><color name=\"twice\">6px</color><color name=\"commented\">"
                  "<!-- a comment -->#FF000000</color></resources>");
    }

    bool Load() { return LoadValues(context_, folder_.path()); }
    std::string Lookup(const std::string& name) {
        std::string text = "unset";
        found_ = LookupValue(context_, name, text);
        return text;
    }

    test::TempFolder folder_;
    test::LogCapture log_;
    ModuleContext context_;
    bool found_ = false;
};

TEST_F(ValuesTest, ValuesDocumentsComeBeforeTheFallbackInFolderOrder) {
    ASSERT_TRUE(Load());
    ASSERT_EQ(context_.values_documents.size(), 3u);
    EXPECT_EQ(Lookup("left"), "3px");
    EXPECT_EQ(Lookup("only_here"), "2px");
    EXPECT_EQ(Lookup("twice"), "5px");
    EXPECT_EQ(Lookup("empty"), "");
    EXPECT_TRUE(found_);
    Lookup("LEFT");  // names are compared byte for byte
    EXPECT_FALSE(found_);
    Lookup("");
    EXPECT_FALSE(found_);
}

TEST_F(ValuesTest, SetValueChangesOnlyTheFirstValuesDocumentMatch) {
    ASSERT_TRUE(Load());
    EXPECT_TRUE(SetValue(context_, "twice", "#FF112233"));
    EXPECT_EQ(Lookup("twice"), "#FF112233");
    const TiXmlElement* zeta = context_.values_documents[2]->RootElement()->FirstChildElement();
    EXPECT_STREQ(zeta->GetText(), "6px");

    // The fallback document is never written to: the name stays unknown to
    // the values documents and the fallback keeps its text.
    EXPECT_TRUE(SetValue(context_, "only_here", "9px"));
    EXPECT_EQ(Lookup("only_here"), "2px");

    // A value whose first child is no text gets a text in front.
    EXPECT_EQ(Lookup("commented"), "");
    EXPECT_TRUE(SetValue(context_, "commented", "#FF00FF00"));
    EXPECT_EQ(Lookup("commented"), "#FF00FF00");
}

TEST_F(ValuesTest, SetValueGivesTextToAnEmptyValue) {
    WriteText(folder_ / "content/res/values/zz.xml",
              "<resources><dimen name=\"blank\" /></resources>");
    ASSERT_TRUE(Load());
    EXPECT_EQ(Lookup("blank"), "");
    EXPECT_TRUE(SetValue(context_, "blank", "7px"));
    EXPECT_EQ(Lookup("blank"), "7px");
}

}  // namespace
}  // namespace sw
