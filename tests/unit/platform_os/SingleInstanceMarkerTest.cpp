#include "platform/os/OsLayer.h"

#include <QUuid>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string UniqueMarkerName()
{
    return "Global\\ZANDREL_TEST_" + QUuid::createUuid().toString(QUuid::Id128).toStdString();
}

// A child that holds the marker until it is killed; reports through a pipe whether it got
// it, and then one byte for each signal the marker receives. One that handles on release
// finishes handling each signal only once Release is called.
struct MarkerHolder {
    pid_t pid = -1;
    bool acquired = false;
    int channel = -1;
    int release = -1;

    explicit MarkerHolder(const std::string& name, bool handlesOnRelease = false)
    {
        int ends[2], releaseEnds[2];
        if (pipe(ends) != 0 || pipe(releaseEnds) != 0)
            return;
        pid = fork();
        if (pid == 0) {
            close(ends[0]);
            close(releaseEnds[1]);
            const int out = ends[1], in = releaseEnds[0];
            char answer = platform::os::Os().AcquireSingleInstanceMarker(name) ? '1' : '0';
            platform::os::Os().ListenOnSingleInstanceMarker([out, in, handlesOnRelease] {
                (void)!write(out, "s", 1);
                char byte;
                if (handlesOnRelease)
                    (void)!read(in, &byte, 1);
            });
            (void)!write(out, &answer, 1);
            pause();
            _exit(0);
        }
        close(ends[1]);
        close(releaseEnds[0]);
        channel = ends[0];
        release = releaseEnds[1];
        char answer = '0';
        acquired = read(channel, &answer, 1) == 1 && answer == '1';
    }

    // Waits (generously) for expected signals; false when fewer come, or one more follows
    // within half a second.
    bool ReceivesSignals(int expected)
    {
        auto next = [this](int timeoutMs) {
            pollfd ready { channel, POLLIN, 0 };
            char byte;
            return poll(&ready, 1, timeoutMs) > 0 && read(channel, &byte, 1) == 1;
        };
        for (int i = 0; i < expected; ++i) {
            if (!next(30000))
                return false;
        }
        return !next(500);
    }

    void Release() { (void)!write(release, "r", 1); }

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
        if (channel >= 0)
            close(channel);
        if (release >= 0)
            close(release);
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

bool SignalInFreshProcess(const std::string& name)
{
    pid_t pid = fork();
    if (pid == 0)
        _exit(platform::os::Os().SignalSingleInstanceMarker(name) ? 0 : 1);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A raw connection to the marker, as any program on the machine can make.
int ConnectToMarker(const std::string& name)
{
    const std::string bare = name.substr(name.find('\\') + 1);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, bare.data(), bare.size());
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address),
            static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + bare.size()))
        != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

TEST(SingleInstanceMarker, ALaterStartSignalsTheHolderAndJunkOrSilenceDoesNot)
{
    std::string name = UniqueMarkerName();
    EXPECT_FALSE(SignalInFreshProcess(name)) << "nobody holds the marker yet";
    MarkerHolder first(name);
    ASSERT_TRUE(first.acquired);

    // Connections are served one at a time: junk, a request cut short, an overlong one and
    // a silent one held open all come before the real request and must not count.
    for (const std::string& junk : { std::string(), std::string("zandrel sh"), std::string("zandrel show\nx"),
             std::string(70000, 'x') }) {
        int fd = ConnectToMarker(name);
        (void)!send(fd, junk.data(), junk.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        close(fd);
    }
    int silent = ConnectToMarker(name);
    EXPECT_TRUE(SignalInFreshProcess(name));
    EXPECT_TRUE(first.ReceivesSignals(1));
    close(silent);

    EXPECT_TRUE(SignalInFreshProcess(name));
    EXPECT_TRUE(SignalInFreshProcess(name));
    EXPECT_TRUE(first.ReceivesSignals(2));
}

// The later start shows its box once the running window has come forward, which would
// otherwise cover the box.
TEST(SingleInstanceMarker, ALaterStartGoesOnOnceTheHolderHandledItsSignal)
{
    std::string name = UniqueMarkerName();
    MarkerHolder first(name, true);
    ASSERT_TRUE(first.acquired);
    pid_t later = fork();
    if (later == 0)
        _exit(platform::os::Os().SignalSingleInstanceMarker(name) ? 0 : 1);
    ASSERT_TRUE(first.ReceivesSignals(1));
    int status = 0;
    EXPECT_EQ(waitpid(later, &status, WNOHANG), 0) << "the later start went on while its signal was handled";
    first.Release();
    ASSERT_EQ(waitpid(later, &status, 0), later);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(SingleInstanceMarker, AnEmptyOrOverlongNameIsRefused)
{
    EXPECT_FALSE(AcquireInFreshProcess(""));
    EXPECT_FALSE(AcquireInFreshProcess(std::string(200, 'x')));
}

} // namespace
