#include <gtest/gtest.h>

#include "DesktopSession.h"
#include "support/WaitUntil.h"

namespace {

void UseDesktopLanguage(QProcessEnvironment& environment, const char* lang)
{
    environment.remove("LC_ALL");
    environment.remove("LC_MESSAGES");
    environment.remove("LANGUAGE");
    environment.insert("LANG", lang);
}

// The title of the one window of the program besides its main window, once it shows.
QString OtherWindowTitle(const DesktopSession& desktop, const DesktopProgram& program)
{
    if (!desktop.WaitForViewableCount(program.run->Pid(), 2))
        return {};
    for (const QString& window : desktop.ViewableWindows(program.run->Pid())) {
        if (!DesktopSession::SameWindow(window, program.mainWindow))
            return desktop.Run("xdotool", { "getwindowname", window });
    }
    return {};
}

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
            UseDesktopLanguage(environment, c.lang);
        });
        ASSERT_TRUE(program.WaitUntilReady());
        ASSERT_TRUE(WaitUntil([&] { return program.site.Listening("Lobby"); }, 30000));
        ASSERT_TRUE(WaitUntil(
            [&] { return DesktopSession::SameWindow(desktop.ActiveWindow(), program.mainWindow); }, 30000));
        desktop.Key("space");
        const QString title = OtherWindowTitle(desktop, program);
        EXPECT_TRUE(title.startsWith(c.title)) << title.toStdString();
        desktop.Key("Return");
        EXPECT_TRUE(desktop.WaitForViewableCount(program.run->Pid(), 1));
    }
}

// The page's file picker, colour picker and a download's save dialog, in thirds of the page from
// the top, each opened with a click.
const char kPickersPage[] = R"(<html><head><meta charset="utf-8"><title>Lobby</title><style>
body { margin: 0 } .third { position: fixed; left: 0; right: 0; height: 33.3%; width: 100%; display: block }
</style></head><body>
<input type="file" class="third" style="top: 0">
<input type="color" class="third" style="top: 33.3%">
<a href="data:text/plain,notes" download="notes.txt" class="third" style="top: 66.6%">下载</a>
</body></html>)";

TEST(DesktopLanguageTest, TheEnginesDialogsAreTitledInTheDesktopsLanguage)
{
    DesktopSession desktop;
    if (!desktop.Available())
        GTEST_SKIP() << "needs Xvfb, openbox, xdotool and x11-utils";
    DesktopProgram program(
        desktop,
        [](const QString&, QProcessEnvironment& environment) {
            UseDesktopLanguage(environment, "zh_CN.UTF-8");
        },
        kPickersPage);
    // Ready once the page is drawn: a click before that reaches nothing.
    ASSERT_TRUE(program.WaitUntilReady());
    struct Row {
        const char* opener;
        // Which sixth of the window's height is clicked: the middle of each third of the page
        // below a caption shorter than a sixth.
        int sixth;
        QString title;
    } rows[] = {
        { "file input", 1, QStringLiteral("打开") },
        { "colour input", 3, QStringLiteral("选择颜色") },
        { "download", 5, QStringLiteral("另存为") },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.opener);
        ASSERT_TRUE(WaitUntil(
            [&] { return DesktopSession::SameWindow(desktop.ActiveWindow(), program.mainWindow); }, 30000));
        const QRect window = desktop.Geometry(program.mainWindow);
        desktop.ClickAt(program.mainWindow, window.width() / 2, window.height() * row.sixth / 6);
        EXPECT_EQ(OtherWindowTitle(desktop, program), row.title);
        desktop.Key("Escape");
        ASSERT_TRUE(desktop.WaitForViewableCount(program.run->Pid(), 1));
    }
}

} // namespace
