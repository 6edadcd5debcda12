#include <QApplication>
#include <QTemporaryDir>
#include <csignal>
#include <cstdlib>
#include <execinfo.h>
#include <gtest/gtest.h>
#include <unistd.h>

// A test binary that drives the real engine defines this hook to prepare the
// process (schemes, engine switches) before the application object exists.
extern "C" void ZandrelTestBeforeApplication() __attribute__((weak));
// A test binary that lets the engine start it again for its sub-processes defines
// this; a result of 0 or more means this run was such a sub-process.
extern "C" int ZandrelTestSubProcess(int argc, char** argv) __attribute__((weak));

namespace {

// A crash prints the stack before the process dies: under load a failed run's log is often all
// there is of it. Only calls that are safe in a signal handler.
void PrintStackAndDie(int signal)
{
    void* frames[64];
    const int count = backtrace(frames, 64);
    const char header[] = "\n*** the test process crashed; its stack:\n";
    (void)!write(STDERR_FILENO, header, sizeof header - 1);
    backtrace_symbols_fd(frames, count, STDERR_FILENO);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Under a sanitizer its own report says more, so its handlers stay.
void PrintStackOnCrash()
{
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    // The unwinder loads on its first use, which a signal handler must not be.
    void* frame = nullptr;
    backtrace(&frame, 1);
    for (int signal : { SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT })
        std::signal(signal, PrintStackAndDie);
#endif
}

} // namespace

// Every test binary runs headless and, as root, without Chromium's sandbox.
int main(int argc, char** argv)
{
    if (ZandrelTestSubProcess) {
        const int exitCode = ZandrelTestSubProcess(argc, argv);
        if (exitCode >= 0)
            return exitCode;
    }
    PrintStackOnCrash();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    setenv("QT_DISABLE_SHADER_DISK_CACHE", "1", 0);
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
    // What the program keeps per user (its log, its list of running downloads) stays with the run.
    QTemporaryDir state;
    setenv("XDG_STATE_HOME", state.path().toUtf8().constData(), 0);
    testing::InitGoogleTest(&argc, argv);
    if (ZandrelTestBeforeApplication)
        ZandrelTestBeforeApplication();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
