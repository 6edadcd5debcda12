#include "TestWindow.h"
#include "support/WaitUntil.h"

#include "platform/ui/ModalAnswerer.h"
#include "platform/ui/OptionUI.h"
#include "platform/ui/ProgressUI.h"
#include "platform/ui/TabLayoutUI.h"
#include "platform/ui/TrayIcon.h"
#include "platform/ui/WindowContainerUI.h"
#include "platform/ui/WindowOps.h"
#include "platform/ui/qt/WaylandWindowGeometry.h"
#include "platform/ui/qt/WidgetHandles.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

class Windows : public testing::Test {
protected:
    void TearDown() override { SetModalAnswerer(nullptr); }
};

TEST_F(Windows, InitRunsInsideCreateAndWindowInitArrivesOnceAfterIt)
{
    TestWindow window(kSimpleLayout);
    ASSERT_TRUE(window.Create(nullptr, u"title", UI_WNDSTYLE_FRAME, 0));
    EXPECT_EQ(window.events, std::vector<std::string> { "init" });
    ASSERT_TRUE(WaitUntil([&] { return window.events.size() >= 2; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(window.events, (std::vector<std::string> { "init", "windowinit:root" }));
    RECT rc = GetClientRect(window.GetHWND());
    EXPECT_EQ(rc.right, 300);
    EXPECT_EQ(rc.bottom, 200);
    DestroyWindow(window.GetHWND());
}

TEST_F(Windows, CreateFailsWithoutALayout)
{
    TestWindow window("<Window><Nothing /></Window>");
    testing::internal::CaptureStderr();
    EXPECT_EQ(window.Create(nullptr, u"", UI_WNDSTYLE_FRAME, 0), nullptr);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(window.finalMessages, 0);
}

TEST_F(Windows, ShowModalReturnsTheCloseCodeAndFinalMessageComesFirst)
{
    TestWindow window(kSimpleLayout);
    ASSERT_TRUE(window.Create(nullptr, u"", UI_WNDSTYLE_DIALOG, 0));
    QTimer::singleShot(0, [&] { window.Close(42); });
    EXPECT_EQ(window.ShowModal(), 42u);
    EXPECT_EQ(window.finalMessages, 1);
    EXPECT_FALSE(IsWindow(window.GetHWND()));
}

TEST_F(Windows, OnCloseCanRefuseTheClose)
{
    TestWindow window(kSimpleLayout);
    window.refuseClose = true;
    ASSERT_TRUE(window.Create(nullptr, u"", UI_WNDSTYLE_FRAME, 0));
    window.Close(1);
    ASSERT_TRUE(WaitUntil([&] { return window.closeRequests == 1; }));
    EXPECT_TRUE(IsWindow(window.GetHWND()));
    window.refuseClose = false;
    window.Close(1);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(window.GetHWND()); }));
    EXPECT_EQ(window.finalMessages, 1);
}

TEST_F(Windows, EscapeClosesATopLevelWindowWithCancelUnlessConsumed)
{
    TestWindow window(kSimpleLayout);
    ASSERT_TRUE(window.Create(nullptr, u"", UI_WNDSTYLE_DIALOG, 0));
    QTimer::singleShot(0, [&] { SimulateKey(window.GetHWND(), VK_ESCAPE); });
    EXPECT_EQ(window.ShowModal(), 2u);
}

TEST_F(Windows, AnswererClosesModalWindowsWithItsCodeAndSeesWhatTheyShow)
{
    std::vector<ModalInfo> asked;
    SetModalAnswerer([&](const ModalInfo& info) -> std::optional<int> {
        asked.push_back(info);
        return 5;
    });
    TestWindow window(kSimpleLayout);
    ASSERT_TRUE(window.Create(nullptr, u"Caption here", UI_WNDSTYLE_DIALOG, 0));
    EXPECT_EQ(window.ShowModal(), 5u);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].className, u"TestWindow");
    EXPECT_EQ(asked[0].caption, u"Caption here");
    // The window was initialised before the answer.
    EXPECT_EQ(window.events.at(1), "windowinit:root");
}

