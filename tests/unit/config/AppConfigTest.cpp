#include <gtest/gtest.h>

#include "ConfigTestFolder.h"
#include "config/AppConfig.h"
#include "config/AppConfigFields.h"
#include "config/KeptProfile.h"
#include "config/SiteAddress.h"
#include "config/UpdateKey.h"
#include "config/XmlAttributes.h"
#include "fakes/os/FakeOsLayer.h"
#include "platform/os/TextCodec.h"

namespace {

const std::string kFullConfig
    = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<root>\n"
      "  <Account regurl=\"https://r/?a=1&amp;b=2\" passwordurl='p'/>\n"
      "  <Notify optionexit=\"1\" test=\"0\" powerboot=\"01\" time=\"42\" url=\"n\"></Notify>\n"
      "  <Update url=\"http://127.0.0.1:1/update/check\"/>\n"
      "  <Channel ip=\"1.2.3.4\" port=\"8080\" subsid=\"3\" sid=\"2\" appid=\"1\" audio=\"a\" "
      "video=\"\xE8\xA7\x86\xE9\xA2\x91\" loop=\"-1\" remote=\"5\" url=\"c\"/>\n"
      "</root>\n";

// The saved text without the settings that expected does not name, each of which must have been
// appended empty: a setting added later changes no expectation written before it.
std::string WithoutLaterSettings(std::string saved, const std::string& expected)
{
    for (const AppConfigElement& element : AppConfigElements())
        for (const AppConfigField& field : element.fields) {
            const std::string name = " " + platform::os::Utf16ToUtf8(field.attribute) + "=";
            if (expected.find(name) != std::string::npos)
                continue;
            size_t at = saved.find(name + "\"\"");
            if (at == std::string::npos)
                at = saved.find(name + "\"0\"");
            EXPECT_NE(at, std::string::npos) << name << " is not appended empty";
            if (at != std::string::npos)
                saved.erase(at, saved.find('"', at + name.size() + 1) + 1 - at);
        }
    return saved;
}

class AppConfigTest : public testing::Test {
protected:
    std::string FilePath() const { return folder.File("config.xml"); }
    AppConfig Open() const { return AppConfig(platform::os::Utf8ToUtf16(FilePath())); }

