#include "update/UpdateCheck.h"

#include <gtest/gtest.h>

namespace {

UpdateInfo Reply(const char* json)
{
    UpdateInfo info;
    EXPECT_TRUE(info.FromJsonText(json)) << json;
    return info;
}

const VersionNumber kRunning = VersionNumber().Parse("1.0.0.0");

TEST(UpdateDecisions, RequiredUpdateAtStartup)
{
    UpdateInfo info = Reply(R"({"version":"1.0.0.0","min_version":"1.0.0.1","new_version":"1.0.0.2",
        "version_name":"name","version_url":"http://h/u"})");
    UpdateDecision startup = StartupUpdateDecision(0, info, kRunning);
    EXPECT_EQ(startup.outcome, UpdateOutcome::UpdateRequired);
    EXPECT_EQ(startup.text, u"您使用的版本[1.0.0.0]过低，需要升级后才可以继续使用！");
    EXPECT_EQ(startup.url, "http://h/u");
    EXPECT_EQ(ManualCheckDecision(0, info, kRunning).outcome, UpdateOutcome::NoAction);
}

TEST(UpdateDecisions, AvailableUpdate)
{
    UpdateInfo info = Reply(R"({"version":"1.0.0.0","min_version":"1.0.0.0","new_version":"1.0.0.2",
        "version_name":"name","version_url":"http://h/u"})");
    UpdateDecision startup = StartupUpdateDecision(0, info, kRunning);
    EXPECT_EQ(startup.outcome, UpdateOutcome::UpdateAvailable);
    EXPECT_EQ(startup.text, u"有新版本[1.0.0.2]-[name]，请进入主界面后进行软件更新！ ");

    UpdateDecision manual = ManualCheckDecision(0, info, kRunning);
    EXPECT_EQ(manual.outcome, UpdateOutcome::NoAction);
    EXPECT_TRUE(manual.text.empty());

    UpdateDecision dialog = DialogCheckDecision(0, info, kRunning);
    EXPECT_EQ(dialog.outcome, UpdateOutcome::UpdateAvailable);
    EXPECT_EQ(dialog.text, u"有新版本[1.0.0.2]-[name]，快快更新啦！ ");
    EXPECT_EQ(dialog.url, "http://h/u");
}

TEST(UpdateDecisions, OnlyTheDialogOffersANewerVersionField)
{
    UpdateInfo info = Reply(R"({"version":"1.0.0.3","min_version":"1.0.0.0","new_version":"1.0.0.0",
        "version_name":"name","version_url":"http://h/u"})");
    EXPECT_EQ(StartupUpdateDecision(0, info, kRunning).outcome, UpdateOutcome::NoAction);

    UpdateDecision manual = ManualCheckDecision(0, info, kRunning);
    EXPECT_EQ(manual.outcome, UpdateOutcome::UpToDate);
    EXPECT_EQ(manual.text, u"当前版本已是最新版本");

    UpdateDecision dialog = DialogCheckDecision(0, info, kRunning);
    EXPECT_EQ(dialog.outcome, UpdateOutcome::UpdateAvailable);
    EXPECT_EQ(dialog.text, u"有新版本[1.0.0.3]-[name]，快快更新啦！ ");
}

TEST(UpdateDecisions, UpToDateEverywhere)
{
    UpdateInfo info = Reply(R"({"version":"1.0.0.0","min_version":"0.9","new_version":"1.0.0.0"})");
    EXPECT_EQ(StartupUpdateDecision(0, info, kRunning).outcome, UpdateOutcome::NoAction);
    EXPECT_EQ(ManualCheckDecision(0, info, kRunning).outcome, UpdateOutcome::UpToDate);
    UpdateDecision dialog = DialogCheckDecision(0, info, kRunning);
    EXPECT_EQ(dialog.outcome, UpdateOutcome::UpToDate);
    EXPECT_EQ(dialog.text, u"您使用的是最新版本！");
}

