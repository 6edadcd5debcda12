#include <gtest/gtest.h>

#include "DesktopSession.h"
#include "support/WaitUntil.h"

namespace {

constexpr int kFreshStarts = 20;

class DialogMappingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!desktop.Available())
            GTEST_SKIP() << "needs Xvfb, openbox, xdotool and x11-utils";
    }

    // The dialog a close asks with: viewable, transient for the main window and focused.
    QString WaitForConfirmation(DesktopProgram& program)
    {
        if (!desktop.WaitForViewableCount(program.run->Pid(), 2))
            return {};
        for (const QString& window : desktop.ViewableWindows(program.run->Pid())) {
            if (!DesktopSession::SameWindow(window, program.mainWindow))
                return window;
        }
        return {};
    }

    QString Describe(DesktopProgram& program)
    {
        QString text;
        for (const QString& window : desktop.ViewableWindows(program.run->Pid()))
            text += window + " " + desktop.Property(window, "_NET_WM_WINDOW_TYPE") + " "
                + desktop.Property(window, "WM_NAME") + "; ";
        return text + " active " + desktop.ActiveWindow();
    }

    DesktopSession desktop;
};

// Off in the suite while about one start in twenty still shows no confirmation (issue 15);
// run it with --gtest_also_run_disabled_tests.
TEST_F(DialogMappingTest, DISABLED_CloseConfirmationIsMappedFocusedAndAnsweredInEveryFreshStart)
{
    for (int start = 1; start <= kFreshStarts; ++start) {
        SCOPED_TRACE("fresh start " + std::to_string(start));
        DesktopProgram program(desktop);
        ASSERT_TRUE(program.WaitUntilReady()) << "the main window never became viewable";
        EXPECT_TRUE(WaitUntil(
            [&] { return DesktopSession::SameWindow(desktop.ActiveWindow(), program.mainWindow); }, 30000))
            << "the main window has no focus after start";

        // Alternately the caption's close button and the window manager's close key.
        QRect frame = desktop.Geometry(program.mainWindow);
        if (start % 2)
            desktop.ClickAt(program.mainWindow, frame.width() - 20, 22);
        else
            desktop.Key("alt+F4");
        QString box = WaitForConfirmation(program);
        ASSERT_FALSE(box.isEmpty()) << "the close confirmation was never mapped; viewable: "
                                    << Describe(program).toStdString();
        EXPECT_TRUE(desktop.Property(box, "WM_TRANSIENT_FOR").contains("window id"));
        EXPECT_TRUE(WaitUntil([&] { return DesktopSession::SameWindow(desktop.ActiveWindow(), box); }, 30000))
            << "the confirmation has no focus";

        QRect boxFrame = desktop.Geometry(box);
        desktop.ClickAt(box, boxFrame.width() - 154, boxFrame.height() - 31);
        ASSERT_TRUE(program.run->WaitForExit(60000)) << "OK did not end the program";
        EXPECT_EQ(program.run->ExitCode(), 0);
    }
}

} // namespace
