// The forms' value lists and the numbers made of them.
#include <gtest/gtest.h>

#include <array>

#include "settings/form_values.h"
#include "settings/settings_fixture.h"

namespace sw::settings {
namespace {

constexpr std::array<const char*, 3> kOrder = {"x", "y", "w"};

class FormValuesTest : public test::SettingsTest {};

TEST_F(FormValuesTest, AListOfTheFormsLengthIsLookedUpByField) {
    FormValues values;
    ASSERT_TRUE(values.Split("120px,,-7", kOrder, "Save"));
    EXPECT_EQ(values.Text("x"), "120px");
    EXPECT_EQ(values.Text("y"), "");
    EXPECT_EQ(values.Number("w"), -7);
    EXPECT_EQ(values.Text("h"), "");
    values.SetText("y", "9px");
    EXPECT_EQ(values.Number("y"), 9);
}

// A short or long list would shift every value after the gap into the wrong
// field: it is refused.
TEST_F(FormValuesTest, AListOfAnotherLengthIsRefused) {
    struct Case {
        const char* list;
        std::size_t received;
    };
    for (const Case& c : {Case{"1,2", 2}, Case{"1,2,3,4", 4}, Case{"", 1}}) {
        SCOPED_TRACE(c.list);
        FormValues values;
        EXPECT_FALSE(values.Split(c.list, kOrder, "SaveWeather"));
        EXPECT_EQ(values.received(), c.received);
        EXPECT_EQ(values.Text("x"), "");
        EXPECT_TRUE(LoggedError("SaveWeather: the value list holds " + std::to_string(c.received) +
                                " values, 3 expected; nothing saved"));
    }
}

TEST(AtoiValueTest, ReadsAsTheCLibraryDoes) {
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {
        {"176", 176},
        {"-176px", -176},
        {"  +12sp", 12},
        {"px", 0},
        {"", 0},
        {"1.9", 1},
        {"- 5", 0},
        {"12 34", 12},
        {"99999999999", 2147483647},
        {"-99999999999", -2147483647 - 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AtoiValue(c.text), c.value) << c.text;
    }
}

TEST(ScaledTest, TruncatesTowardZero) {
    struct Case {
        long long value;
        double factor;
        int scaled;
    };
    const Case cases[] = {
        {100, 0.66, 66},
        {100, 0.5, 50},
        {100, 1.3, 130},
        {15, 0.66, 9},
        {15, 0.5, 7},
        {-176, 0.5, -88},
        {-76, 0.66, -50},
        {-63, 0.66, -41},
        {110, 0.66, 72},
        {110, 1.3, 143},
        {-2080, 0.66, -1372},
        {-2080, 1.3, -2704},
        {2147483647LL, 1.3, 2147483647},
        {-2147483648LL - 176, 1.0, -2147483647 - 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Scaled(c.value, c.factor), c.scaled) << c.value << " x " << c.factor;
    }
    EXPECT_EQ(TruncatedInt(540 - 1001 * 0.5), 39);
    EXPECT_EQ(TruncatedInt(540 - 1201 * 0.5), -60);
}

TEST(SpToPxTest, ReplacesEverySp) {
    EXPECT_EQ(SpToPx("36sp"), "36px");
    EXPECT_EQ(SpToPx("spsp"), "pxpx");
    EXPECT_EQ(SpToPx("36px"), "36px");
}

}  // namespace
}  // namespace sw::settings