TEST_F(Windows, ClickNotifiesControlHandlersThenTheWindowWithCaseInsensitiveNames)
{
    TestWindow window(kSimpleLayout);
    ASSERT_TRUE(window.Create(nullptr, u"", UI_WNDSTYLE_FRAME, 0));
    CControlUI* ok = window.FindControl(u"OkBtn");
    ASSERT_TRUE(ok);
    std::vector<std::string> order;
    ok->OnNotify([&](TNotifyUI& msg) {
        order.push_back("handler");
        EXPECT_EQ(msg.type, kNotifyClick);
        return true;
    });
    bool matched = false;
    window.onNotify = [&](TNotifyUI& msg) {
        if (msg.type == kNotifyClick) {
            order.push_back("window");
            matched = msg.SenderIs(u"okbtn") && msg.SenderIs(u"OKBTN") && !msg.SenderIs(u"okbt");
        }
    };
    EXPECT_TRUE(SimulateClick(ok));
    EXPECT_EQ(order, (std::vector<std::string> { "handler", "window" }));
    EXPECT_TRUE(matched);

    ok->SetEnabled(false);
    EXPECT_FALSE(SimulateClick(ok));
    EXPECT_EQ(order.size(), 2u);
    EXPECT_TRUE(EqualsNoCase(u"Tab_Main", u"tab_main"));
    DestroyWindow(window.GetHWND());
}

TEST_F(Windows, HandlerReturningFalseHidesTheNotificationFromTheWindow)
{
    TestWindow window(kSimpleLayout);
    ASSERT_TRUE(window.Create(nullptr, u"", UI_WNDSTYLE_FRAME, 0));
    CControlUI* ok = window.FindControl(u"OkBtn");
    ok->OnNotify([](TNotifyUI&) { return false; });
    int clicks = 0;
    window.onNotify = [&](TNotifyUI& msg) { clicks += msg.type == kNotifyClick; };
    SimulateClick(ok);
    EXPECT_EQ(clicks, 0);
    DestroyWindow(window.GetHWND());
}

TEST_F(Windows, OptionGroupsKeepOneSelectedAndClickComesBeforeTheChange)
{
    TestWindow window(kSimpleLayout);
    ASSERT_TRUE(window.Create(nullptr, u"", UI_WNDSTYLE_FRAME, 0));
    auto* a = static_cast<COptionUI*>(window.FindControl(u"a"));
    auto* b = static_cast<COptionUI*>(window.FindControl(u"b"));
    auto* solo = static_cast<COptionUI*>(window.FindControl(u"solo"));
    ASSERT_TRUE(a && b && solo);
    EXPECT_TRUE(a->IsSelected());
    bool stateSeenAtClick = true;
    window.onNotify = [&](TNotifyUI& msg) {
        if (msg.type == kNotifyClick && msg.SenderIs(u"b"))
            stateSeenAtClick = b->IsSelected();
    };
    SimulateClick(b);
    EXPECT_FALSE(stateSeenAtClick);
    EXPECT_TRUE(b->IsSelected());
    EXPECT_FALSE(a->IsSelected());
    SimulateClick(b);
    EXPECT_TRUE(b->IsSelected()) << "a grouped option stays selected when clicked again";
    a->Selected(true);
    EXPECT_FALSE(b->IsSelected());

    SimulateClick(solo);
    EXPECT_TRUE(solo->IsSelected());
    SimulateClick(solo);
    EXPECT_FALSE(solo->IsSelected()) << "an option without group toggles";
    EXPECT_TRUE(a->IsSelected());

    // A removed option leaves its group: selecting another must not touch it.
    static_cast<CContainerUI*>(window.FindControl(u"bar"))->Remove(a);
    b->Selected(true);
    EXPECT_TRUE(b->IsSelected());
    DestroyWindow(window.GetHWND());
}

