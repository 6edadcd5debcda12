#include "ProgramRunSupport.h"
#include "support/LocalHttpServer.h"

#include "support/WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr int kStartTimeoutMs = 45000;

QByteArray Text(const TestConfig& config) { return QByteArray::fromStdString(config.Text()); }

void WriteFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(contents), contents.size());
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qint64 ParentOf(const QString& pid)
{
    QFile stat("/proc/" + pid + "/stat");
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // The parent pid is the second field after the parenthesised command name.
    const QString line = QString::fromUtf8(stat.readAll());
    const QStringList fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() < 2 ? -1 : fields[1].toLongLong();
}

// A page's renderer is forked by the engine's zygote (and keeps the zygote's command line),
// so the program has one once it has a grandchild.
bool HasRenderer(const ProgramRun& run)
{
    QSet<qint64> children;
    const QStringList entries = QDir("/proc").entryList(QDir::Dirs);
    for (const QString& entry : entries)
        if (ParentOf(entry) == run.Pid())
            children.insert(entry.toLongLong());
    for (const QString& entry : entries)
        if (children.contains(ParentOf(entry)))
            return true;
    return false;
}

class RobustnessProgramTest : public ::testing::Test {
protected:
    TestSite site;
    QTemporaryDir home;
};

struct UpdateFault {
    const char* name;
    LocalHttpServer::Fault fault;
};

class UpdateServerFaultTest : public RobustnessProgramTest,
                              public ::testing::WithParamInterface<UpdateFault> { };

// Whatever the update server does, the start-up check gives up within its ten seconds and
// the program goes on to the notice and the lobby.
TEST_P(UpdateServerFaultTest, TheProgramStillStarts)
{
    LocalHttpServer updates(GetParam().fault);
    ProgramFolder folder(site);
    WriteFile(folder.Path() + "/config.xml",
        Text(SiteConfig(site).Set("Update", "url", updates.Url("/update/check"))));

    ProgramRun run(folder, ProgramEnvironment(home.path()));
    ASSERT_TRUE(WaitUntil([&] { return site.lobbyHits == 1; }, kStartTimeoutMs))
        << run.StandardError().toStdString();
    EXPECT_EQ(updates.Requests().size(), 1u);
    EXPECT_EQ(site.startRecordHits, 1);
    // The lobby is asked for before its renderer is started.
    EXPECT_TRUE(WaitUntil([&] { return HasRenderer(run); }, kStartTimeoutMs));
    EXPECT_FALSE(run.WaitForExit(0));
}

INSTANTIATE_TEST_SUITE_P(Faults, UpdateServerFaultTest,
    ::testing::Values(UpdateFault { "Garbage", LocalHttpServer::Fault::Garbage },
        UpdateFault { "HugeJson", LocalHttpServer::Fault::HugeJson },
        UpdateFault { "DeeplyNestedJson", LocalHttpServer::Fault::DeeplyNestedJson },
        UpdateFault { "EndlessSlowBody", LocalHttpServer::Fault::EndlessSlowBody },
        UpdateFault { "CloseAtOnce", LocalHttpServer::Fault::CloseAtOnce }),
    [](const ::testing::TestParamInfo<UpdateFault>& info) { return std::string(info.param.name); });

// A damaged config.xml: the program starts all the same (its first tab gets a renderer) and
// leaves the user's file exactly as it was.
TEST_F(RobustnessProgramTest, DamagedConfigurationStartsWithDefaultsAndIsLeftAlone)
{
    const QByteArray good = Text(SiteConfig(site));
    QByteArray binary(qsizetype(64) * 1024, '\0');
    std::mt19937 random(11);
    for (char& c : binary)
        c = static_cast<char>(random());
    const std::vector<std::pair<const char*, QByteArray>> damaged {
        { "truncated", good.left(good.size() / 2) },
        { "binary", binary },
    };
    for (const auto& [name, contents] : damaged) {
        SCOPED_TRACE(name);
        ProgramFolder folder(site);
        const QString path = folder.Path() + "/config.xml";
        WriteFile(path, contents);
        ProgramRun run(folder, ProgramEnvironment(home.path()));
        EXPECT_TRUE(WaitUntil([&] { return HasRenderer(run); }, kStartTimeoutMs))
            << run.StandardError().toStdString();
        EXPECT_FALSE(run.WaitForExit(0)) << run.StandardError().toStdString();
        run.Kill();
        EXPECT_EQ(ReadFile(path), contents);
    }
}

// Without its skin the program says why and ends, so the next start is not turned away.
TEST_F(RobustnessProgramTest, MissingSkinEndsTheProgramWithAnError)
{
    ProgramFolder folder(site);
    ASSERT_TRUE(QFile::remove(folder.Path() + "/skin"));
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start);
        ProgramRun run(folder, ProgramEnvironment(home.path()));
        ASSERT_TRUE(run.WaitForExit(kStartTimeoutMs)) << run.StandardError().toStdString();
        EXPECT_FALSE(run.Crashed());
        EXPECT_NE(run.ExitCode(), 0);
        EXPECT_TRUE(run.StandardError().contains("skin")) << run.StandardError().toStdString();
        EXPECT_FALSE(run.StandardError().contains("Tessik客户端已经启动!"));
    }
}

// Ten megabytes of elements the program does not know, before its own: it still finds its
// site and update server, and does not rewrite the file.
TEST_F(RobustnessProgramTest, TenMegabyteConfigurationIsReadAndLeftAlone)
{
    site.SetUpdateReply(
        R"({"result":"0","version":")" ZANDREL_PROJECT_VERSION R"(","new_version":")" ZANDREL_PROJECT_VERSION
        R"(","min_version":")" ZANDREL_PROJECT_VERSION R"(",)"
        R"("version_name":"n","version_url":""})");
    QByteArray filler;
    while (filler.size() < qsizetype(10) * 1024 * 1024)
        filler
            += "<Extra note=\"room list cache 0123456789abcdef0123456789abcdef\">text &amp; more</Extra>\n";
    const QByteArray contents = Text(SiteConfig(site).Prepend(filler.toStdString()));
    ProgramFolder folder(site);
    const QString path = folder.Path() + "/config.xml";
    WriteFile(path, contents);

    ProgramRun run(folder, ProgramEnvironment(home.path()));
    ASSERT_TRUE(WaitUntil([&] { return site.lobbyHits == 1; }, kStartTimeoutMs))
        << run.StandardError().toStdString();
    EXPECT_FALSE(run.WaitForExit(0));
    run.Kill();
    EXPECT_TRUE(ReadFile(path) == contents);
}

} // namespace
