#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

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

    // The newest of count viewable windows of the program (the dialog just opened), once it
    // has the focus; empty when it never became viewable or focused.
    QString WaitForFocusedDialog(DesktopProgram& program, int count)
    {
        if (!desktop.WaitForViewableCount(program.run->Pid(), count))
            return {};
        QString dialog = desktop.ViewableWindows(program.run->Pid()).back();
        if (!WaitUntil([&] { return DesktopSession::SameWindow(desktop.ActiveWindow(), dialog); }, 30000))
            return {};
        return dialog;
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

TEST_F(DialogMappingTest, EveryDialogIsMappedFocusedAndAnsweredInEveryFreshStart)
{
    for (int start = 1; start <= kFreshStarts; ++start) {
        SCOPED_TRACE("fresh start " + std::to_string(start));
        DesktopProgram program(desktop);
        ASSERT_TRUE(program.WaitUntilReady()) << "the main window never became viewable";
        EXPECT_TRUE(WaitUntil(
            [&] { return DesktopSession::SameWindow(desktop.ActiveWindow(), program.mainWindow); }, 30000))
            << "the main window has no focus after start";

        // Every other start the save fails: a folder stands where config.xml was.
        const bool saveFails = start % 2 == 0;
        if (saveFails) {
            QString config = program.folder.Path() + "/config.xml";
            ASSERT_TRUE(QFile::remove(config) && QDir().mkdir(config));
        }
        ASSERT_TRUE(program.ClickButton(program.mainWindow, "设置"));
        QString settings = WaitForFocusedDialog(program, 2);
        ASSERT_FALSE(settings.isEmpty())
            << "the settings window; viewable: " << Describe(program).toStdString();
        if (saveFails) {
            ASSERT_TRUE(program.ClickButton(settings, "保存"));
            QString failure = WaitForFocusedDialog(program, 3);
            ASSERT_FALSE(failure.isEmpty())
                << "the save failure; viewable: " << Describe(program).toStdString();
            desktop.Key("Return");
            ASSERT_TRUE(desktop.WaitForViewableCount(program.run->Pid(), 2)) << "Enter answers it";
        }
        ASSERT_TRUE(program.ClickButton(settings, "关闭"));
        ASSERT_TRUE(desktop.WaitForViewableCount(program.run->Pid(), 1));

        // A second launch says the first one runs, and can be answered.
        if (!saveFails) {
            ProgramRun second(program.folder, ProgramEnvironment(program.home.path(), &desktop.Display()));
            ASSERT_TRUE(desktop.WaitForViewableCount(second.Pid(), 1)) << "the second launch's box";
            QString box = desktop.ViewableWindows(second.Pid()).front();
            const bool focused
                = WaitUntil([&] { return DesktopSession::SameWindow(desktop.ActiveWindow(), box); }, 30000);
            if (!focused)
                DesktopSession::Keep(desktop.Capture("root"), "second-launch-box-unfocused");
            EXPECT_TRUE(focused) << "the second launch's box " << box.toStdString()
                                 << " has no focus; viewable: " << Describe(program).toStdString();
            desktop.Key("Return");
            ASSERT_TRUE(second.WaitForExit(60000)) << "Enter answers the second launch's box";
            EXPECT_EQ(second.ExitCode(), 0);
        }

        // Alternately the caption's close button and the window manager's close key.
        desktop.Run("xdotool", { "windowactivate", "--sync", program.mainWindow });
        if (start % 4 < 2)
            ASSERT_TRUE(program.ClickButton(program.mainWindow, "关闭"));
        else
            desktop.Key("alt+F4");
        QString box = WaitForFocusedDialog(program, 2);
        ASSERT_FALSE(box.isEmpty()) << "the close confirmation; viewable: "
                                    << Describe(program).toStdString();
        EXPECT_TRUE(desktop.Property(box, "WM_TRANSIENT_FOR").contains("window id"));
        if (start == 1)
            DesktopSession::Keep(desktop.Capture("root"), "close-confirmation");

        ASSERT_TRUE(program.ClickButton(box, "确定"));
        ASSERT_TRUE(program.run->WaitForExit(60000)) << "OK did not end the program";
        EXPECT_EQ(program.run->ExitCode(), 0);
    }
}

} // namespace
