#include "app/BuildIdentity.h"

#include <gtest/gtest.h>

namespace {

TEST(BuildIdentity, ThisBuildIdentifiesAsItsOwnVersion)
{
    EXPECT_EQ(EffectiveVersionText(), u"1.0.0.0");
    EXPECT_EQ(InternalVersion(), u"201509241055");
}

TEST(BuildIdentity, AnUnexpandedPlaceholderFallsBack)
{
    EXPECT_EQ(EffectiveVersionTextOf(u"$WCREV$", u"1.0.0.0"), u"1.0.0.0");
    EXPECT_EQ(EffectiveVersionTextOf(u"$", u"2.0.0.0"), u"2.0.0.0");
}

TEST(BuildIdentity, ADollarAnywhereElseIsKept)
{
    EXPECT_EQ(EffectiveVersionTextOf(u"1.0$.0.0", u"9.9.9.9"), u"1.0$.0.0");
    EXPECT_EQ(EffectiveVersionTextOf(u"", u"9.9.9.9"), u"");
}

} // namespace
