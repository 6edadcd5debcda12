#include <gtest/gtest.h>

#include "ProgramOnDesktopTest.h"
#include "support/WaitUntil.h"

namespace {

class FocusTest : public ProgramOnDesktopTest {
protected:
    // Types one key and waits until the page titled page reports it, the keys before included.
    bool TypeReaches(const char* key, const std::string& page, const std::string& expected)
    {
        // The page's listener and its first frame on the screen: the engine drops a key before it.
        if (!WaitUntil([&] { return program->site.Listening(page) && program->site.Shown(page); }, 30000))
            return false;
        // The window manager's focus first: a key before it goes nowhere.
        if (!WaitUntil(
                [&] { return DesktopSession::SameWindow(desktop.ActiveWindow(), program->mainWindow); },
                30000))
            return false;
        desktop.Key(key);
        return WaitUntil([&] { return program->site.Typed(page) == expected; }, 30000);
    }

    void Click(QPoint at) const { desktop.ClickAt(program->mainWindow, at.x(), at.y()); }
};

TEST_F(FocusTest, TheSelectedPageHasTheKeyboardAfterEachWayOfReachingIt)
{
    ASSERT_TRUE(TypeReaches("a", "Lobby", "a")) << "at start";

    Click({ 600, 150 }); // the lobby's button opens a room in a new, selected tab
    ASSERT_TRUE(TypeReaches("b", "Room1", "b"))
        << "in a tab a page opened; lobby got " << program->site.Typed("Lobby");

    ASSERT_TRUE(program->ClickTab("Lobby"));
    ASSERT_TRUE(TypeReaches("c", "Lobby", "ac")) << "after a click on a tab button";
    ASSERT_TRUE(program->ClickTab("Room1"));
    ASSERT_TRUE(TypeReaches("d", "Room1", "bd")) << "after a click on the other tab button";

    ASSERT_TRUE(program->CloseTab("Room1"));
    ASSERT_TRUE(TypeReaches("e", "Lobby", "ace"))
        << "after its tab closed; the room got " << program->site.Typed("Room1");

    ASSERT_TRUE(program->ClickButton(program->mainWindow, "最小化"));
    ASSERT_TRUE(WaitUntil(
        [&] { return desktop.Property(program->mainWindow, "WM_STATE").contains("Iconic"); }, 30000));
    desktop.Run("xdotool", { "windowactivate", program->mainWindow });
    ASSERT_TRUE(TypeReaches("f", "Lobby", "acef")) << "after restoring from minimised";

    ASSERT_TRUE(program->ClickButton(program->mainWindow, "设置"));
    ASSERT_TRUE(desktop.WaitForViewableCount(program->run->Pid(), 2));
    QString settings;
    for (const QString& window : desktop.ViewableWindows(program->run->Pid())) {
        if (!DesktopSession::SameWindow(window, program->mainWindow))
            settings = window;
    }
    ASSERT_TRUE(
        WaitUntil([&] { return DesktopSession::SameWindow(desktop.ActiveWindow(), settings); }, 30000))
        << "the settings window has the focus while it is shown";
    desktop.Key("x");
    ASSERT_TRUE(program->ClickButton(settings, "关闭"));
    ASSERT_TRUE(desktop.WaitForViewableCount(program->run->Pid(), 1));
    ASSERT_TRUE(TypeReaches("g", "Lobby", "acefg")) << "after the dialog closed (the key typed into the "
                                                       "dialog must not reach the page)";
}

} // namespace