TEST_F(Windows, TabLayoutSelectsAndFollowsRemovals)
{
    TestWindow window(kSimpleLayout);
    ASSERT_TRUE(window.Create(nullptr, u"", UI_WNDSTYLE_FRAME, 0));
    auto* tabs = static_cast<CTabLayoutUI*>(window.FindControl(u"tabs"));
    ASSERT_TRUE(tabs);
    EXPECT_EQ(tabs->GetCurSel(), 0);
    EXPECT_TRUE(tabs->SelectItem(1, true));
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_FALSE(tabs->GetItemAt(0)->IsVisible());
    EXPECT_TRUE(tabs->GetItemAt(1)->IsVisible());
    EXPECT_FALSE(tabs->SelectItem(2));
    EXPECT_FALSE(tabs->SelectItem(-1));
    EXPECT_EQ(tabs->GetCurSel(), 1);

    auto* page2 = new CLabelUI;
    tabs->Add(page2);
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_FALSE(page2->IsVisible());
    tabs->Remove(tabs->GetItemAt(1));
    EXPECT_EQ(tabs->GetCurSel(), 1) << "the page that moved into the place is shown";
    EXPECT_TRUE(page2->IsVisible());
    tabs->Remove(page2);
    EXPECT_EQ(tabs->GetCurSel(), 0);
    tabs->Remove(tabs->GetItemAt(0));
    EXPECT_EQ(tabs->GetCurSel(), -1);
    EXPECT_FALSE(tabs->SelectItem(0));
    DestroyWindow(window.GetHWND());
}

TEST_F(Windows, ProgressValueStaysInRange)
{
    CProgressUI progress;
    progress.SetMaxValue(200);
    progress.SetValue(250);
    EXPECT_EQ(progress.GetValue(), 200);
    progress.SetValue(-3);
    EXPECT_EQ(progress.GetValue(), 0);
    progress.SetMinValue(10);
    EXPECT_EQ(progress.GetValue(), 10);
}

TEST_F(Windows, RemovingAWindowContainerDestroysTheHostedChildWindow)
{
    TestWindow frame(kSimpleLayout);
    ASSERT_TRUE(frame.Create(nullptr, u"", UI_WNDSTYLE_FRAME, 0));
    bool childGone = false;
    auto* child = new TestWindow("<Window size=\"50,50\"><Control name=\"inner\" /></Window>");
    child->finalFlag = &childGone;
    ASSERT_TRUE(child->Create(frame.GetHWND(), u"https://page/", UI_WNDSTYLE_CHILD, 0));
    EXPECT_EQ(GetParent(child->GetHWND()), frame.GetHWND());

    auto* tabs = static_cast<CTabLayoutUI*>(frame.FindControl(u"tabs"));
    auto* container = new CWindowContainerUI;
    container->SetWindow(frame.GetPaintManager(), child->GetPaintManager(), child);
    tabs->Add(container);
    HWND childHwnd = child->GetHWND();
    EXPECT_TRUE(IsWindow(childHwnd));
    tabs->SelectItem(2);
    frame.ShowWindow();
    EXPECT_TRUE(IsWindowVisible(childHwnd));
    container->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(childHwnd)) << "hiding the container hides the hosted window";

    tabs->Remove(container);
    EXPECT_TRUE(childGone);
    EXPECT_FALSE(IsWindow(childHwnd));
    delete child;
    DestroyWindow(frame.GetHWND());
}

