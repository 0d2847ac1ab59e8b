// The command tables: lookup without regard to case, argument conversion,
// result kinds, one-at-a-time order per window, duplicate names.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "harness.h"
#include "host/json_text.h"

namespace sw::host::test {
namespace {

// Records the order in which handlers run, and lets a test hold one.
struct Journal {
    std::mutex mutex;
    std::condition_variable released_cv;
    bool released = false;
    std::vector<std::string> entries;

    void Add(const std::string& entry) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            entries.push_back(entry);
        }
        released_cv.notify_all();
    }
};

CommandTables TestTables(Journal& journal) {
    CommandTables tables;
    tables.Add(
        WindowClass::kMain,
        {
            {"DrawThumbNail",
             {ArgKind::kText, ArgKind::kNumber, ArgKind::kNumber},
             ResultKind::kText,
             [](CommandCall& call) {
                 return CommandResult::Text(call.name() + ":" + call.text(0) + ":" +
                                            std::to_string(call.number(1)) + "x" +
                                            std::to_string(call.number(2)));
             }},
            {"Number",
             {ArgKind::kNumber},
             ResultKind::kText,
             [](CommandCall& call) { return CommandResult::Text(std::to_string(call.number(0))); }},
            {"Text", Texts(1), ResultKind::kText,
             [](CommandCall& call) { return CommandResult::Text(call.text(0)); }},
            {"Flag",
             {},
             ResultKind::kBoolean,
             [](CommandCall&) { return CommandResult::Boolean(true); }},
            {"Nothing", {}, ResultKind::kNone, [](CommandCall&) { return CommandResult::None(); }},
            {"Hold",
             {},
             ResultKind::kNone,
             [&journal](CommandCall&) {
                 journal.Add("hold starts");
                 std::unique_lock<std::mutex> lock(journal.mutex);
                 journal.released_cv.wait(lock, [&] { return journal.released; });
                 journal.entries.push_back("hold ends");
                 return CommandResult::None();
             }},
            {"Record",
             {ArgKind::kNumber},
             ResultKind::kNone,
             [&journal](CommandCall& call) {
                 journal.Add(std::to_string(call.number(0)));
                 return CommandResult::None();
             }},
            {"Fails",
             {},
             ResultKind::kNone,
             [](CommandCall&) -> CommandResult { throw std::runtime_error("broken"); }},
        });
    tables.Add(WindowClass::kStart, {{"Flag", {}, ResultKind::kBoolean, [](CommandCall&) {
                                          return CommandResult::Boolean(false);
                                      }}});
    return tables;
}

class CommandsTest : public ::testing::Test {
  protected:
    CommandsTest() : harness_(TestTables(journal_)) {}

    Journal journal_;
    HostHarness harness_;
};

TEST_F(CommandsTest, NamesAreMatchedWithoutRegardToCase) {
    PageClient page(harness_.port(), "main", harness_.cookie());
    for (const char* name : {"DrawThumbNail", "DrawThumbnail", "drawthumbnail", "DRAWTHUMBNAIL"}) {
        auto result = page.Call(name, Array({"桌面", 216, 384}));
        ASSERT_TRUE(result) << name;
        EXPECT_EQ((*result)["value"].asString(), "DrawThumbNail:桌面:216x384") << name;
    }
}

TEST_F(CommandsTest, UnknownNamesAndWrongArgumentCountsFailInThePageOnly) {
    PageClient page(harness_.port(), "main", harness_.cookie());
    auto unknown = page.Call("NoSuchCommand");
    ASSERT_TRUE(unknown);
    EXPECT_NE((*unknown)["error"].asString().find("NoSuchCommand"), std::string::npos);
    EXPECT_NE(harness_.log().find("unknown command NoSuchCommand"), std::string::npos);

    auto tooFew = page.Call("DrawThumbNail", Array({"桌面"}));
    ASSERT_TRUE(tooFew);
    EXPECT_NE((*tooFew)["error"].asString().find("DrawThumbNail takes 3 arguments"),
              std::string::npos);

    // A table belongs to its window: the start window has no DrawThumbNail.
    PageClient start(harness_.port(), "start", harness_.cookie());
    auto other = start.Call("DrawThumbNail", Array({"桌面", 1, 1}));
    ASSERT_TRUE(other);
    EXPECT_TRUE(other->isMember("error"));

    auto fails = page.Call("Fails");
    ASSERT_TRUE(fails);
    EXPECT_TRUE(fails->isMember("error"));
    EXPECT_NE(harness_.log().find("command Fails failed: broken"), std::string::npos);
}

TEST_F(CommandsTest, ArgumentsAreConvertedToTheirKinds) {
    PageClient page(harness_.port(), "main", harness_.cookie());
    const struct {
        Json::Value in;
        const char* expected;  // nullptr: refused
    } numbers[] = {
        {42, "42"},
        {"42", "42"},
        {" -7 ", "-7"},
        {3.5, "4"},
        {2.5, "2"},
        {-2.5, "-2"},
        {2.4999, "2"},
        {true, "1"},
        {false, "0"},
        {Json::Value(), "0"},
        {2147483647, "2147483647"},
        {"abc", nullptr},
        {"", nullptr},
        {1e12, nullptr},
        {Array({1}), nullptr},
        {"12px", nullptr},
    };
    for (const auto& c : numbers) {
        auto result = page.Call("Number", Array({c.in}));
        ASSERT_TRUE(result) << CompactJson(c.in);
        if (c.expected == nullptr) {
            EXPECT_NE((*result)["error"].asString().find("not a number"), std::string::npos)
                << CompactJson(c.in);
        } else {
            EXPECT_EQ((*result)["value"].asString(), c.expected) << CompactJson(c.in);
        }
    }
    const struct {
        Json::Value in;
        const char* expected;
    } texts[] = {
        {"文字 text", "文字 text"},
        {5, "5"},
        {1.25, "1.25"},
        {0.1, "0.1"},
        {-3, "-3"},
        {true, "true"},
        {Json::Value(), ""},
        {"", ""},
        {"a\"b'c\n", "a\"b'c\n"},
        {Json::Value(Json::objectValue), nullptr},
    };
    for (const auto& c : texts) {
        auto result = page.Call("Text", Array({c.in}));
        ASSERT_TRUE(result) << CompactJson(c.in);
        if (c.expected == nullptr) {
            EXPECT_NE((*result)["error"].asString().find("not a text"), std::string::npos);
        } else {
            EXPECT_EQ((*result)["value"].asString(), c.expected) << CompactJson(c.in);
        }
    }
}

