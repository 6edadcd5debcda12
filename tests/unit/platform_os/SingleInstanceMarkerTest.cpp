#include "platform/os/OsLayer.h"

#include <QUuid>
#include <csignal>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string UniqueMarkerName()
{
    return "Global\\ZANDREL_TEST_" + QUuid::createUuid().toString(QUuid::Id128).toStdString();
}

// A child that holds the marker until it is killed; reports through a pipe whether it got it.
struct MarkerHolder {
    pid_t pid = -1;
    bool acquired = false;

    explicit MarkerHolder(const std::string& name)
    {
        int channel[2];
        if (pipe(channel) != 0)
            return;
        pid = fork();
        if (pid == 0) {
            close(channel[0]);
            char answer = platform::os::Os().AcquireSingleInstanceMarker(name) ? '1' : '0';
            (void)!write(channel[1], &answer, 1);
            pause();
            _exit(0);
        }
        close(channel[1]);
        char answer = '0';
        acquired = read(channel[0], &answer, 1) == 1 && answer == '1';
        close(channel[0]);
    }

    void Kill(int signalNumber)
    {
        kill(pid, signalNumber);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }

    ~MarkerHolder()
    {
        if (pid > 0)
            Kill(SIGTERM);
    }
};

bool AcquireInFreshProcess(const std::string& name)
{
    pid_t pid = fork();
    if (pid == 0)
        _exit(platform::os::Os().AcquireSingleInstanceMarker(name) ? 0 : 1);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(SingleInstanceMarker, RefusedWhileAnotherProcessHoldsIt)
{
    std::string name = UniqueMarkerName();
    MarkerHolder first(name);
    ASSERT_TRUE(first.acquired);
    EXPECT_FALSE(AcquireInFreshProcess(name));
}

TEST(SingleInstanceMarker, FreeAgainAfterTheHolderEnded)
{
    std::string name = UniqueMarkerName();
    MarkerHolder first(name);
    ASSERT_TRUE(first.acquired);
    first.Kill(SIGTERM);
    EXPECT_TRUE(AcquireInFreshProcess(name));
}

TEST(SingleInstanceMarker, FreeAgainAfterTheHolderWasKilled)
{
    std::string name = UniqueMarkerName();
    MarkerHolder first(name);
    ASSERT_TRUE(first.acquired);
    first.Kill(SIGKILL);
    EXPECT_TRUE(AcquireInFreshProcess(name));
}

TEST(SingleInstanceMarker, AnEmptyOrOverlongNameIsRefused)
{
    EXPECT_FALSE(AcquireInFreshProcess(""));
    EXPECT_FALSE(AcquireInFreshProcess(std::string(200, 'x')));
}

} // namespace
