#include "update/VersionNumber.h"

#include "fakes/os/FakeOsLayer.h"
#include "update/VersionClipboard.h"

#include <gtest/gtest.h>

namespace {

struct ParseCase {
    const char* text;
    int major, minor, build, revision;
};

class VersionParse : public testing::TestWithParam<ParseCase> { };

TEST_P(VersionParse, ReadsTheFourParts)
{
    const ParseCase& c = GetParam();
    // Start from a used object: parts the scan misses must not keep old values.
    VersionNumber version;
    version.Parse("9.9.9.9").Parse(c.text);
    EXPECT_EQ(version.major, c.major) << c.text;
    EXPECT_EQ(version.minor, c.minor) << c.text;
    EXPECT_EQ(version.build, c.build) << c.text;
    EXPECT_EQ(version.revision, c.revision) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Texts, VersionParse,
    testing::Values(ParseCase { "1.0.0.0", 1, 0, 0, 0 }, ParseCase { "1.2.3.4beta", 1, 2, 3, 4 },
        ParseCase { "1.2.3.4.5", 1, 2, 3, 4 }, ParseCase { "1.-2.3.4", 1, 0, 3, 4 },
        ParseCase { "2. 0.1.7", 2, 0, 1, 7 }, ParseCase { " +3.\t4.5.6", 3, 4, 5, 6 },
        ParseCase { "1.2", 1, 2, 0, 0 }, ParseCase { "", 0, 0, 0, 0 }, ParseCase { "v1.2.3.4", 0, 0, 0, 0 },
        ParseCase { "1 .2.3.4", 1, 0, 0, 0 }, ParseCase { "1.2.-.4", 1, 2, 0, 0 },
        ParseCase { "99999999999.1.1.1", 2147483647, 1, 1, 1 },
        ParseCase { "-99999999999.1.1.1", 0, 1, 1, 1 }, ParseCase { "1.2.3.", 1, 2, 3, 0 }));

VersionNumber V(const char* text) { return VersionNumber().Parse(text); }

TEST(VersionOrder, ComparesPartsAsNumbersStrictly)
{
    EXPECT_TRUE(V("1.9.9.9").IsLessThan(V("1.10.0.0")));
    EXPECT_FALSE(V("1.10.0.0").IsLessThan(V("1.9.9.9")));
    EXPECT_FALSE(V("1.0.0.0").IsLessThan(V("1.0.0.0")));
    EXPECT_TRUE(V("1.0.0.0").IsLessThan(V("1.0.0.1")));
    EXPECT_TRUE(V("1.0.5.0").IsLessThan(V("1.1.0.0")));
    EXPECT_TRUE(V("0.9.9.9").IsLessThan(V("1.0.0.0")));
}

TEST(VersionText, WritesPlainDecimalParts)
{
    EXPECT_EQ(V("1.0.0.0").ToString(), "1.0.0.0");
    EXPECT_EQ(V("00.010.2.0").ToString(), "0.10.2.0");
    EXPECT_EQ(V("junk").ToString(), "0.0.0.0");
}

TEST(VersionText, CurrentVersionIsTheBuildVersion)
{
    EXPECT_EQ(CurrentVersion().ToString(), ZANDREL_PROJECT_VERSION);
}

} // namespace

namespace {

TEST(VersionText, ClipboardLineCarriesBothVersions)
{
    FakeOsLayerScope os;
    CopyVersionInfoToClipboard();
    EXPECT_EQ(os.fake.clipboardText, " version " ZANDREL_PROJECT_VERSION "  internalVer 201509241055 \r\n");
    os.fake.clipboardAvailable = false;
    CopyVersionInfoToClipboard();
}

} // namespace
