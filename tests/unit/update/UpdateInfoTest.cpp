#include "update/UpdateInfo.h"
#include "update/Base64.h"

#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace {

TEST(UpdateInfoRead, TakesTheFiveFieldsAndResult)
{
    UpdateInfo info;
    ASSERT_TRUE(info.FromUtf8Text(R"({"result":"0","new_version":"1.0.0.2","min_version":"1.0.0.1",
        "version":"1.0.0.3","version_name":"春季版","version_url":"http://h/setup.exe"})"));
    EXPECT_EQ(info.result, "0");
    EXPECT_EQ(info.newVersion, "1.0.0.2");
    EXPECT_EQ(info.minVersion, "1.0.0.1");
    EXPECT_EQ(info.version, "1.0.0.3");
    EXPECT_EQ(info.versionName, "春季版");
    EXPECT_EQ(info.versionUrl, "http://h/setup.exe");
    EXPECT_TRUE(info.IsValid());
}

TEST(UpdateInfoRead, ConvertsScalarsToText)
{
    UpdateInfo info;
    ASSERT_TRUE(info.FromJsonText(R"(// the server may comment
        {"result":1,"new_version":2,"min_version":null,"version":true,"version_name":-3})"));
    EXPECT_EQ(info.result, "1");
    EXPECT_EQ(info.newVersion, "2");
    EXPECT_EQ(info.minVersion, "");
    EXPECT_EQ(info.version, "true");
    EXPECT_EQ(info.versionName, "-3");
    EXPECT_EQ(info.versionUrl, "");
}

TEST(UpdateInfoRead, MissingVersionIsNotValid)
{
    UpdateInfo absent;
    ASSERT_TRUE(absent.FromJsonText(R"({"new_version":"2.0.0.0"})"));
    EXPECT_FALSE(absent.IsValid());
    UpdateInfo empty;
    ASSERT_TRUE(empty.FromJsonText(R"({"version":""})"));
    EXPECT_FALSE(empty.IsValid());
    UpdateInfo nullRoot;
    EXPECT_TRUE(nullRoot.FromJsonText("null"));
    EXPECT_FALSE(nullRoot.IsValid());
    EXPECT_EQ(nullRoot.result, "");
}

TEST(UpdateInfoRead, RejectsMalformedRepliesAndKeepsTheRecord)
{
    const char* replies[]
        = { "", "<html>404</html>", "[1,2]", "\"1.0.0.0\"", "42", R"({"version":["1.0.0.0"]})",
              R"({"version":"1","version_url":{"a":1}})", R"({"result":[]})", R"({"version":"1.0.0.0")" };
    const std::string deeplyNested
        = R"({"version":"1","x":)" + std::string(1000, '[') + std::string(1000, ']') + "}";
    std::vector<std::string> all(std::begin(replies), std::end(replies));
    all.push_back(deeplyNested);
    for (const std::string& reply : all) {
        UpdateInfo info;
        info.version = "kept";
        EXPECT_FALSE(info.FromJsonText(reply)) << reply;
        EXPECT_EQ(info.version, "kept") << reply;
        EXPECT_EQ(info.result, "-1") << reply;
    }
}

TEST(UpdateInfoWrite, RoundTripsThroughEveryForm)
{
    UpdateInfo info;
    info.result = "0";
    info.newVersion = "1.2.3.4";
    info.minVersion = "1.0.0.0";
    info.version = "1.2.3.4";
    info.versionName = "名字 \"quoted\"";
    info.versionUrl = "http://x/y?z=1";

    std::string json = info.ToJsonText();
    EXPECT_EQ(json.find('\n'), json.size() - 1) << "compact, ending in a line feed";

    UpdateInfo fromJson, fromUtf8, fromBase64;
    ASSERT_TRUE(fromJson.FromJsonText(json));
    ASSERT_TRUE(fromUtf8.FromUtf8Text(info.ToUtf8Text()));
    ASSERT_TRUE(fromBase64.FromBase64Text(info.ToBase64Text()));
    for (const UpdateInfo* copy : { &fromJson, &fromUtf8, &fromBase64 }) {
        EXPECT_EQ(copy->result, "0");
        EXPECT_EQ(copy->newVersion, info.newVersion);
        EXPECT_EQ(copy->minVersion, info.minVersion);
        EXPECT_EQ(copy->version, info.version);
        EXPECT_EQ(copy->versionName, info.versionName);
        EXPECT_EQ(copy->versionUrl, info.versionUrl);
    }
}

TEST(Base64, UsesTheStandardAlphabetAndPadding)
{
    EXPECT_EQ(Base64Encode(""), "");
    EXPECT_EQ(Base64Encode("f"), "Zg==");
    EXPECT_EQ(Base64Encode("fo"), "Zm8=");
    EXPECT_EQ(Base64Encode("foobar"), "Zm9vYmFy");
    EXPECT_EQ(Base64Encode("\xfb\xff"), "+/8=");

    std::string bytes;
    ASSERT_TRUE(Base64Decode("Zm9v\r\nYmE=", bytes));
    EXPECT_EQ(bytes, "fooba");
    ASSERT_TRUE(Base64Decode("+/8=", bytes));
    EXPECT_EQ(bytes, "\xfb\xff");
    EXPECT_FALSE(Base64Decode("Zm9v-_", bytes)) << "the URL alphabet is not accepted";
}

} // namespace
