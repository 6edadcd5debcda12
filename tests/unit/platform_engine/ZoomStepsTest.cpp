#include "platform/engine/ZoomSteps.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace platform::engine;

namespace {

double Percent(double level) { return std::round(ZoomFactorOfLevel(level) * 100); }

TEST(ZoomSteps, KeysWalkTheUsualLadderAndStopAtItsEnds)
{
    const double ladder[] = { 25, 33, 50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300, 400, 500 };
    double level = 0;
    for (double percent : ladder) {
        if (percent <= 100)
            continue;
        level = NextZoomLevel(level, 1);
        EXPECT_EQ(Percent(level), percent);
    }
    EXPECT_EQ(Percent(NextZoomLevel(level, 1)), 500);
    level = 0;
    for (auto step = std::rbegin(ladder); step != std::rend(ladder); ++step) {
        if (*step >= 100)
            continue;
        level = NextZoomLevel(level, -1);
        EXPECT_EQ(Percent(level), *step);
    }
    EXPECT_EQ(Percent(NextZoomLevel(level, -1)), 25);
}

TEST(ZoomSteps, ALevelBetweenStepsGoesToTheNextStepInThatDirection)
{
    const double between = ZoomLevelOfFactor(1.2);
    EXPECT_EQ(Percent(NextZoomLevel(between, 1)), 125);
    EXPECT_EQ(Percent(NextZoomLevel(between, -1)), 110);
    EXPECT_EQ(NextZoomLevel(between, 0), between);
    // Outside the ladder (another program's zoom) comes back onto it.
    EXPECT_EQ(Percent(NextZoomLevel(ZoomLevelOfFactor(9), -1)), 500);
    EXPECT_EQ(Percent(NextZoomLevel(ZoomLevelOfFactor(0.1), 1)), 25);
    EXPECT_EQ(Percent(ZoomLevelOfFactor(0)), 25);
}

} // namespace