    ConfigTestFolder folder;
};

TEST_F(AppConfigTest, ReadsEveryFieldWhateverTheRootNameAndOrder)
{
    ConfigTestFolder::Write(FilePath(), kFullConfig);
    AppConfig config = Open();
    EXPECT_TRUE(config.Load());
    EXPECT_EQ(config.channelUrl, u"c");
    EXPECT_TRUE(config.channelRemote);
    EXPECT_FALSE(config.channelLoop);
    EXPECT_EQ(config.channelVideo, u"\u89c6\u9891");
    EXPECT_EQ(config.channelAudio, u"a");
    EXPECT_EQ(config.channelAppId, 1u);
    EXPECT_EQ(config.channelSid, 2u);
    EXPECT_EQ(config.channelSubSid, 3u);
    EXPECT_EQ(config.channelPort, 8080u);
    EXPECT_EQ(config.channelIp, u"1.2.3.4");
    EXPECT_EQ(config.updateUrl, u"http://127.0.0.1:1/update/check");
    EXPECT_EQ(config.notifyUrl, u"n");
    EXPECT_EQ(config.notifyTime, 42u);
    EXPECT_TRUE(config.powerboot);
    EXPECT_FALSE(config.testMode);
    EXPECT_TRUE(config.optionexit);
    EXPECT_EQ(config.accountRegUrl, u"https://r/?a=1&b=2");
    EXPECT_EQ(config.accountPasswordUrl, u"p");
}

TEST_F(AppConfigTest, SaveRewritesValuesInPlaceAndAppendsMissingAttributes)
{
    ConfigTestFolder::Write(FilePath(),
        "<config>\n<Channel url='c' remote=\"1\"/>\n<Update key = 'Kq+/9z=' url=\"u\"/>\n"
        "<Notify powerboot=\"01\" optionexit=\"1\"></Notify>\n<Account/>\n</config>");
    AppConfig config = Open();
    config.optionexit = false;
    config.accountRegUrl = u"<&>'\"";
    config.minimizeOnClose = true;
    ASSERT_TRUE(config.Save());
    const std::string expected
        = "<config>\n<Channel url=\"c\" remote=\"1\" loop=\"0\" video=\"\" audio=\"\" appid=\"0\" sid=\"0\" "
          "subsid=\"0\" port=\"0\" ip=\"\"/>\n<Update key = 'Kq+/9z=' url=\"u\"/>\n"
          "<Notify powerboot=\"1\" optionexit=\"0\" url=\"\" time=\"0\" test=\"0\"></Notify>\n"
          "<Account passwordurl=\"\" regurl=\"&lt;&amp;&gt;&apos;&quot;\"/>\n</config>";
    EXPECT_EQ(WithoutLaterSettings(ConfigTestFolder::Read(FilePath()), expected), expected);
    AppConfig reread = Open();
    EXPECT_EQ(reread.accountRegUrl, u"<&>'\"");
    EXPECT_FALSE(reread.optionexit);
    EXPECT_TRUE(reread.powerboot);
    EXPECT_FALSE(reread.minimizeOnClose);
}

TEST_F(AppConfigTest, MissingElementStopsLoadAndSaveNeverWrites)
{
    const std::string partial
        = "<config><Update url=\"u\"/><Channel url=\"c\"/><Account regurl=\"r\"/></config>";
    ConfigTestFolder::Write(FilePath(), partial);
    AppConfig config = Open();
    EXPECT_FALSE(config.Load());
    EXPECT_EQ(config.channelUrl, u"c");
    EXPECT_EQ(config.updateUrl, u"u");
    EXPECT_FALSE(config.powerboot);
    EXPECT_EQ(config.accountRegUrl, u"");
    config.powerboot = true;
    EXPECT_FALSE(config.Save());
    EXPECT_EQ(ConfigTestFolder::Read(FilePath()), partial);
}

TEST_F(AppConfigTest, MissingFileLeavesDefaultsAndIsNeverCreated)
{
    AppConfig config = Open();
    EXPECT_FALSE(config.Load());
    EXPECT_EQ(config.updateUrl, u"");
    EXPECT_FALSE(config.optionexit);
    config.optionexit = true;
    EXPECT_FALSE(config.Save());
    EXPECT_FALSE(std::filesystem::exists(FilePath()));
    EXPECT_EQ(config.document.GetResult(), u"No such file or directory");
}

TEST_F(AppConfigTest, FailedWriteIsReportedAndTheFileStays)
{
    ConfigTestFolder::Write(FilePath(), kFullConfig);
    AppConfig config = Open();
    config.filePath = platform::os::Utf8ToUtf16(folder.File("gone/config.xml"));
    EXPECT_FALSE(config.Save());
    EXPECT_EQ(config.document.GetResult(), u"No such file or directory");
    EXPECT_EQ(ConfigTestFolder::Read(FilePath()), kFullConfig);
}

TEST_F(AppConfigTest, SiteAddressComesFromItsOwnElementOrTheBuildDefault)
{
    ConfigTestFolder::Write(FilePath(), kFullConfig);
    AppConfig withoutSite = Open();
    const std::u16string fallback = SiteUrl(withoutSite);
    EXPECT_EQ(fallback.rfind(u"http", 0), 0u);
    EXPECT_NE(fallback.back(), u'/');

    std::string withSite = kFullConfig;
    withSite.insert(withSite.find("</root>"), "<Site url=\"http://live.test:8080/\"/>");
    ConfigTestFolder::Write(FilePath(), withSite);
    AppConfig config = Open();
    EXPECT_EQ(SiteUrl(config), u"http://live.test:8080");
    EXPECT_TRUE(config.Load());
}

TEST_F(AppConfigTest, InstanceCanBePointedAtATestFile)
{
    ConfigTestFolder::Write(FilePath(), kFullConfig);
    AppConfig& first = AppConfig::ResetInstanceForTests(platform::os::Utf8ToUtf16(FilePath()));
    EXPECT_EQ(&first, &AppConfig::Instance());
    EXPECT_EQ(AppConfig::Instance().channelPort, 8080u);
    AppConfig& second = AppConfig::ResetInstanceForTests(platform::os::Utf8ToUtf16(folder.File("none.xml")));
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(second.channelPort, 0u);
}

// An installed program folder belongs to root: the user's choices go to a copy of its file.
TEST_F(AppConfigTest, ReadOnlyInstallationFileSavesToAndThenReadsTheUserCopy)
{
    FakeOsLayerScope os;
    ConfigTestFolder::Write(FilePath(), kFullConfig);
    os.fake.readOnlyFiles.insert(FilePath());
    const std::string copyPath = folder.File("user/zandrel/config.xml");
    auto openInstalled = [&] {
        return AppConfig(platform::os::Utf8ToUtf16(FilePath()), platform::os::Utf8ToUtf16(copyPath));
    };

    AppConfig config = openInstalled();
    EXPECT_EQ(config.channelPort, 8080u);
    config.optionexit = false;
    ASSERT_TRUE(config.Save());
    EXPECT_EQ(ConfigTestFolder::Read(FilePath()), kFullConfig);
    EXPECT_NE(ConfigTestFolder::Read(copyPath).find("optionexit=\"0\""), std::string::npos);

    AppConfig nextStart = openInstalled();
    EXPECT_EQ(nextStart.filePath, platform::os::Utf8ToUtf16(copyPath));
    EXPECT_FALSE(nextStart.optionexit);
    EXPECT_EQ(nextStart.installationFilePath, platform::os::Utf8ToUtf16(FilePath()));

    // A damaged copy gives way to the installation's values and is replaced by the next save.
    ConfigTestFolder::Write(copyPath, "<root><Channel port=\"1\"/>");
    AppConfig afterDamage = openInstalled();
    EXPECT_TRUE(afterDamage.optionexit);
    EXPECT_EQ(afterDamage.channelPort, 8080u);
    ASSERT_TRUE(afterDamage.Save());
    EXPECT_TRUE(openInstalled().Load());

    // A writable program folder (a portable copy) keeps its own file, whatever copy exists.
    os.fake.readOnlyFiles.clear();
    AppConfig portable = openInstalled();
    EXPECT_TRUE(portable.optionexit);
    portable.channelPort = 4242;
    ASSERT_TRUE(portable.Save());
    EXPECT_NE(ConfigTestFolder::Read(FilePath()).find("port=\"4242\""), std::string::npos);
    EXPECT_EQ(ConfigTestFolder::Read(copyPath).find("port=\"4242\""), std::string::npos);
}

// The key decides what runs as root, so the user's copy, which the user's account can write, has no say.
TEST_F(AppConfigTest, UpdateKeyIsReadFromTheInstallationFileAlone)
{
    FakeOsLayerScope os;
    os.fake.readOnlyFiles.insert(FilePath());
    const std::string copyPath = folder.File("user/zandrel/config.xml");
    std::filesystem::create_directories(folder.File("user/zandrel"));
    auto installedConfig = [&](const std::string& updateAttributes) {
        return "<config><Channel/><Update " + updateAttributes + "/><Notify/><Account/></config>";
    };
    ConfigTestFolder::Write(copyPath, installedConfig("url=\"user\" key=\"USER\""));
    const AppConfig installed(platform::os::Utf8ToUtf16(FilePath()), platform::os::Utf8ToUtf16(copyPath));
    EXPECT_EQ(InstallationUpdateKey(installed), "") << "no installation file, no key";

    ConfigTestFolder::Write(FilePath(), installedConfig("url=\"installed\" key=\"INSTALLED\""));
    const AppConfig withKey(platform::os::Utf8ToUtf16(FilePath()), platform::os::Utf8ToUtf16(copyPath));
    EXPECT_EQ(withKey.updateUrl, u"user") << "the copy is the one read";
    EXPECT_EQ(InstallationUpdateKey(withKey), "INSTALLED");

    ConfigTestFolder::Write(FilePath(), installedConfig("url=\"installed\""));
    const AppConfig withoutKey(platform::os::Utf8ToUtf16(FilePath()), platform::os::Utf8ToUtf16(copyPath));
    EXPECT_EQ(InstallationUpdateKey(withoutKey), "");
}

// A kept profile is the installation's choice, written exactly as "1"; the user's copy cannot
// make it, and a save of the settings keeps the element as it was written.
TEST_F(AppConfigTest, KeptProfileIsTheInstallationsExactChoiceAndSurvivesASave)
{
    FakeOsLayerScope os;
    const std::string copyPath = folder.File("user/zandrel/config.xml");
    auto installedConfig = [](const std::string& profile) {
        return "<config><Channel/><Update url=\"u\"/><Notify optionexit=\"0\"/><Account/>" + profile
            + "</config>";
    };
    struct Row {
        const char* installation;
        const char* userCopy;
        bool kept;
    } rows[] = {
        { "", "", false },
        { "<Profile persistent=\"1\"/>", "", true },
        { "<Profile persistent=\"1\" />", "<Profile persistent=\"0\"/>", true },
        { "", "<Profile persistent=\"1\"/>", false },
        { "<Profile persistent=\"true\"/>", "", false },
        { "<Profile persistent=\" 1\"/>", "", false },
        { "<Profile/>", "", false },
        { "<Profile persistent=\"0\"/>", "", false },
    };
    std::filesystem::create_directories(folder.File("user/zandrel"));
    for (const Row& row : rows) {
        os.fake.readOnlyFiles = { FilePath() };
        ConfigTestFolder::Write(FilePath(), installedConfig(row.installation));
        ConfigTestFolder::Write(copyPath, installedConfig(row.userCopy));
        const AppConfig config(platform::os::Utf8ToUtf16(FilePath()), platform::os::Utf8ToUtf16(copyPath));
        EXPECT_EQ(InstallationKeepsProfile(config), row.kept) << row.installation << " / " << row.userCopy;
    }

    // A file that already holds every attribute is written back as it was, the element included.
    os.fake.readOnlyFiles.clear();
    std::string written = ConfigTestFolder::Read(std::string(ZANDREL_SOURCE_DIR) + "/config/config.xml");
    written.insert(written.rfind("</config>"), "  <Profile persistent=\"1\"   />\n");
    ConfigTestFolder::Write(FilePath(), written);
    AppConfig config(platform::os::Utf8ToUtf16(FilePath()), platform::os::Utf8ToUtf16(copyPath));
    ASSERT_TRUE(config.Save());
    EXPECT_EQ(ConfigTestFolder::Read(FilePath()), written);
    EXPECT_TRUE(InstallationKeepsProfile(config));
}

// An installation starts from one of these files: each names every saved setting, so that a save
// of the settings rewrites values and adds nothing.
TEST(ShippedConfig, BothFilesHoldEverySavedAttribute)
{
    for (const char* name : { "config.xml", "config.template.xml" }) {
        AppConfig config(platform::os::Utf8ToUtf16(std::string(ZANDREL_SOURCE_DIR) + "/config/" + name));
        EXPECT_TRUE(config.Load()) << name;
        XmlDocument& document = config.document;
        EXPECT_TRUE(document.IsWellFormed()) << name;
        for (const AppConfigElement& element : AppConfigElements()) {
            document.Rewind();
            ASSERT_TRUE(document.FindChild(element.name)) << name;
            document.EnterChild();
            const int tag = document.Record(document.GetCurrent()).start;
            const int tagEnd = tag + document.StartTagLength(document.GetCurrent());
            for (const AppConfigField& field : element.fields)
                EXPECT_TRUE(
                    XmlAttributes::Find(document.GetDocText(), tag, tagEnd, field.attribute, false).found)
                    << name << ": <" << platform::os::Utf16ToUtf8(element.name) << "> lacks "
                    << platform::os::Utf16ToUtf8(field.attribute);
        }
        const std::string before
            = ConfigTestFolder::Read(std::string(ZANDREL_SOURCE_DIR) + "/config/" + name);
        ConfigTestFolder folder;
        config.filePath = platform::os::Utf8ToUtf16(folder.File("copy.xml"));
        ASSERT_TRUE(config.Save()) << name;
        EXPECT_EQ(ConfigTestFolder::Read(folder.File("copy.xml")), before) << name << ": a save rewrites it";
        EXPECT_FALSE(config.updateUrl.empty()) << name;
        EXPECT_NE(SiteUrl(config), u"") << name;
    }
}

} // namespace
