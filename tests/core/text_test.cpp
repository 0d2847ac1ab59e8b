#include "core/text.h"

#include <gtest/gtest.h>

#include "core/log.h"
#include "core/temp_folder.h"

namespace sw {
namespace {

using test::ReadText;
using test::TempFolder;

TEST(ParseColorTest, Table) {
    struct Case {
        std::string text;
        PackedColor value;
    } cases[] = {
        {"#80FF0000", 0x800000FF},
        {"00FF00", 0xFF00FF00},
        {"#FF112233", 0xFF332211},
        {"#ff112233", 0xFF332211},
        {"#112233", 0xFF332211},
        {"#abc", 0xFFBC0A00},
        {"", 0xFF000000},
        {"#", 0xFF000000},
        {"color #80FF0000", 0x800000FF},
        {"#1122334455", 0x11443322},
        {"#GG0000zz", 0x00000000},
        {"#8g0000a0", 0x08A00000},
        {"#a#112233", 0x0A332211},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseColor(c.text), c.value) << c.text;
    }
}

TEST(FormatColorTest, UpperCaseAlphaRedGreenBlue) {
    EXPECT_EQ(FormatColor(0x800000FF), "#80FF0000");
    EXPECT_EQ(FormatColor(0), "#00000000");
    EXPECT_EQ(FormatColor(ParseColor("#ff112233")), "#FF112233");
    EXPECT_EQ(RedOf(0x80332211), 0x11);
    EXPECT_EQ(GreenOf(0x80332211), 0x22);
    EXPECT_EQ(BlueOf(0x80332211), 0x33);
    EXPECT_EQ(AlphaOf(0x80332211), 0x80);
}

TEST(IsUtf8TextTest, Table) {
    struct Case {
        const char* name;
        std::string text;
        bool result;
    } cases[] = {
        {"empty", "", false},
        {"ascii", "plain ascii text", false},
        {"chinese utf8", "theme \xE4\xB8\xAD", true},
        {"chinese gbk", "theme \xD6\xD0", false},
        {"bom", "\xEF\xBB", true},
        {"bom only start", "\xEF\xBBz", true},
        {"two byte e acute", "caf\xC3\xA9", true},
        {"two byte low payload", "\xC4\x80", false},
        {"four byte", "\xF0\x9F\x98\x80", true},
        {"five byte form", "\xF8\x88\x80\x80\x80", true},
        {"six byte form", "\xFC\x84\x80\x80\x80\x80", true},
        {"truncated three byte", "ab\xE4\xB8", false},
        {"lone continuation", "a\x80\xE4\xB8\xAD", false},
        {"first sequence decides", "\xE4\xB8\xAD\xD6\xD0\xFF", true},
        {"invalid lead FE", "\xFE\x80\x80\x80\x80\x80", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsUtf8Text(c.text), c.result) << c.name;
    }
}

class CodePageTest : public ::testing::Test {
  protected:
    void TearDown() override { SetHostCodePage("UTF-8"); }
};

TEST_F(CodePageTest, Utf8HostKeepsTextAndDropsByteOrderMark) {
    EXPECT_EQ(HostCodePage(), "UTF-8");
    EXPECT_EQ(Utf8ToAnsi("\xE4\xB8\xAD\xE6\x96\x87"), "\xE4\xB8\xAD\xE6\x96\x87");
    EXPECT_EQ(Utf8ToAnsi("\xEF\xBB\xBFname"), "name");
    EXPECT_EQ(Utf8ToAnsi("plain"), "plain");
    EXPECT_EQ(Utf8ToAnsi(""), "");
    EXPECT_EQ(AnsiToUtf8("\xE4\xB8\xAD"), "\xE4\xB8\xAD");
    EXPECT_EQ(AnsiToUtf8("\xFF broken"), "\xFF broken");
}

// Texts that begin with the first byte of a byte-order mark but are no
// byte-order mark keep every character.
TEST_F(CodePageTest, OnlyAWholeByteOrderMarkIsDropped) {
    struct Case {
        const char* name;
        std::string text;
        std::string utf8Host;
        std::string cp936Host;
    } cases[] = {
        {"full-width parenthesis", "\xEF\xBC\x88\xE4\xB8\xAD)", "\xEF\xBC\x88\xE4\xB8\xAD)",
         "\xA3\xA8\xD6\xD0)"},
        {"full-width exclamation", "\xEF\xBC\x81!", "\xEF\xBC\x81!", "\xA3\xA1!"},
        {"full-width colon", "\xEF\xBC\x9A", "\xEF\xBC\x9A", "\xA3\xBA"},
        {"full-width digit", "\xEF\xBC\x91\xEF\xBC\x92", "\xEF\xBC\x91\xEF\xBC\x92",
         "\xA3\xB1\xA3\xB2"},
        {"byte-order mark", "\xEF\xBB\xBF\xEF\xBC\x81", "\xEF\xBC\x81", "\xA3\xA1"},
        {"byte-order mark only", "\xEF\xBB\xBF", "", ""},
    };
    for (const Case& c : cases) {
        SetHostCodePage("UTF-8");
        EXPECT_EQ(Utf8ToAnsi(c.text), c.utf8Host) << c.name;
        SetHostCodePage("CP936");
        EXPECT_EQ(Utf8ToAnsi(c.text), c.cp936Host) << c.name;
    }
}

TEST_F(CodePageTest, Cp936HostConvertsBothWays) {
    SetHostCodePage("CP936");
    EXPECT_EQ(HostCodePage(), "CP936");
    EXPECT_EQ(Utf8ToAnsi("\xE4\xB8\xAD\xE6\x96\x87"), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(AnsiToUtf8("\xD6\xD0\xCE\xC4 ok"), "\xE4\xB8\xAD\xE6\x96\x87 ok");
    // GBK text is not UTF-8 and is returned unchanged.
    EXPECT_EQ(Utf8ToAnsi("\xD6\xD0\xCE\xC4"), "\xD6\xD0\xCE\xC4");
    // A character the code page lacks becomes "?"; nothing is lost silently
    // around it.
    EXPECT_EQ(Utf8ToAnsi("a\xF0\x9F\x98\x80"
                         "b"),
              "a?b");
}

TEST_F(CodePageTest, UnknownCodePageIsRefused) {
    TempFolder dir;
    SetLogFilePath(dir / "log");
    SetHostCodePage("NO-SUCH-PAGE");
    EXPECT_EQ(HostCodePage(), "UTF-8");
    EXPECT_NE(ReadText(dir / "log").find("unknown code page NO-SUCH-PAGE"), std::string::npos);
    SetLogFilePath("");
}

TEST(SplitListTest, Table) {
    struct Case {
        std::string text;
        std::vector<std::string> items;
    } cases[] = {
        {"a||b|", {"a", "b"}},
        {"|a|", {"a"}},
        {"", {}},
        {"|||", {}},
        {"one", {"one"}},
        {"x y|中文|z", {"x y", "中文", "z"}},
        {std::string(kListItemCapacity, 'c') + "|d", {std::string(kListItemCapacity, 'c'), "d"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> list = {"stale"};
        EXPECT_TRUE(SplitList(c.text, list)) << c.text;
        EXPECT_EQ(list, c.items) << c.text;
    }
}

TEST(SplitListTest, ItemOverCapacityIsRefusedAndLogged) {
    TempFolder dir;
    SetLogFilePath(dir / "log");
    std::vector<std::string> list = {"stale"};
    EXPECT_FALSE(SplitList("a|" + std::string(kListItemCapacity + 1, 'c') + "|b", list));
    EXPECT_TRUE(list.empty());
    EXPECT_NE(ReadText(dir / "log").find("\tERROR\tlist item of 1024 bytes"), std::string::npos);
    SetLogFilePath("");
}

TEST(FormatStringTest, PrintfRulesAndCapacity) {
    EXPECT_EQ(FormatString("%s/%s/%03d", "a b", "中", 7), "a b/中/007");
    EXPECT_EQ(FormatString("%s", ""), "");
    std::string full(kFormatCapacity, 'x');
    EXPECT_EQ(FormatString("%s", full.c_str()).size(), kFormatCapacity);
    TempFolder dir;
    SetLogFilePath(dir / "log");
    EXPECT_EQ(FormatString("%s!", full.c_str()), "");
    EXPECT_NE(ReadText(dir / "log").find("\tERROR\tformatted text of 1048576 bytes"),
              std::string::npos);
    SetLogFilePath("");
}

TEST(RandomLettersTest, TenCapitalsSameWithinOneSecond) {
    std::string first, second;
    std::time_t before, after;
    do {
        before = std::time(nullptr);
        first = RandomLetters();
        second = RandomLetters();
        after = std::time(nullptr);
    } while (before != after);
    ASSERT_EQ(first.size(), 10u);
    for (char c : first) {
        EXPECT_TRUE(c >= 'A' && c <= 'Z') << c;
    }
    EXPECT_EQ(first, second);
}

TEST(TrimTest, Table) {
    struct Case {
        std::string text, trimmed;
    } cases[] = {
        {"  a b \t\r\n", "a b"}, {"", ""}, {" \t\n", ""}, {"x", "x"}, {"\n/中 文/\r", "/中 文/"}};
    for (const Case& c : cases) {
        EXPECT_EQ(Trim(c.text), c.trimmed) << c.text;
    }
}

}  // namespace
}  // namespace sw
