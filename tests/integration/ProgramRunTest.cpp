#include "ProgramRunSupport.h"

#include "support/WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int kStartTimeoutMs = 60000;

const char* const kUpToDateReply
    = "{\"result\":\"0\",\"version\":\"" ZANDREL_PROJECT_VERSION
      "\",\"new_version\":\"" ZANDREL_PROJECT_VERSION "\",\"min_version\":\"" ZANDREL_PROJECT_VERSION
      "\",\"version_name\":\"Tessik\",\"version_url\":\"\"}";
const char* const kRequiredReply = "{\"result\":\"0\",\"version\":\"99.0.0.2\",\"new_version\":\"99.0.0.2\","
                                   "\"min_version\":\"99.0.0.1\",\"version_name\":\"Tessik\","
                                   "\"version_url\":\"http://127.0.0.1:1/setup.sh\"}";

bool IsEngineHelper(const std::pair<qint64, QString>& child) { return child.second.contains("--type="); }

class ProgramRunTest : public ::testing::Test {
protected:
    TestSite site;
    QTemporaryDir home;
};

TEST_F(ProgramRunTest, RunsTheSiteRefusesASecondInstanceAndRecoversFromAKill)
{
    site.SetUpdateReply(kUpToDateReply);
    ProgramFolder folder(site);

    ProgramRun first(folder, ProgramEnvironment(home.path()));
    ASSERT_TRUE(WaitUntil([&] { return site.lobbyHits == 1; }, kStartTimeoutMs))
        << first.StandardError().toStdString();
    EXPECT_EQ(site.startRecordHits, 1);
    // The engine's helpers are this same program in their own role: they started, and
    // none of them took the instance marker (the page would not have loaded otherwise).
    auto children = first.Children();
    EXPECT_TRUE(std::any_of(children.begin(), children.end(), IsEngineHelper));

    ProgramRun second(folder, ProgramEnvironment(home.path()));
    ASSERT_TRUE(WaitUntil([&] { return second.StandardError().contains("Tessik客户端已经启动!"); }, 20000))
        << second.StandardError().toStdString();
    EXPECT_TRUE(second.Children().empty());
    second.Kill();
    EXPECT_EQ(site.lobbyHits, 1);

    first.Kill();
    // A download of the killed run left its partial file, listed by the program; another
    // program's partial file beside it is not the program's to remove.
    QDir(home.path()).mkpath("state/zandrel");
    const QString stale = home.filePath("录像.mp4.download"), foreign = home.filePath("other.iso.download");
    for (const QString& path : { stale, foreign }) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QFile journal(home.filePath("state/zandrel/partial-downloads"));
    ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
    journal.write((stale + "\n").toUtf8());
    journal.close();

    ProgramRun third(folder, ProgramEnvironment(home.path()));
    EXPECT_TRUE(WaitUntil([&] { return site.lobbyHits == 2; }, kStartTimeoutMs))
        << third.StandardError().toStdString();
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_TRUE(QFileInfo::exists(foreign));
}

TEST_F(ProgramRunTest, ARequiredUpdateEndsTheProgramAfterItsMessage)
{
    VirtualDisplay display;
    if (!display.Available())
        GTEST_SKIP() << "needs Xvfb and xdotool";
    site.SetUpdateReply(kRequiredReply);
    ProgramFolder folder(site);
    ProgramRun run(folder, ProgramEnvironment(home.path(), &display));

    // The message box takes the focus; Enter answers it as a user would.
    ASSERT_TRUE(AnswerTheBoxWithReturn(display, kStartTimeoutMs)) << run.StandardError().toStdString();
    ASSERT_TRUE(run.WaitForExit(20000)) << run.StandardError().toStdString();
    EXPECT_FALSE(run.Crashed());
    EXPECT_EQ(run.ExitCode(), 0);
}

// A reply that demands an update with an address that is not the web's is a failed check: nothing
// is handed to the desktop and the lobby opens (a message box would hold the start-up).
TEST_F(ProgramRunTest, ARequiredUpdateToAnotherSchemeIsAFailedCheck)
{
    int lobbies = 0;
    for (const char* address :
        { "file:///etc/passwd", "javascript:alert(1)", "smb://127.0.0.1/share/setup.sh" }) {
        SCOPED_TRACE(address);
        site.SetUpdateReply(
            std::string("{\"version\":\"99.0.0.2\",\"new_version\":\"99.0.0.2\",\"min_version\":"
                        "\"99.0.0.1\",\"version_name\":\"n\",\"version_url\":\"")
            + address + "\"}");
        ProgramFolder folder(site);
        ProgramRun run(folder, ProgramEnvironment(home.path()));
        EXPECT_TRUE(WaitUntil([&] { return site.lobbyHits == lobbies + 1; }, kStartTimeoutMs))
            << run.StandardError().toStdString();
        lobbies = site.lobbyHits;
        EXPECT_FALSE(run.WaitForExit(0));
        run.Kill();
    }
}

TEST_F(ProgramRunTest, ClosingTheWindowAfterConfirmingEndsWithCodeZero)
{
    VirtualDisplay display;
    if (!display.Available())
        GTEST_SKIP() << "needs Xvfb and xdotool";
    site.SetUpdateReply(kUpToDateReply);
    ProgramFolder folder(site);
    ProgramRun run(folder, ProgramEnvironment(home.path(), &display));
    ASSERT_TRUE(WaitUntil([&] { return site.lobbyHits == 1; }, kStartTimeoutMs))
        << run.StandardError().toStdString();

    ASSERT_TRUE(ConfirmMainWindowClose(display));

    ASSERT_TRUE(run.WaitForExit(20000)) << run.StandardError().toStdString();
    EXPECT_FALSE(run.Crashed());
    EXPECT_EQ(run.ExitCode(), 0);
}

// Where the engine's own resolver rules give the test host an address, the names without
// built-in content reach it and show its reply (compressed, as the site sends it); the echo
// page is still the program's own.
TEST(ProgramRunTestHost, OtherNamesReachTheServerTheTestHostResolvesTo)
{
    TestSite site("<title>Lobby</title><script>"
                  "if (location.host != 'tests') location.href = 'http://tests/';"
                  "else fetch('/request.html').then(function (r) { return r.text(); }).then(function (t) {"
                  "  fetch('/report?host=' + location.host"
                  "      + '&echo=' + (t.indexOf('URL: http://tests/request.html') >= 0)); });"
                  "</script>");
    site.SetUpdateReply(kUpToDateReply);
    QTemporaryDir home;
    ProgramFolder folder(site);
    QProcessEnvironment environment = ProgramEnvironment(home.path());
    environment.insert("QTWEBENGINE_CHROMIUM_FLAGS",
        QString::fromStdString(
            "--host-resolver-rules=\"MAP tests 127.0.0.1:" + std::to_string(site.Port()) + "\""));
    ProgramRun run(folder, environment);
    EXPECT_TRUE(WaitUntil([&] { return !site.Reports().empty(); }, kStartTimeoutMs))
        << run.StandardError().toStdString();
    const std::vector<std::string> expected { "echo=true&host=tests" };
    EXPECT_EQ(site.Reports(), expected);
}

} // namespace
