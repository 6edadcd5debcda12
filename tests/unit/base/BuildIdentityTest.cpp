#include "base/BuildIdentity.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

// The package is named after the project's version: a program reporting another one would be
// offered the package it runs from again by every update check.
TEST(BuildIdentity, ReportsThePackagesVersionAndATwelveDigitInternalVersion)
{
    EXPECT_EQ(EffectiveVersionText(), u"" ZANDREL_PROJECT_VERSION);
    const std::u16string internal = InternalVersion();
    EXPECT_EQ(internal.size(), 12u);
    EXPECT_TRUE(std::all_of(internal.begin(), internal.end(), [](char16_t c) {
        return c >= u'0' && c <= u'9';
    })) << "digits only";
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
