#include "ProgramRunSupport.h"

#include "support/WaitUntil.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

constexpr int kStartTimeoutMs = 60000;

// Reports what the site's cookies and local storage hold at load, then sets a cookie with a
// lifetime, a session cookie and a stored value, and says so.
const char* const kLobby
    = "<html><head><title>Lobby</title></head><body><script>"
      "fetch('/report?cookie=' + encodeURIComponent(document.cookie)"
      "  + '&stored=' + encodeURIComponent(localStorage.getItem('kept') || '')).then(function () {"
      "  document.cookie = 'kept=yes; max-age=86400'; document.cookie = 'session=yes';"
      "  localStorage.setItem('kept', 'yes');"
      "  return fetch('/report?set=1'); });"
      "</script></body></html>";

enum class End { Kill, Close };

struct ProfileCase {
    const char* name;
    const char* profileElement;
    End end;
    bool kept;
};

// Whether the engine has written the page's stored value to disk (it commits some seconds later).
bool StorageOnDisk(const QString& profileFolder)
{
    QDirIterator files(profileFolder + "/Local Storage", QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (file.open(QIODevice::ReadOnly) && file.readAll().contains("kept"))
            return true;
    }
    return false;
}

// A first run signs in (cookie and local storage), ends by a kill or by closing the window,
// and a second run looks: the installation's kept profile remembers, the default forgets.
class ProgramProfileTest : public ::testing::TestWithParam<ProfileCase> {
protected:
    TestSite site { kLobby };
    QTemporaryDir home;
};

TEST_P(ProgramProfileTest, SecondRunSeesWhatTheFirstKept)
{
    const ProfileCase& row = GetParam();
    std::unique_ptr<VirtualDisplay> display;
    if (row.end == End::Close) {
        display = std::make_unique<VirtualDisplay>();
        if (!display->Available())
            GTEST_SKIP() << "needs Xvfb and xdotool";
    }
    site.SetUpdateReply("{}");
    ProgramFolder folder(site, row.profileElement);
    const QString profileFolder = home.path() + "/data/zandrel/profile";
    auto reported = [&](const std::string& query) {
        const auto reports = site.Reports();
        return std::count(reports.begin(), reports.end(), query);
    };
    {
        ProgramRun first(folder, ProgramEnvironment(home.path(), display.get()));
        ASSERT_TRUE(WaitUntil([&] { return reported("set=1") == 1; }, kStartTimeoutMs))
            << first.StandardError().toStdString();
        EXPECT_EQ(reported("cookie=&stored="), 1);
        if (row.end == End::Close) {
            ASSERT_TRUE(ConfirmMainWindowClose(*display));
            ASSERT_TRUE(first.WaitForExit(30000)) << first.StandardError().toStdString();
            EXPECT_EQ(first.ExitCode(), 0);
        } else {
            // The engine's cookie database commits only every half minute: the kill comes long
            // before that, and only as soon as the stored value is on disk.
            if (row.kept) {
                ASSERT_TRUE(WaitUntil([&] { return StorageOnDisk(profileFolder); }, 30000));
            }
            first.Kill();
        }
    }
    ProgramRun second(folder, ProgramEnvironment(home.path(), display.get()));
    ASSERT_TRUE(WaitUntil([&] { return reported("set=1") == 2; }, kStartTimeoutMs))
        << second.StandardError().toStdString();
    if (row.kept) {
        EXPECT_EQ(reported("cookie=kept=yes&stored=yes"), 1);
        EXPECT_EQ(QFile::permissions(profileFolder) & 0x0077, 0) << "only the user reads the profile";
    } else {
        EXPECT_EQ(reported("cookie=&stored="), 2);
        EXPECT_FALSE(QFile::exists(profileFolder));
    }
}

INSTANTIATE_TEST_SUITE_P(Profiles, ProgramProfileTest,
    ::testing::Values(ProfileCase { "KeptAcrossAClose", "<Profile persistent=\"1\"/>", End::Close, true },
        ProfileCase { "KeptAcrossAKill", "<Profile persistent=\"1\"/>", End::Kill, true },
        ProfileCase { "ForgottenByDefault", "", End::Close, false },
        ProfileCase { "ForgottenForAnotherValue", "<Profile persistent=\"yes\"/>", End::Kill, false }),
    [](const ::testing::TestParamInfo<ProfileCase>& info) { return std::string(info.param.name); });

} // namespace
