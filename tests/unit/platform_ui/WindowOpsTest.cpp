#include "TestWindow.h"
#include "support/WaitUntil.h"

#include "platform/ui/ModalAnswerer.h"
#include "platform/ui/WindowOps.h"
#include "platform/ui/qt/RatioResize.h"
#include "platform/ui/qt/WindowWidget.h"

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

// Records sizes and keys; a frame consumes Escape like the main window does.
class RecordingWindow : public TestWindow {
public:
    using TestWindow::TestWindow;
    LRESULT OnSize(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override
    {
        sizes.push_back({ static_cast<int>(lParam & 0xFFFF), static_cast<int>((lParam >> 16) & 0xFFFF) });
        return TestWindow::OnSize(msg, wParam, lParam, handled);
    }
    LRESULT ResponseDefaultKeyEvent(WPARAM key) override
    {
        keys.push_back(key);
        return consumeEscape && key == VK_ESCAPE;
    }
    std::vector<std::pair<int, int>> sizes;
    std::vector<WPARAM> keys;
    bool consumeEscape = false;
};

TEST(WindowOps, StylesChooseChildOwnedToolAndTopMostWindows)
{
    TestWindow frame(kSimpleLayout);
    ASSERT_TRUE(frame.Create(nullptr, u"", UI_WNDSTYLE_FRAME | WS_THICKFRAME, 0));
    TestWindow child("<Window><Control /></Window>");
    ASSERT_TRUE(child.Create(frame.GetHWND(), u"", UI_WNDSTYLE_CHILD, 0));
    TestWindow popup("<Window><Control /></Window>");
    ASSERT_TRUE(popup.Create(frame.GetHWND(), u"", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
    TestWindow dialog("<Window><Control /></Window>");
    ASSERT_TRUE(dialog.Create(frame.GetHWND(), u"", UI_WNDSTYLE_DIALOG, 0));

    EXPECT_TRUE(frame.Widget()->isWindow());
    EXPECT_TRUE(frame.Widget()->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(child.Widget()->isWindow());
    EXPECT_EQ(child.Widget()->windowType(), Qt::Widget);
    EXPECT_EQ(popup.Widget()->windowType(), Qt::Tool);
    EXPECT_TRUE(popup.Widget()->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(dialog.Widget()->windowType(), Qt::Dialog);
    EXPECT_TRUE(IsWindowVisible(dialog.GetHWND())) << "the dialog style includes WS_VISIBLE";
    EXPECT_FALSE(IsWindowVisible(popup.GetHWND()));
    for (TestWindow* owned : { &child, &popup, &dialog })
        EXPECT_EQ(GetParent(owned->GetHWND()), frame.GetHWND());
    EXPECT_EQ(GetParent(frame.GetHWND()), nullptr);
    EXPECT_EQ(GetAncestorRoot(child.GetHWND()), frame.GetHWND());
    DestroyWindow(frame.GetHWND());
    EXPECT_FALSE(IsWindow(popup.GetHWND())) << "owned windows end with their owner";
}

TEST(WindowOps, GeometryOfChildWindowsIsInTheParentsClientCoordinates)
{
    TestWindow frame(kSimpleLayout);
    ASSERT_TRUE(frame.Create(nullptr, u"", UI_WNDSTYLE_FRAME, 0, 100, 80, 640, 480));
    RecordingWindow child("<Window><Control /></Window>");
    ASSERT_TRUE(child.Create(frame.GetHWND(), u"", UI_WNDSTYLE_CHILD, 0));
    frame.ShowWindow();
    EXPECT_TRUE(SetWindowPos(child.GetHWND(), 10, 20, 200, 150, SWP_NOZORDER));
    RECT client = GetClientRect(child.GetHWND());
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 150);
    RECT onScreen = GetWindowRect(child.GetHWND());
    RECT frameRect = GetWindowRect(frame.GetHWND());
    EXPECT_EQ(onScreen.left - frameRect.left, 10);
    EXPECT_EQ(onScreen.top - frameRect.top, 20);
    EXPECT_EQ(onScreen.right - onScreen.left, 200);
    POINT p = ClientToScreen(child.GetHWND(), POINT { 1, 2 });
    EXPECT_EQ(p.x, onScreen.left + 1);
    ASSERT_FALSE(child.sizes.empty());
    EXPECT_EQ(child.sizes.back(), std::make_pair(200, 150)) << "resizing reaches OnSize";

    RECT work = GetWorkArea(frame.GetHWND());
    EXPECT_GT(work.right - work.left, 0);
    EXPECT_FALSE(SetWindowPos(nullptr, 0, 0, 1, 1, 0));
    EXPECT_EQ(GetWindowRect(nullptr).right, 0);
    DestroyWindow(frame.GetHWND());
}

TEST(WindowOps, SystemCommandsMinimiseMaximiseRestoreAndSwapTheWindowButtons)
{
    const char* layout = R"(<Window size="300,200"><HorizontalLayout>
        <Button name="maxbtn" /><Button name="restorebtn" visible="false" /></HorizontalLayout></Window>)";
    TestWindow window(layout);
    ASSERT_TRUE(window.Create(nullptr, u"", UI_WNDSTYLE_FRAME, 0));
    window.ShowWindow();
    window.SendMessageW(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(window.Widget()->isMaximized());
    EXPECT_FALSE(window.FindControl(u"maxbtn")->IsVisible());
    EXPECT_TRUE(window.FindControl(u"restorebtn")->IsVisible());
    window.SendMessageW(WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(window.Widget()->isMaximized());
    EXPECT_TRUE(window.FindControl(u"maxbtn")->IsVisible());
    window.SendMessageW(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(window.Widget()->isMinimized());

    EXPECT_TRUE(ShowWindow(window.GetHWND(), SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(window.GetHWND()));
    ShowWindow(window.GetHWND(), SW_RESTORE);
    EXPECT_TRUE(IsWindowVisible(window.GetHWND()));
    EXPECT_FALSE(window.Widget()->isMinimized()) << "restoring brings a hidden, minimised window back";

    // Restored from the taskbar or the tray, a maximised window comes back maximised.
    window.SendMessageW(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    window.SendMessageW(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    window.SendMessageW(WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(window.Widget()->isMaximized() && !window.Widget()->isMinimized());
    ShowWindow(window.GetHWND(), SW_HIDE);
    ShowWindow(window.GetHWND(), SW_RESTORE);
    EXPECT_TRUE(window.Widget()->isMaximized() && window.Widget()->isVisible());
    DestroyWindow(window.GetHWND());
}

TEST(WindowOps, KeysOfAChildWindowReachItsParentWhichMayConsumeEscape)
{
    RecordingWindow frame(kSimpleLayout);
    frame.consumeEscape = true;
    ASSERT_TRUE(frame.Create(nullptr, u"", UI_WNDSTYLE_FRAME, 0));
    RecordingWindow child("<Window><Control /></Window>");
    ASSERT_TRUE(child.Create(frame.GetHWND(), u"", UI_WNDSTYLE_CHILD, 0));
    SimulateKey(child.GetHWND(), VK_ESCAPE);
    SimulateKey(child.GetHWND(), VK_RETURN);
    EXPECT_EQ(child.keys, (std::vector<WPARAM> { VK_ESCAPE, VK_RETURN }));
    EXPECT_EQ(frame.keys, (std::vector<WPARAM> { VK_ESCAPE, VK_RETURN }));
    QApplication::processEvents();
    EXPECT_TRUE(IsWindow(frame.GetHWND())) << "a consumed Escape does not close";
    EXPECT_TRUE(IsWindow(child.GetHWND()));
    EXPECT_EQ(frame.closeRequests, 0);
    DestroyWindow(frame.GetHWND());
}

TEST(WindowOps, QuitEndsARunningModalLoopAndTheMessageLoop)
{
    TestWindow dialog(kSimpleLayout);
    ASSERT_TRUE(dialog.Create(nullptr, u"", UI_WNDSTYLE_DIALOG, 0));
    UINT modalResult = 99;
    QTimer::singleShot(0, [&] { modalResult = dialog.ShowModal(); });
    QTimer::singleShot(20, [] { PostQuitMessage(3); });
    EXPECT_EQ(CPaintManagerUI::MessageLoop(), 3);
    EXPECT_EQ(modalResult, 0u) << "the abandoned modal loop returns 0";
    EXPECT_TRUE(IsWindow(dialog.GetHWND()));
    DestroyWindow(dialog.GetHWND());
}

TEST(WindowOps, ProgramIconsComeInTwoSizes)
{
    HICON big = LoadProgramIcon(129);
    HICON small = LoadProgramIcon(130);
    ASSERT_TRUE(big && small);
    EXPECT_EQ(LoadProgramIcon(129), big);
    EXPECT_EQ(LoadProgramIcon(131), nullptr);
    TestWindow window(kSimpleLayout);
    ASSERT_TRUE(window.Create(nullptr, u"", UI_WNDSTYLE_FRAME, 0));
    EXPECT_TRUE(SetWindowIcon(window.GetHWND(), big, small));
    EXPECT_FALSE(window.Widget()->windowIcon().isNull());
    EXPECT_FALSE(SetWindowIcon(nullptr, big, small));
    DestroyWindow(window.GetHWND());
}

} // namespace

namespace {

TEST(WindowOps, CaptionBandDragsAndTheBorderResizesOnlyWithAThickFrame)
{
    const char* layout
        = R"(<Window size="300,200" caption="0,0,0,30" sizebox="4,4,4,4"><Control /></Window>)";
    TestWindow fixed(layout);
    ASSERT_TRUE(fixed.Create(nullptr, u"", UI_WNDSTYLE_DIALOG, 0));
    TestWindow sizable(layout);
    ASSERT_TRUE(sizable.Create(nullptr, u"", UI_WNDSTYLE_FRAME | WS_THICKFRAME, 0));
    // Presses reach only mapped windows; creation maps them a moment later.
    fixed.ShowWindow();
    sizable.ShowWindow();
    EXPECT_TRUE(fixed.Widget()->StartSystemDrag(QPoint(150, 10))) << "caption band";
    EXPECT_FALSE(fixed.Widget()->StartSystemDrag(QPoint(150, 100))) << "content";
    EXPECT_FALSE(fixed.Widget()->StartSystemDrag(QPoint(150, 198))) << "no thick frame, no border resize";
    EXPECT_TRUE(sizable.Widget()->StartSystemDrag(QPoint(150, 198)));
    EXPECT_TRUE(sizable.Widget()->StartSystemDrag(QPoint(1, 100)));
    EXPECT_FALSE(sizable.Widget()->StartSystemDrag(QPoint(150, 100)));
    DestroyWindow(fixed.GetHWND());
    DestroyWindow(sizable.GetHWND());
}

class FocusWatcher : public TestWindow {
public:
    using TestWindow::TestWindow;
    LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override
    {
        if (msg == WM_KILLFOCUS)
            focusTakenBy.push_back(reinterpret_cast<HWND>(wParam));
        return TestWindow::HandleCustomMessage(msg, wParam, lParam, handled);
    }
    std::vector<HWND> focusTakenBy;
};

TEST(WindowOps, AWindowLosingActivationLearnsWhichWindowTookIt)
{
    FocusWatcher first(kSimpleLayout);
    TestWindow second(kSimpleLayout);
    ASSERT_TRUE(first.Create(nullptr, u"", UI_WNDSTYLE_FRAME, 0));
    ASSERT_TRUE(second.Create(nullptr, u"", UI_WNDSTYLE_FRAME, 0));
    first.ShowWindow();
    SetForegroundWindow(first.GetHWND());
    if (!WaitUntil([&] { return QApplication::activeWindow() == first.Widget(); }, 2000))
        GTEST_SKIP() << "this platform plugin does not activate windows";
    second.ShowWindow();
    SetForegroundWindow(second.GetHWND());
    ASSERT_TRUE(WaitUntil([&] { return !first.focusTakenBy.empty(); }));
    EXPECT_EQ(first.focusTakenBy.back(), second.GetHWND());
    DestroyWindow(first.GetHWND());
    DestroyWindow(second.GetHWND());
}

} // namespace

TEST(WindowOps, AChildWindowMovesIntoAnotherWindowWithWhatItShowsAndBack)
{
    TestWindow tab(kSimpleLayout), player(kSimpleLayout);
    ASSERT_TRUE(tab.Create(nullptr, u"", UI_WNDSTYLE_FRAME, 0));
    ASSERT_TRUE(player.Create(nullptr, u"", UI_WNDSTYLE_FRAME, 0));
    TestWindow page("<Window><Control /></Window>");
    ASSERT_TRUE(page.Create(tab.GetHWND(), u"", UI_WNDSTYLE_CHILD, 0));
    TestWindow inner("<Window><Control /></Window>");
    ASSERT_TRUE(inner.Create(page.GetHWND(), u"", UI_WNDSTYLE_CHILD, 0));

    EXPECT_TRUE(SetParent(page.GetHWND(), player.GetHWND()));
    EXPECT_EQ(GetParent(page.GetHWND()), player.GetHWND());
    EXPECT_EQ(GetAncestorRoot(inner.GetHWND()), player.GetHWND());
    EXPECT_TRUE(page.Widget()->isVisibleTo(player.Widget()));
    // A top-level window, a window into itself or its own child, and windows that are gone stay put.
    EXPECT_FALSE(SetParent(tab.GetHWND(), player.GetHWND()));
    EXPECT_FALSE(SetParent(page.GetHWND(), inner.GetHWND()));
    EXPECT_FALSE(SetParent(page.GetHWND(), nullptr));
    EXPECT_EQ(GetParent(page.GetHWND()), player.GetHWND());
    EXPECT_TRUE(SetParent(page.GetHWND(), tab.GetHWND()));
    DestroyWindow(player.GetHWND());
    EXPECT_TRUE(IsWindow(inner.GetHWND())) << "the window went home before the player closed";
    DestroyWindow(tab.GetHWND());
    EXPECT_FALSE(IsWindow(inner.GetHWND()));
}

TEST(WindowOps, AResizeKeepingTheRatioHoldsTheOppositeCornerAndStaysWithinItsLimits)
{
    using platform::ui::qt::RatioResizedGeometry;
    const QRect start(1000, 600, 480, 270);
    const QSize minimum(256, 144);
    const QRect screen(0, 0, 1920, 1040);
    const double ratio = 16.0 / 9.0;
    const struct {
        const char* drag;
        Qt::Edges edges;
        QPoint delta;
        QRect expected;
    } rows[] = {
        { "right edge", Qt::RightEdge, { 160, 0 }, { 1000, 600, 640, 360 } },
        { "left edge grows leftwards", Qt::LeftEdge, { -160, 0 }, { 840, 600, 640, 360 } },
        { "bottom edge", Qt::BottomEdge, { 0, 90 }, { 1000, 600, 640, 360 } },
        { "top-left corner", Qt::TopEdge | Qt::LeftEdge, { -160, -10 }, { 840, 510, 640, 360 } },
        { "corner takes the larger change", Qt::BottomEdge | Qt::RightEdge, { 16, 90 },
            { 1000, 600, 640, 360 } },
        { "never below the smallest size", Qt::RightEdge, { -400, 0 }, { 1000, 600, 256, 144 } },
        { "never beyond the screen", Qt::RightEdge, { 4000, 0 }, { 1000, 600, 1849, 1040 } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.drag);
        const QRect result = RatioResizedGeometry(start, row.edges, row.delta, ratio, minimum, screen);
        EXPECT_EQ(result, row.expected);
        EXPECT_NEAR(static_cast<double>(result.width()) / result.height(), ratio, 0.01);
    }
    EXPECT_EQ(RatioResizedGeometry(start, {}, { 50, 50 }, ratio, minimum, screen), start);
}
