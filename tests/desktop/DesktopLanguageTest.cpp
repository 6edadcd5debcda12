#include <gtest/gtest.h>

#include "DesktopSession.h"
#include "support/WaitUntil.h"

namespace {

// The program's own texts from the engine and Qt follow the desktop's language: the space
// bar's alert box, as the window manager shows its title.
TEST(DesktopLanguageTest, TheSpaceBarAlertIsTitledInTheDesktopsLanguage)
{
    DesktopSession desktop;
    if (!desktop.Available())
        GTEST_SKIP() << "needs Xvfb, openbox, xdotool and x11-utils";
    struct Case {
        const char* lang;
        QString title;
    } cases[] = {
        { "zh_CN.UTF-8", QStringLiteral("Javascript警告 - ") },
        { "C.UTF-8", QStringLiteral("Javascript Alert - ") },
        { "en_US.UTF-8", QStringLiteral("Javascript Alert - ") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lang);
        DesktopProgram program(desktop, [&](const QString&, QProcessEnvironment& environment) {
            environment.remove("LC_ALL");
            environment.remove("LC_MESSAGES");
            environment.remove("LANGUAGE");
            environment.insert("LANG", c.lang);
        });
        ASSERT_TRUE(program.WaitUntilReady());
        ASSERT_TRUE(WaitUntil([&] { return program.site.Listening("Lobby"); }, 30000));
        ASSERT_TRUE(WaitUntil(
            [&] { return DesktopSession::SameWindow(desktop.ActiveWindow(), program.mainWindow); }, 30000));
        desktop.Key("space");
        ASSERT_TRUE(desktop.WaitForViewableCount(program.run->Pid(), 2));
        QString alert;
        for (const QString& window : desktop.ViewableWindows(program.run->Pid())) {
            if (!DesktopSession::SameWindow(window, program.mainWindow))
                alert = window;
        }
        const QString title = desktop.Run("xdotool", { "getwindowname", alert });
        EXPECT_TRUE(title.startsWith(c.title)) << title.toStdString();
        desktop.Key("Return");
        EXPECT_TRUE(desktop.WaitForViewableCount(program.run->Pid(), 1));
    }
}

} // namespace
