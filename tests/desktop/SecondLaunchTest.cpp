#include <gtest/gtest.h>

#include "ProgramOnDesktopTest.h"
#include "support/WaitUntil.h"

namespace {

class SecondLaunchTest : public ProgramOnDesktopTest {
protected:
    // Starts the program again: it shows its box, which OK answers, and ends with 0.
    void LaunchAgainAndAnswer()
    {
        ProgramRun second(program->folder, ProgramEnvironment(program->home.path(), &desktop.Display()));
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
    const QRect frame = desktop.Geometry(program->mainWindow);
    desktop.ClickAt(program->mainWindow, frame.width() - 64, 22);
    ASSERT_TRUE(WaitUntil([&] { return Maximised(); }, 30000));
    desktop.Run("xdotool", { "windowminimize", program->mainWindow });
    ASSERT_TRUE(desktop.WaitForViewableCount(program->run->Pid(), 0)) << "the window never went away";

    LaunchAgainAndAnswer();
    EXPECT_TRUE(desktop.WaitForViewableCount(program->run->Pid(), 1)) << "the running window stayed away";
    EXPECT_TRUE(WaitUntil([&] { return Active(); }, 30000)) << "the running window has no focus";
    EXPECT_TRUE(Maximised());
}

} // namespace
