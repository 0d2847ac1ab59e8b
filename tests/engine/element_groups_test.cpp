#include "engine/element_groups.h"

#include <gtest/gtest.h>

#include "engine/engine_fixture.h"
#include "engine/module_loader.h"

namespace sw {
namespace {

using test::Rgb;
using test::WriteSolidPng;

TEST(ElementGroupsTest, GroupsByCategoryTagAndRawResOrColor) {
    test::TempFolder folder;
    test::LogCapture log(folder.path());
    test::ModuleFolder fixture(folder / "m");
    fixture.WriteDefault();
    WriteSolidPng(fixture.Image("a.png"), 4, 4, Rgb(9, 9, 9));
    WriteSolidPng(fixture.Image("b.png"), 4, 4, Rgb(9, 9, 9));
    const std::string place =
        " left=\"zero\" top=\"zero\" width=\"icon_size\" height=\"icon_size\"";
    fixture.WriteTemplate(
        "<category list=\"w|i|t\" />\n"
        "<screen>\n"
        "  <icon" +
        place +
        " res=\"a|b\" category=\"w\" />\n"  // 0,0 -> group 0
        "  <text left=\"zero\" top=\"zero\" text=\"x\" size=\"label_size\" color=\"label_color\""
        " category=\"t\" />\n"  // 0,1 -> group 1
        "  <icon" +
        place +
        " res=\"a | b\" category=\"w\" />\n"  // 0,2 -> group 2 (blanks)
        "  <icongroup" +
        place +
        " res=\"a|b\" category=\"w\" />\n"  // 0,3 -> group 3 (tag)
        "</screen>\n"
        "<screen>\n"
        "  <icon left=\"icon_left\" top=\"zero\" width=\"zero\" height=\"zero\" res=\"a|b\""
        " category=\"w\" />\n"  // 1,0 -> group 0
        "  <icon" +
        place +
        " res=\"a|b\" category=\"i\" />\n"  // 1,1 -> group 4 (category)
        "  <colorblock" +
        place +
        " color=\"label_color\" category=\"t\" />\n"  // 1,2 -> group 5
        "  <text left=\"zero\" top=\"zero\" text=\"y\" size=\"label_size\" color=\"label_color\""
        " category=\"t\" />\n"  // 1,3 -> group 1
        "</screen>\n");
    ThemeModule module;
    module.context.screen_width = 1080;
    module.context.screen_height = 1920;
    module.context.density = 320;
    // Blanks around the separator are part of the names.
    WriteSolidPng(fixture.Image("a .png"), 4, 4, Rgb(9, 9, 9));
    WriteSolidPng(fixture.Image(" b.png"), 4, 4, Rgb(9, 9, 9));
    ASSERT_TRUE(LoadModule(module, fixture.path())) << ::testing::PrintToString(log.Lines());

    const auto& groups = module.element_groups;
    ASSERT_EQ(groups.size(), 6u);
    EXPECT_EQ(groups[0].screen_ids, (std::vector<int>{0, 1}));
    EXPECT_EQ(groups[0].element_ids, (std::vector<int>{0, 0}));
    EXPECT_EQ(groups[0].rects[1], (Rect{300, 0, 300, 0}));
    EXPECT_EQ(groups[1].screen_ids, (std::vector<int>{0, 1}));
    EXPECT_EQ(groups[1].element_ids, (std::vector<int>{1, 3}));
    EXPECT_EQ(groups[2].element_ids, (std::vector<int>{2}));
    EXPECT_EQ(groups[3].element_ids, (std::vector<int>{3}));
    EXPECT_EQ(groups[4].screen_id, 1);
    EXPECT_EQ(groups[4].element_id, 1);
    EXPECT_EQ(groups[5].element_ids, (std::vector<int>{2}));
    EXPECT_EQ(module.used_categories, (std::vector<std::string>{"w", "t", "i"}));

    ASSERT_NE(FindElementGroup(module, 1, 3), nullptr);
    EXPECT_EQ(FindElementGroup(module, 1, 3), &groups[1]);
    EXPECT_EQ(FindElementGroup(module, 2, 0), nullptr);
}

}  // namespace
}  // namespace sw
