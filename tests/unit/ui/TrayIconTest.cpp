#include "MainFrameFixture.h"
#include "platform/ui/ModalAnswerer.h"
#include "platform/ui/WindowOps.h"
#include "platform/ui/qt/MessageDispatcher.h"
#include "platform/ui/qt/WidgetHandles.h"
#include "ui/MenuElementUI.h"
#include "ui/MenuUI.h"
#include "ui/MenuWindow.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

// The main frame's notification-area icon and the menus it opens, driven by synthetic
// icon callbacks (the offscreen desktop has no notification area).
class TrayIconTest : public MainFrameFixture {
protected:
    void SetUp() override
    {
        WriteConfig("optionexit=\"1\"");
        OpenFrame(100, 100, 1000, 700);
    }

    void TearDown() override
    {
        MenuWindow::BroadcastToMenus(MenuWindow::kCloseAll, nullptr);
        WaitUntil([] { return MenuWindow::OpenMenus().empty(); });
        MainFrameFixture::TearDown();
    }

    void Callback(WPARAM iconId, UINT mouse) { PostMessage(hwnd, frame->TrayMessage(), iconId, mouse); }
    QWidget* Widget() const { return qt::WidgetFromHandle(hwnd); }
    // Every posted message so far has been handled once this returns.
    void Drain()
    {
        bool done = false;
        qt::MessageDispatcher::Instance()->PostTask([&] { done = true; });
        WaitUntil([&] { return done; });
    }
    static std::vector<std::u16string> Texts(MenuWindow* menu)
    {
        std::vector<std::u16string> texts;
        texts.reserve(menu->GetMenu()->GetCount());
        for (int i = 0; i < menu->GetMenu()->GetCount(); ++i)
            texts.push_back(static_cast<MenuElementUI*>(menu->GetMenu()->GetItemAt(i))->GetItemInfo()->text);
        return texts;
    }
    static MenuElementUI* Row(MenuWindow* menu, int index)
    {
        return static_cast<MenuElementUI*>(menu->GetMenu()->GetItemAt(index));
    }
    static void Press(MenuElementUI* row)
    {
        TEventUI event;
        event.Type = UIEVENT_BUTTONDOWN;
        event.pSender = row;
        row->DoEvent(event);
    }
};

TEST_F(TrayIconTest, LeftClicksRestoreAHiddenOrMinimisedWindowAndLeaveAShownOneMaximised)
{
    for (UINT mouse : { WM_LBUTTONUP, WM_LBUTTONDBLCLK }) {
        ShowWindow(hwnd, SW_HIDE);
        Callback(1, mouse);
        EXPECT_TRUE(WaitUntil([&] { return Widget()->isVisible(); })) << mouse;

        ShowWindow(hwnd, SW_MINIMIZE);
        Callback(1, mouse);
        EXPECT_TRUE(WaitUntil([&] { return !Widget()->isMinimized(); })) << mouse;

        // Also what a window minimised a moment ago looks like before the window manager says so.
        ShowWindow(hwnd, SW_SHOWMAXIMIZED);
        Callback(1, mouse);
        Drain();
        EXPECT_TRUE(Widget()->isMaximized()) << mouse;
        ShowWindow(hwnd, SW_RESTORE);
    }
}

TEST_F(TrayIconTest, OtherIconsAndMessagesAreIgnored)
{
    // The offscreen desktop has no notification area: the icon is not there, its callbacks still work.
    EXPECT_FALSE(frame->IsTrayIconAdded());
    ShowWindow(hwnd, SW_HIDE);
    Callback(2, WM_LBUTTONUP);
    Callback(2, WM_RBUTTONUP);
    Callback(1, WM_MOUSEMOVE);
    Callback(1, WM_RBUTTONDOWN);
    Drain();
    EXPECT_FALSE(Widget()->isVisible());
    EXPECT_TRUE(MenuWindow::OpenMenus().empty());
}