TEST_F(Windows, ClosingAFrameEndsItsChildWindowsFirst)
{
    auto* frame = new TestWindow(kSimpleLayout);
    ASSERT_TRUE(frame->Create(nullptr, u"", UI_WNDSTYLE_FRAME, 0));
    auto* child = new TestWindow("<Window><Control /></Window>");
    bool childGone = false;
    child->finalFlag = &childGone;
    ASSERT_TRUE(child->Create(frame->GetHWND(), u"", UI_WNDSTYLE_CHILD, 0));
    auto* container = new CWindowContainerUI;
    container->SetWindow(child);
    static_cast<CTabLayoutUI*>(frame->FindControl(u"tabs"))->Add(container);
    DestroyWindow(frame->GetHWND());
    EXPECT_TRUE(childGone);
    delete child;
    delete frame;
}

} // namespace

namespace {

TEST(WindowRoot, AttachingANewRootReplacesTheWindowsControls)
{
    TestWindow window(kSimpleLayout);
    ASSERT_TRUE(window.Create(nullptr, u"", UI_WNDSTYLE_FRAME, 0));
    auto* list = new CContainerUI;
    auto* item = new CLabelUI;
    item->SetName(u"replacement");
    list->Add(item);
    window.GetPaintManager()->AttachDialog(list);
    EXPECT_EQ(window.FindControl(u"OkBtn"), nullptr);
    EXPECT_EQ(window.FindControl(u"replacement"), item);
    EXPECT_EQ(item->GetManager(), window.GetPaintManager());
    DestroyWindow(window.GetHWND());
}

TEST(WindowMessageNumbers, RegisteredNumbersAreStablePerNameAndAboveTheProgramsOwn)
{
    UINT tray = RegisterWindowMessageW(u"WM_TRAYICON");
    EXPECT_GE(tray, 0xC000u);
    EXPECT_EQ(RegisterWindowMessageW(u"WM_TRAYICON"), tray);
    EXPECT_NE(RegisterWindowMessageW(u"OTHER"), tray);
}

} // namespace

namespace {

TEST(WindowLifetime, ChildWindowWhoseHostWidgetIsDeletedGetsItsFinalMessageOnce)
{
    auto* host = new QWidget;
    HWND hostHandle = qt::HandleFromWidget(host);
    auto* child = new TestWindow("<Window><Control /></Window>");
    bool gone = false;
    child->finalFlag = &gone;
    ASSERT_TRUE(child->Create(hostHandle, u"", UI_WNDSTYLE_CHILD, 0));
    EXPECT_EQ(GetParent(child->GetHWND()), hostHandle);
    delete host;
    EXPECT_TRUE(gone);
    EXPECT_EQ(child->finalMessages, 1);
    EXPECT_FALSE(IsWindow(child->GetHWND()));
    delete child;
}

TEST(WindowLifetime, WindowThatFreesItselfInFinalMessageCanRunModally)
{
    class SelfFreeing : public TestWindow {
    public:
        using TestWindow::TestWindow;
        void OnFinalMessage(HWND) override { delete this; }
    };
    auto* window = new SelfFreeing(kSimpleLayout);
    ASSERT_TRUE(window->Create(nullptr, u"", UI_WNDSTYLE_DIALOG, 0));
    CControlUI* ok = window->FindControl(u"OkBtn");
    window->onNotify = [window](TNotifyUI& msg) {
        if (msg.type == kNotifyClick)
            window->Close(9);
    };
    QTimer::singleShot(0, [ok] { SimulateClick(ok); });
    EXPECT_EQ(window->ShowModal(), 9u);
}

TEST(WaylandWindowGeometry, EachWindowGetsItsFilterOnceWhateverOtherChildrenItHas)
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        GTEST_SKIP() << "the geometry is resent on Qt's Wayland platform alone; the entry "
                        "unit_platform_ui_wayland runs this case on a headless compositor";
    QWindow window;
    new QObject(&window);
    const auto children = window.children().size();
    qt::ResendGeometryOnExpose(&window);
    EXPECT_EQ(window.children().size(), children + 1) << "another child object is no filter";
    qt::ResendGeometryOnExpose(&window);
    EXPECT_EQ(window.children().size(), children + 1) << "a second call adds no second filter";
}

} // namespace
