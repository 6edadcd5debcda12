#include "ui/MenuIdCounter.h"
#include "ui/TabStrip.h"

#include <gtest/gtest.h>

namespace {

TEST(TabTitle, ATitleLongerThanTheButtonHoldsIsCutToEightCharacters)
{
    std::u16string title = u"王者荣耀巅峰赛冲分直播间今晚不上王者不下";
    ASSERT_EQ(title.size(), 20u);
    EXPECT_EQ(TabStrip::FittedTitle(title, 174, 12), u"王者荣耀巅峰赛冲...");
}

TEST(TabTitle, ATitleThatFitsIsShownWhole)
{
    EXPECT_EQ(TabStrip::FittedTitle(u"深夜电台", 174, 12), u"深夜电台");
    // 174 / 12 holds 14 characters: a 14-character title still fits, 15 do not.
    EXPECT_EQ(TabStrip::FittedTitle(std::u16string(14, u'中'), 174, 12), std::u16string(14, u'中'));
    EXPECT_EQ(TabStrip::FittedTitle(std::u16string(15, u'中'), 174, 12), std::u16string(8, u'中') + u"...");
}

TEST(TabTitle, WithoutAMeasuredButtonTheTitleIsShownWhole)
{
    std::u16string title(30, u'x');
    EXPECT_EQ(TabStrip::FittedTitle(title, 0, 12), title);
    EXPECT_EQ(TabStrip::FittedTitle(title, 174, 0), title);
}

TEST(MenuIdCounter, CountsUpAndWrapsTo101AfterOneMillion)
{
    int previous = NextMenuId();
    ASSERT_GT(previous, 1000);
    while (previous < 1000000) {
        int next = NextMenuId();
        ASSERT_EQ(next, previous + 1);
        previous = next;
    }
    EXPECT_EQ(NextMenuId(), 101);
    EXPECT_EQ(NextMenuId(), 102);
}

} // namespace
