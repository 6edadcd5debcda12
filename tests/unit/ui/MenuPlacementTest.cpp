#include "ui/MenuPlacement.h"

#include <gtest/gtest.h>

using platform::ui::POINT;
using platform::ui::RECT;
using platform::ui::SIZE;

namespace {

const RECT kWork { 0, 0, 1280, 760 };

void ExpectRect(const RECT& expected, const RECT& actual, const char* label)
{
    EXPECT_EQ(expected.left, actual.left) << label;
    EXPECT_EQ(expected.top, actual.top) << label;
    EXPECT_EQ(expected.right, actual.right) << label;
    EXPECT_EQ(expected.bottom, actual.bottom) << label;
}

TEST(MenuPlacementTest, TopLevelMenuFlipsAtTheWorkAreaEdges)
{
    struct Case {
        const char* label;
        POINT anchor;
        RECT expected;
    };
    const SIZE size { 160, 58 };
    const Case cases[] = {
        { "room on both sides", { 100, 100 }, { 100, 100, 260, 158 } },
        { "exactly fits at the right edge", { 1120, 100 }, { 1120, 100, 1280, 158 } },
        { "near the right edge opens to the left", { 1200, 100 }, { 1040, 100, 1200, 158 } },
        { "near the bottom opens above", { 100, 740 }, { 100, 682, 260, 740 } },
        { "bottom-right corner opens left and above", { 1270, 750 }, { 1110, 692, 1270, 750 } },
    };
    for (const Case& c : cases)
        ExpectRect(c.expected, PlaceTopLevelMenu(c.anchor, size, kWork), c.label);
}

TEST(MenuPlacementTest, SubMenuCascadeAndWorkAreaCorrections)
{
    struct Case {
        const char* label;
        RECT parent;
        int ownerTop;
        std::vector<RECT> earlier;
        RECT work;
        RECT expected;
    };
    // Items: widest 120, three rows of 25.
    const std::vector<Case> cases = {
        { "first placement right of the parent at the row", { 100, 100, 260, 200 }, 125, {}, kWork,
            { 260, 125, 386, 200 } },
        { "an earlier menu right of the parent turns the cascade left", { 400, 100, 560, 200 }, 125,
            { { 600, 50, 700, 150 } }, kWork, { 276, 125, 400, 200 } },
        { "an earlier menu below the parent turns the cascade up", { 400, 300, 560, 400 }, 325,
            { { 100, 450, 200, 500 } }, kWork, { 560, 225, 686, 300 } },
        { "earlier menus above and left change nothing", { 400, 300, 560, 400 }, 325,
            { { 100, 100, 200, 200 } }, kWork, { 560, 325, 686, 400 } },
        { "past the bottom: the last row lines up with the owner row", { 100, 600, 260, 750 }, 725, {}, kWork,
            { 260, 675, 386, 750 } },
        { "past the right: left of the parent", { 1100, 100, 1260, 200 }, 125, {}, kWork,
            { 976, 125, 1100, 200 } },
        { "above the top: moved below the work area's top", { 100, 100, 260, 200 }, 125, {},
            { 0, 150, 1280, 760 }, { 260, 150, 386, 225 } },
        { "past the left: back to the right of the parent", { 10, 100, 160, 200 }, 125,
            { { 600, 50, 700, 150 } }, kWork, { 160, 125, 284, 200 } },
    };
    for (const Case& c : cases) {
        SubMenuMetrics metrics;
        metrics.parent = c.parent;
        metrics.ownerTop = c.ownerTop;
        metrics.widest = 120;
        metrics.totalHeight = 75;
        metrics.lastHeight = 25;
        ExpectRect(c.expected, PlaceSubMenu(metrics, c.earlier, c.work), c.label);
    }
}

} // namespace
