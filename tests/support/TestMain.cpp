#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

// A test binary that drives the real engine defines this hook to prepare the
// process (schemes, engine switches) before the application object exists.
extern "C" void ZandrelTestBeforeApplication() __attribute__((weak));
// A test binary that lets the engine start it again for its sub-processes defines
// this; a result of 0 or more means this run was such a sub-process.
extern "C" int ZandrelTestSubProcess(int argc, char** argv) __attribute__((weak));

// Every test binary runs headless and, as root, without Chromium's sandbox.
int main(int argc, char** argv)
{
    if (ZandrelTestSubProcess) {
        const int exitCode = ZandrelTestSubProcess(argc, argv);
        if (exitCode >= 0)
            return exitCode;
    }
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
