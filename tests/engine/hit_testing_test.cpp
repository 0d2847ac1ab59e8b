#include "engine/hit_testing.h"

#include <gtest/gtest.h>

#include "engine/page_fixture.h"
#include "engine/redraw_commands.h"

namespace sw {
namespace {

// The hits as "screen/element", in answer order.
std::vector<std::string> Ids(const Json::Value& hits) {
    std::vector<std::string> ids;
    for (const Json::Value& hit : hits) {
        ids.push_back(std::to_string(hit["mScreenID"].asInt()) + "/" +
                      std::to_string(hit["mElementID"].asInt()));
    }
    return ids;
}

std::vector<std::vector<int>> Rects(const Json::Value& rects) {
    std::vector<std::vector<int>> out;
    for (const Json::Value& r : rects) {
        EXPECT_EQ(r.size(), 4u);
        out.push_back(
            {r["left"].asInt(), r["top"].asInt(), r["width"].asInt(), r["height"].asInt()});
    }
    return out;
}

using HitTestingTest = test::OpenPageProjectTest;

TEST_F(HitTestingTest, PointsOnTheLauncher) {
    struct Case {
        int screen;
        int x;
        int y;
        std::vector<std::string> hits;  // empty: no hit
    };
    const Case cases[] = {
        // The wallpaper, then the read-only frame over it with the same
        // rectangle and category.
        {0, 10, 10, {"0/0", "0/3"}},
        {0, 539, 959, {"0/0", "0/3"}},
        // The colour block lies above the wallpaper: only itself.
        {0, 60, 210, {"0/2"}},
        {0, 149, 249, {"0/2"}},
        // Right and bottom edges are outside.
        {0, 540, 10, {}},
        {0, 10, 960, {}},
        {0, -1, 10, {}},
        {3, 260, 410, {"3/1"}},
        {1, 310, 610, {"1/3"}},
        // No such screen.
        {4, 10, 10, {}},
        {-1, 10, 10, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.screen) + " at " + std::to_string(c.x) + "," +
                     std::to_string(c.y));
        Json::Value hits = "untouched";
        const bool hit = HitTest(launcher(), c.screen, c.x, c.y, hits);
        EXPECT_EQ(hit, !c.hits.empty());
        if (hit) {
            EXPECT_EQ(Ids(hits), c.hits);
        } else {
            EXPECT_EQ(hits.asString(), "untouched");
        }
    }
}

TEST_F(HitTestingTest, ReadOnlyElementsAloneAreNoHit) {
    Json::Value hits;
    EXPECT_FALSE(HitTest(lockscreen(), 0, 10, 10, hits));
    ASSERT_TRUE(HitTest(lockscreen(), 0, 10, 110, hits));
    EXPECT_EQ(Ids(hits), std::vector<std::string>{"0/1"});
}

TEST_F(HitTestingTest, HitsCarryTheirElementJson) {
    Json::Value hits;
    ASSERT_TRUE(HitTest(launcher(), 0, 10, 10, hits));
    EXPECT_EQ(hits[0]["mTag"].asString(), "icon");
    EXPECT_FALSE(hits[0]["mReadOnly"].asBool());
    EXPECT_TRUE(hits[1]["mReadOnly"].asBool());
    EXPECT_EQ(hits[1]["mCategory"].asString(), "壁纸");
}

TEST_F(HitTestingTest, GroupRectsOutlineTheResourceOnOneScreen) {
    struct Case {
        int screen;
        int element;
        std::vector<std::vector<int>> rects;  // empty: false
    };
    const Case cases[] = {
        {0, 0, {{0, 0, 540, 960}}},
        // The app icon shows twice on screen 3, once on screen 1.
        {3, 1, {{250, 400, 48, 48}, {350, 400, 48, 48}}},
        {3, 2, {{250, 400, 48, 48}, {350, 400, 48, 48}}},
        {1, 1, {{150, 400, 48, 48}}},
        // Read-only, and elements that do not exist.
        {0, 3, {}},
        {0, 99, {}},
        {7, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.screen) + "/" + std::to_string(c.element));
        Json::Value rects;
        EXPECT_EQ(GroupRects(launcher(), c.screen, c.element, rects), !c.rects.empty());
        if (!c.rects.empty()) {
            EXPECT_EQ(Rects(rects), c.rects);
        }
    }
}

// The outline follows an element a settings form moved, as the hit test does.
TEST_F(HitTestingTest, GroupRectsOutlineTheElementWhereItIsNow) {
    ASSERT_TRUE(SetElementGeometry(project_, "桌面", 2, 300, 310, 40, 20, 0, false));
    const ThemeElement& moved = *launcher().FindElement(0, 2);
    EXPECT_EQ(moved.rect, (Rect{300, 310, 340, 330}));
    Json::Value rects;
    ASSERT_TRUE(GroupRects(launcher(), 0, 2, rects));
    EXPECT_EQ(Rects(rects), (std::vector<std::vector<int>>{{300, 310, 40, 20}}));
    // The hit test follows the element itself.
    Json::Value hits;
    ASSERT_TRUE(HitTest(launcher(), 0, 310, 315, hits));
    EXPECT_EQ(Ids(hits), std::vector<std::string>{"0/2"});
}

}  // namespace
}  // namespace sw
