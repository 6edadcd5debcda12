#include "base/TextConversion.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(TextConversion, FlagsAreTrueForPositiveLeadingNumbers)
{
    for (const char16_t* text : { u"1", u"5", u"01", u" 2", u"+3", u"7abc" })
        EXPECT_TRUE(TextToBool(text)) << std::u16string(text).size();
    for (const char16_t* text : { u"0", u"-1", u"", u"yes", u"true", u"-", u" ", u"x1" })
        EXPECT_FALSE(TextToBool(text)) << std::u16string(text).size();
}

TEST(TextConversion, IntUsesTheDefaultOnlyForEmptyTextAndSaturates)
{
    EXPECT_EQ(TextToInt(u"", 7), 7);
    EXPECT_EQ(TextToInt(u"abc", 7), 0);
    EXPECT_EQ(TextToInt(u"-42x", 7), -42);
    EXPECT_EQ(TextToInt(u"99999999999999999999", 0), INT_MAX);
    EXPECT_EQ(TextToInt(u"-99999999999999999999", 0), INT_MIN);
}

TEST(TextConversion, UnsignedReadsLeadingDigitsLikeTheRuntime)
{
    EXPECT_EQ(TextToUInt(u"8080"), 8080u);
    EXPECT_EQ(TextToUInt(u"01"), 1u);
    EXPECT_EQ(TextToUInt(u" 12 34"), 12u);
    EXPECT_EQ(TextToUInt(u""), 0u);
    EXPECT_EQ(TextToUInt(u"port"), 0u);
    EXPECT_EQ(TextToUInt(u"4294967295"), UINT_MAX);
    EXPECT_EQ(TextToUInt(u"4294967296"), UINT_MAX);
    EXPECT_EQ(TextToUInt(u"-1"), UINT_MAX);
}

TEST(TextConversion, UnsignedTextIsPlainDecimal)
{
    EXPECT_EQ(UIntToText(0), u"0");
    EXPECT_EQ(UIntToText(TextToUInt(u"01")), u"1");
    EXPECT_EQ(UIntToText(UINT_MAX), u"4294967295");
}

} // namespace
