#include "platform/os/CrashGuard.h"

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs body in a forked child with its own cache folder and returns the child's wait status.
int RunChild(const QString& cacheHome, void (*body)())
{
    pid_t pid = fork();
    if (pid == 0) {
        setenv("XDG_CACHE_HOME", cacheHome.toUtf8().constData(), 1);
        platform::os::CMiniDumper::SetProgramVersion("9.8.7.6");
        static platform::os::CMiniDumper guard(true);
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

QStringList Reports(const QString& cacheHome)
{
    return QDir(cacheHome + "/zandrel/crash").entryList({ "crash-*.txt" }, QDir::Files);
}

std::string ReadFile(const QString& path)
{
    std::ifstream in(path.toStdString());
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// Raised rather than provoked: a sanitizer build would catch a real bad access first.
void Segfault() { std::raise(SIGSEGV); }

void Abort() { std::abort(); }

void ExitNormally() { }

TEST(CrashGuard, ReportsASegfaultAndKeepsTheCrashStatus)
{
    QTemporaryDir cache;
    int status = RunChild(cache.path(), Segfault);

    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);
    QStringList reports = Reports(cache.path());
    ASSERT_EQ(reports.size(), 1);
    std::string report = ReadFile(cache.path() + "/zandrel/crash/" + reports.first());
    EXPECT_NE(report.find("signal 11 (SIGSEGV)"), std::string::npos) << report;
    EXPECT_NE(report.find("version 9.8.7.6"), std::string::npos) << report;
    EXPECT_NE(report.find("backtrace:\n"), std::string::npos) << report;
}

TEST(CrashGuard, ReportsAnAbort)
{
    QTemporaryDir cache;
    int status = RunChild(cache.path(), Abort);

    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGABRT);
    QStringList reports = Reports(cache.path());
    ASSERT_EQ(reports.size(), 1);
    EXPECT_NE(
        ReadFile(cache.path() + "/zandrel/crash/" + reports.first()).find("(SIGABRT)"), std::string::npos);
}

TEST(CrashGuard, WritesNothingWhenTheProcessEndsNormally)
{
    QTemporaryDir cache;
    int status = RunChild(cache.path(), ExitNormally);

    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(Reports(cache.path()).isEmpty());
}

} // namespace
