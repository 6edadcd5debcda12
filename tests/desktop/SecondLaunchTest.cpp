#include <gtest/gtest.h>

#include <QThread>
#include <csignal>
#include <functional>

#include "ProgramOnDesktopTest.h"
#include "support/WaitUntil.h"

namespace {

class SecondLaunchTest : public ProgramOnDesktopTest {
protected:
    // Starts the program again: it shows its box, which OK answers, and ends with 0. started runs
    // once the second start is under way.
    void LaunchAgainAndAnswer(const std::function<void()>& started = {})
    {
        ProgramRun second(program->folder, ProgramEnvironment(program->home.path(), &desktop.Display()));
        if (started)
            started();
        ASSERT_TRUE(desktop.WaitForViewableCount(second.Pid(), 1)) << "the second start shows no box";
        const QString box = desktop.ViewableWindows(second.Pid()).front();
        EXPECT_TRUE(WaitUntil([&] { return DesktopSession::SameWindow(desktop.ActiveWindow(), box); }, 30000))
            << "the box has no focus";
        desktop.Key("Return");
        ASSERT_TRUE(second.WaitForExit(30000)) << "OK did not end the second start";
        EXPECT_EQ(second.ExitCode(), 0);
    }
};

TEST_F(SecondLaunchTest, BringsAMinimisedMaximisedWindowBackMaximisedAndFocused)
{
    ASSERT_TRUE(program->ClickButton(program->mainWindow, "最大化"));
    ASSERT_TRUE(WaitUntil([&] { return Maximised(); }, 30000));
    desktop.Run("xdotool", { "windowminimize", program->mainWindow });
    ASSERT_TRUE(desktop.WaitForViewableCount(program->run->Pid(), 0)) << "the window never went away";

    LaunchAgainAndAnswer();
    EXPECT_TRUE(desktop.WaitForViewableCount(program->run->Pid(), 1)) << "the running window stayed away";
    EXPECT_TRUE(WaitUntil([&] { return Active(); }, 30000)) << "the running window has no focus";
    EXPECT_TRUE(Maximised());
}

// A running program busy when the second start asks (stopped here for a second) comes forward
// before the box shows, instead of covering the box and taking its keyboard.
TEST_F(SecondLaunchTest, ARunningWindowThatAnswersLateDoesNotCoverTheBox)
{
    ASSERT_TRUE(WaitUntil([&] { return Active(); }, 30000));
    const auto pid = static_cast<pid_t>(program->run->Pid());
    kill(pid, SIGSTOP);
    LaunchAgainAndAnswer([&] {
        // Time enough for the second start to show its box, were it not waiting for the window.
        QThread::msleep(1000);
        kill(pid, SIGCONT);
    });
}

} // namespace