TEST_F(CommandsTest, ResultsHaveTheDeclaredKinds) {
    PageClient page(harness_.port(), "main", harness_.cookie());
    auto flag = page.Call("Flag");
    ASSERT_TRUE(flag);
    EXPECT_TRUE((*flag)["value"].isBool());
    EXPECT_TRUE((*flag)["value"].asBool());
    auto nothing = page.Call("Nothing");
    ASSERT_TRUE(nothing);
    EXPECT_FALSE(nothing->isMember("value")) << "the page receives undefined";
    EXPECT_FALSE(nothing->isMember("error"));
}

TEST_F(CommandsTest, AWindowsCommandsRunOneAtATimeInArrivalOrder) {
    PageClient page(harness_.port(), "main", harness_.cookie());
    const std::uint64_t hold = page.Post("Hold");
    std::vector<std::uint64_t> ids;
    for (int i = 1; i <= 5; ++i) {
        ids.push_back(page.Post("Record", Array({i})));
    }
    // Another window is served while this one is busy.
    PageClient start(harness_.port(), "start", harness_.cookie());
    auto other = start.Call("Flag");
    ASSERT_TRUE(other);
    EXPECT_FALSE((*other)["value"].asBool());
    {
        std::unique_lock<std::mutex> lock(journal_.mutex);
        journal_.released_cv.wait_for(lock, 5s, [&] { return !journal_.entries.empty(); });
        EXPECT_EQ(journal_.entries, std::vector<std::string>{"hold starts"});
        journal_.released = true;
    }
    journal_.released_cv.notify_all();

    std::vector<std::uint64_t> order;
    while (order.size() < 6) {
        auto result = page.Next([](const Json::Value& m) { return m.isMember("result"); });
        ASSERT_TRUE(result);
        order.push_back((*result)["result"].asUInt64());
    }
    std::vector<std::uint64_t> expected = {hold};
    expected.insert(expected.end(), ids.begin(), ids.end());
    EXPECT_EQ(order, expected);
    std::lock_guard<std::mutex> lock(journal_.mutex);
    EXPECT_EQ(journal_.entries,
              (std::vector<std::string>{"hold starts", "hold ends", "1", "2", "3", "4", "5"}));
}

TEST(CommandTablesTest, ANameGivenTwiceInOneTableStopsTheStart) {
    CommandTables tables;
    auto none = [](CommandCall&) { return CommandResult::None(); };
    tables.Add(WindowClass::kMain, {{"Explorer", {}, ResultKind::kNone, none},
                                    {"explorer", {}, ResultKind::kNone, none}});
    tables.Add(WindowClass::kStart, {{"Explorer", {}, ResultKind::kNone, none}});
    HostHarness harness(std::move(tables));
    EXPECT_FALSE(harness.host().tables().built());
    EXPECT_EQ(harness.port(), 0u) << "the host did not start";
    EXPECT_NE(harness.log().find("ERROR\tcommand explorer is listed twice in the main table\n"),
              std::string::npos);
    EXPECT_NE(harness.log().find("the command tables are broken"), std::string::npos);
}

TEST(CommandTablesTest, TheStandardTablesBuildAndHoldTheHostsCommands) {
    CommandTables tables;
    ASSERT_TRUE(BuildStandardCommandTables(tables));
    const struct {
        WindowClass window;
        const char* name;
        ResultKind result;
        std::size_t args;
    } rows[] = {
        {WindowClass::kPopup, "SetCreateInfo", ResultKind::kBoolean, 8},
        {WindowClass::kPopup, "setwindowsize", ResultKind::kNone, 2},
        {WindowClass::kPopup, "GetParameter", ResultKind::kText, 0},
        {WindowClass::kPopup, "SelectFolder", ResultKind::kText, 0},
        {WindowClass::kPopup, "OPENLOG", ResultKind::kNone, 2},
        {WindowClass::kStart, "InternetDownload", ResultKind::kBoolean, 1},
        {WindowClass::kStart, "NavigateUrl", ResultKind::kNone, 1},
        {WindowClass::kMain, "Loge", ResultKind::kNone, 1},
        {WindowClass::kMain, "ShowColorDialog", ResultKind::kText, 0},
        {WindowClass::kDialog, "EndDialog", ResultKind::kBoolean, 1},
    };
    for (const auto& row : rows) {
        const CommandRow* found = tables.Find(row.window, row.name);
        ASSERT_NE(found, nullptr) << row.name;
        EXPECT_EQ(found->result, row.result) << row.name;
        EXPECT_EQ(found->args.size(), row.args) << row.name;
    }
    EXPECT_EQ(tables.Find(WindowClass::kStart, "Loge"), nullptr);
}

}  // namespace
}  // namespace sw::host::test