TEST_F(TrayIconTest, RightClickOpensTheTrayMenuAtTheCursor)
{
    Callback(1, WM_RBUTTONUP);
    ASSERT_TRUE(WaitUntil([] { return MenuWindow::OpenMenus().size() == 1; }));
    MenuWindow* menu = MenuWindow::OpenMenus().front();
    EXPECT_EQ(menu->GetMenu()->GetRootId(), 7);
    EXPECT_EQ(Texts(menu), (std::vector<std::u16string> { u"打开主界面", u"退出客户端" }));
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Row(menu, i)->FindSubControl(u"control_checked")->GetStyleName(), u"menu_item_unchecked");
    RECT placed = GetWindowRect(menu->GetHWND());
    POINT cursor = GetCursorPos();
    EXPECT_TRUE(placed.left == cursor.x || placed.right == cursor.x);
    EXPECT_TRUE(placed.top == cursor.y || placed.bottom == cursor.y);
}

TEST_F(TrayIconTest, TrayMenuOpensTheHiddenWindowAndExitsOnlyWhenConfirmed)
{
    ShowWindow(hwnd, SW_HIDE);
    Callback(1, WM_RBUTTONUP);
    ASSERT_TRUE(WaitUntil([] { return MenuWindow::OpenMenus().size() == 1; }));
    Press(Row(MenuWindow::OpenMenus().front(), 0));
    EXPECT_TRUE(WaitUntil([&] { return Widget()->isVisible() && MenuWindow::OpenMenus().empty(); }));

    std::vector<ModalInfo> asked;
    SetModalAnswerer([&](const ModalInfo& info) -> std::optional<int> {
        asked.push_back(info);
        return 2;
    });
    Callback(1, WM_RBUTTONUP);
    ASSERT_TRUE(WaitUntil([] { return MenuWindow::OpenMenus().size() == 1; }));
    Press(Row(MenuWindow::OpenMenus().front(), 1));
    ASSERT_TRUE(WaitUntil([&] { return !asked.empty(); }));
    EXPECT_EQ(asked[0].text, u"你确定要关闭Tessik微端吗");
    Drain();
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_TRUE(MenuWindow::OpenMenus().empty());

    // OK this time: the frame closes.
    SetModalAnswerer([](const ModalInfo&) -> std::optional<int> { return 1; });
    Callback(1, WM_RBUTTONUP);
    ASSERT_TRUE(WaitUntil([] { return MenuWindow::OpenMenus().size() == 1; }));
    Press(Row(MenuWindow::OpenMenus().front(), 1));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(hwnd); }));
}

TEST_F(TrayIconTest, CaptionMenuButtonOpensMenuGroupSixBelowItself)
{
    CControlUI* button = frame->FindControl(u"menubtn");
    ASSERT_TRUE(button);
    ASSERT_TRUE(button->GetInterface(u"MenuButton"));
    ASSERT_TRUE(WaitUntil([&] { return button->GetWidth() > 0; }));
    ASSERT_TRUE(SimulateClick(button));
    ASSERT_TRUE(WaitUntil([] { return MenuWindow::OpenMenus().size() == 1; }));
    MenuWindow* menu = MenuWindow::OpenMenus().front();
    EXPECT_EQ(Texts(menu), (std::vector<std::u16string> { u"软件升级", u"退出客户端" }));
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Row(menu, i)->FindSubControl(u"control_checked")->GetStyleName(), u"menu_item_normal");
    RECT pos = button->GetPos();
    POINT corner = ClientToScreen(hwnd, POINT { pos.left, pos.bottom });
    RECT placed = GetWindowRect(menu->GetHWND());
    // Hangs from the corner, or flips left of it on the small offscreen screen.
    EXPECT_TRUE(placed.left == corner.x || placed.right == corner.x) << placed.left << " " << corner.x;
    EXPECT_EQ(placed.top, corner.y);
}

} // namespace