TEST(UpdateDecisions, InvalidReplyAndFailedTransfer)
{
    for (const char* json : { R"({"new_version":"9.0.0.0","min_version":"9.0.0.0"})",
             R"({"version":"","new_version":"9.0.0.0","min_version":"9.0.0.0"})" }) {
        UpdateInfo info = Reply(json);
        EXPECT_EQ(StartupUpdateDecision(0, info, kRunning).outcome, UpdateOutcome::NoAction);
        EXPECT_EQ(ManualCheckDecision(0, info, kRunning).outcome, UpdateOutcome::NoAction);
        UpdateDecision dialog = DialogCheckDecision(0, info, kRunning);
        EXPECT_EQ(dialog.outcome, UpdateOutcome::ServerFailed);
        EXPECT_EQ(dialog.text, u"访问升级服务器失败！");
    }

    UpdateInfo valid = Reply(R"({"version":"9.0.0.0","min_version":"9.0.0.0"})");
    EXPECT_EQ(StartupUpdateDecision(7, valid, kRunning).outcome, UpdateOutcome::NoAction);
    EXPECT_EQ(ManualCheckDecision(7, valid, kRunning).outcome, UpdateOutcome::NoAction);
    EXPECT_EQ(DialogCheckDecision(7, valid, kRunning).outcome, UpdateOutcome::NoAction);
}

TEST(UpdateDecisions, ResultValueDoesNotMatter)
{
    for (const char* json : { R"({"result":0,"version":"1","new_version":"1.0.0.2"})",
             R"({"result":"1","version":"1","new_version":"1.0.0.2"})",
             R"({"version":"1","new_version":"1.0.0.2"})" }) {
        EXPECT_EQ(StartupUpdateDecision(0, Reply(json), kRunning).outcome, UpdateOutcome::UpdateAvailable)
            << json;
    }
}

TEST(UpdateDecisions, NumericNewVersionReadsAsText)
{
    UpdateInfo info = Reply(R"({"version":"1.0.0.0","new_version":2,"version_name":"n"})");
    EXPECT_EQ(info.newVersion, "2");
    UpdateDecision startup = StartupUpdateDecision(0, info, kRunning);
    EXPECT_EQ(startup.outcome, UpdateOutcome::UpdateAvailable);
    EXPECT_EQ(startup.text, u"有新版本[2]-[n]，请进入主界面后进行软件更新！ ");
}

// A required update's address is opened by the desktop at every start, an offered one is
// downloaded: anything but a web address is a failed check, and start-up goes on as after one.
TEST(UpdateDecisions, OnlyWebAddressesAreOpenedOrOffered)
{
    const std::string required = R"({"version":"9.0.0.0","min_version":"9.0.0.0","new_version":"9.0.0.0",
        "version_name":"n","version_url":")";
    for (const char* address :
        { "file:///etc/passwd", "javascript:alert(1)", "smb://host/share/setup.sh", "FILE:///etc/passwd",
            "http:/etc/passwd", "https:///etc/passwd", "ftp://h/setup.sh", "/tmp/setup.sh", "" }) {
        SCOPED_TRACE(address);
        UpdateInfo info = Reply((required + address + "\"}").c_str());
        EXPECT_EQ(StartupUpdateDecision(0, info, kRunning).outcome, UpdateOutcome::NoAction);
        EXPECT_EQ(DialogCheckDecision(0, info, kRunning).outcome, UpdateOutcome::NoAction);
    }
    for (const char* address :
        { "http://h/setup.sh", "HTTPS://h/setup.sh", "https://h:8443/d/setup.sh?x=1" }) {
        SCOPED_TRACE(address);
        UpdateInfo info = Reply((required + address + "\"}").c_str());
        EXPECT_EQ(StartupUpdateDecision(0, info, kRunning).url, address);
        EXPECT_EQ(DialogCheckDecision(0, info, kRunning).outcome, UpdateOutcome::UpdateAvailable);
    }
}

TEST(UpdateDecisions, AbsentMinimumNeverForcesAnUpdate)
{
    UpdateInfo info = Reply(R"({"version":"1.0.0.0"})");
    EXPECT_EQ(StartupUpdateDecision(0, info, VersionNumber()).outcome, UpdateOutcome::NoAction);
}

} // namespace
