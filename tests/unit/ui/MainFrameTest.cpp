#include "MainFrameFixture.h"

#include "ids/WindowMessageIds.h"
#include "platform/ui/RenderEngine.h"
#include "platform/ui/ScrollStripUI.h"
#include "platform/ui/WindowOps.h"
#include "platform/ui/qt/ControlWidget.h"
#include "platform/ui/qt/WidgetHandles.h"
#include "ui/MenuIds.h"
#include "ui/TabWin.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

class MainFrameTest : public MainFrameFixture {
protected:
    void SetUp() override
    {
        WriteConfig("powerboot=\"0\" test=\"0\" optionexit=\"0\"");
        platform::ui::SetModalAnswerer([this](const ModalInfo& info) -> std::optional<int> {
            asked.push_back(info.text);
            shown.push_back(info.className + u":" + info.caption);
            return answer;
        });
        OpenFrame();
    }

    void OpenPopup(const std::string& url)
    {
        auto payload = std::make_unique<OwnedPayload<std::string>>(url);
        auto address = reinterpret_cast<WPARAM>(static_cast<MessagePayload*>(payload.get()));
        size_t before = frame->Tabs().Count();
        PostMessage(hwnd, WM_OPEN_TAB, address, 0, std::move(payload));
        ASSERT_TRUE(WaitUntil([&] { return frame->Tabs().Count() == static_cast<int>(before) + 1; }));
    }

    CControlUI* TabRowItem(int tab, int item)
    {
        auto* rows = static_cast<CContainerUI*>(frame->FindControl(u"tab_button_container"));
        auto* row = static_cast<CContainerUI*>(rows->GetItemAt(tab));
        return row ? row->GetItemAt(item) : nullptr;
    }

    void CloseTab(int tab)
    {
        int before = frame->Tabs().Count();
        ASSERT_TRUE(SimulateClick(TabRowItem(tab, 1)));
        ASSERT_TRUE(WaitUntil([&] { return frame->Tabs().Count() == before - 1; }));
    }

    std::optional<int> answer = 2;
    std::vector<CDuiString> asked;
    // Each modal window as "class:caption".
    std::vector<CDuiString> shown;
};

// Many tabs in the strip, driven by real mouse events at window positions.
class MainFrameTabStripTest : public MainFrameTest {
protected:
    CScrollStripUI* Strip()
    {
        return static_cast<CScrollStripUI*>(
            frame->FindControl(u"tab_button_container")->GetInterface(u"ScrollStrip"));
    }

    void OpenTabs(int count)
    {
        for (int room = 1; room < count; ++room)
            OpenPopup("http://127.0.0.1:1/room/" + std::to_string(room));
        QApplication::processEvents();
    }

    QWidget* TopLevel() { return Strip()->Widget()->window(); }

    // Where the rows can be seen, in window coordinates: between the arrows when they show.
    std::pair<int, int> VisibleSpan()
    {
        QWidget* strip = Strip()->Widget();
        auto arrows = strip->findChildren<QAbstractButton*>();
        QRect area = strip->contentsRect().translated(strip->mapTo(TopLevel(), QPoint()));
        int left = area.left(), right = area.right() + 1;
        for (QAbstractButton* arrow : arrows) {
            if (arrow->isHidden())
                continue;
            QRect at = arrow->geometry().translated(strip->mapTo(TopLevel(), QPoint()));
            if (at.center().x() < area.center().x())
                left = at.right() + 1;
            else
                right = at.left();
        }
        return { left, right };
    }

    QRect WindowRect(CControlUI* control)
    {
        QWidget* widget = control->Widget();
        return widget->contentsRect().translated(widget->mapTo(TopLevel(), QPoint()));
    }

    bool FullyVisible(int tab)
    {
        QRect row = WindowRect(TabRowItem(tab, 0)->GetParent());
        auto [left, right] = VisibleSpan();
        return row.left() >= left && row.right() + 1 <= right;
    }

    // Presses and releases the left button at the middle of the tab's text, on whatever
    // widget is there; returns that widget.
    QWidget* ClickTabText(int tab)
    {
        CControlUI* button = TabRowItem(tab, 0);
        QRect rect = WindowRect(button);
        RECT pad = button->GetTextPadding();
        QPoint at((rect.left() + pad.left + rect.right() - pad.right) / 2, rect.center().y());
        QWidget* hit = TopLevel()->childAt(at);
        if (!hit)
            return nullptr;
        QPointF local = hit->mapFrom(TopLevel(), at);
        QPointF global = TopLevel()->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(hit, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, {}, {});
        QApplication::sendEvent(hit, &release);
        QApplication::processEvents();
        return hit;
    }

    // Qt passes a synthetic wheel event to no one but its receiver; a real one goes up
    // through the parents until one takes it, as here.
    void TurnWheelOver(int tab, int notches)
    {
        QWidget* button = TabRowItem(tab, 0)->Widget();
        QPointF global = button->mapToGlobal(QPointF(button->rect().center()));
        for (QWidget* target = button; target; target = target->parentWidget()) {
            QWheelEvent wheel(target->mapFromGlobal(global), global, QPoint(), QPoint(0, 120 * notches),
                Qt::NoButton, {}, Qt::NoScrollPhase, false);
            QApplication::sendEvent(target, &wheel);
            if (wheel.isAccepted())
                break;
        }
        QApplication::processEvents();
    }
};

TEST_F(MainFrameTest, TheHomeTabShowsTheSiteAndCannotBeClosed)
{
    EXPECT_EQ(engine.Created().front()->GetURL(), "http://127.0.0.1:1/?miniClient=1");
    EXPECT_EQ(TabRowItem(0, 0)->GetText(), u"加载中...");
    EXPECT_FALSE(TabRowItem(0, 1)->IsVisible());
    EXPECT_EQ(frame->Tabs().CurrentIndex(), 0);
}

TEST_F(MainFrameTest, APopupOpensASelectedClosableTab)
{
    OpenPopup("http://127.0.0.1:1/room/3");

    EXPECT_EQ(frame->Tabs().CurrentIndex(), 1);
    EXPECT_TRUE(TabRowItem(1, 1)->IsVisible());
    EXPECT_EQ(TabRowItem(1, 1)->GetToolTip(), u"关闭 ");
    ASSERT_TRUE(WaitUntil([&] { return engine.Created().size() == 2; }));
    EXPECT_EQ(engine.Created().back()->GetURL(), "http://127.0.0.1:1/room/3");
}

TEST_F(MainFrameTest, ClosingATabSelectsTheOneThatTookItsPlaceOrThePreviousOne)
{
    for (int room = 1; room <= 3; ++room)
        OpenPopup("http://127.0.0.1:1/room/" + std::to_string(room));
    TabWin* third = frame->Tabs().TabAt(2);

    CloseTab(1);
    EXPECT_EQ(frame->Tabs().CurrentIndex(), 1);
    EXPECT_EQ(frame->Tabs().TabAt(1), third);
    // The buttons behind the closed tab moved up a place; a click still selects their own tab.
    ASSERT_TRUE(SimulateClick(TabRowItem(2, 0)));
    EXPECT_EQ(frame->Tabs().CurrentIndex(), 2);
    ASSERT_TRUE(SimulateClick(TabRowItem(1, 0)));
    EXPECT_EQ(frame->Tabs().CurrentIndex(), 1);

    CloseTab(2);
    EXPECT_EQ(frame->Tabs().CurrentIndex(), 1);

    const int closedId = frame->Tabs().TabAt(1)->GetTabId();
    CloseTab(1);
    EXPECT_EQ(frame->Tabs().Count(), 1);
    EXPECT_EQ(frame->Tabs().CurrentIndex(), 0);
    EXPECT_TRUE(IsWindow(hwnd));

    // A late close message for a closed tab closes nothing, even once a new tab has taken
    // the closed one's memory; it is handled before the next tab opens.
    PostMessage(hwnd, WM_CLOSE_TAB, static_cast<WPARAM>(closedId), 0);
    OpenPopup("http://127.0.0.1:1/room/4");
    PostMessage(hwnd, WM_CLOSE_TAB, static_cast<WPARAM>(closedId), 0);
    OpenPopup("http://127.0.0.1:1/room/5");
    EXPECT_EQ(frame->Tabs().Count(), 3);
}

TEST_F(MainFrameTest, TitlesReachTheirTabCutToFitWithTheFullTitleAsToolTip)
{
    OpenPopup("http://127.0.0.1:1/room/3");
    int tabId = frame->Tabs().TabAt(1)->GetTabId();
    std::u16string title = u"王者荣耀巅峰赛冲分直播间今晚不上王者不下";

    frame->TitleChanged(tabId + 100, u"无人认领的标题");
    frame->TitleChanged(tabId, title);
    ASSERT_TRUE(WaitUntil([&] { return TabRowItem(1, 0)->GetToolTip() == title; }));

    EXPECT_EQ(TabRowItem(1, 0)->GetText(),
        TabStrip::FittedTitle(
            title, 174, CRenderEngine::GetTextSize(frame->GetPaintManager(), u"中", -1).cx));
    EXPECT_EQ(TabRowItem(0, 0)->GetText(), u"加载中...");
}

TEST_F(MainFrameTest, BackAndForwardActOnTheSelectedTab)
{
    OpenPopup("http://127.0.0.1:1/room/1");
    ASSERT_TRUE(WaitUntil([&] { return engine.Created().size() == 2; }));
    // The buttons follow the loading state, which the fake engine never reports.
    frame->FindControl(u"btn_backward")->SetEnabled(true);
    frame->FindControl(u"btn_forward")->SetEnabled(true);

    ASSERT_TRUE(SimulateClick(frame->FindControl(u"btn_backward")));
    ASSERT_TRUE(SimulateClick(frame->FindControl(u"btn_forward")));

    auto calls = engine.Created().back()->Calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "back"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "forward"), calls.end());
    auto homeCalls = engine.Created().front()->Calls();
    EXPECT_EQ(std::find(homeCalls.begin(), homeCalls.end(), "back"), homeCalls.end());
}

TEST_F(MainFrameTest, EscapeDoesNotCloseTheWindow)
{
    SimulateKey(hwnd, VK_ESCAPE);
    WaitUntil([] { return false; }, 100);
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_TRUE(asked.empty());
}

TEST_F(MainFrameTest, CloseButtonAsksFirstAndCancelKeepsTheWindow)
{
    answer = 2;
    ASSERT_TRUE(SimulateClick(frame->FindControl(u"closebtn")));
    ASSERT_TRUE(WaitUntil([&] { return !asked.empty(); }));
    EXPECT_EQ(asked.back(), u"你确定要关闭Tessik微端吗");
    WaitUntil([] { return false; }, 100);
    EXPECT_TRUE(IsWindow(hwnd));

    answer = 1;
    ASSERT_TRUE(SimulateClick(frame->FindControl(u"closebtn")));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(hwnd); }));
}

TEST_F(MainFrameTest, CloseToTrayWithoutATrayIconMinimisesInsteadOfHiding)
{
    WriteConfig("powerboot=\"0\" test=\"0\" optionexit=\"1\"");
    ASSERT_TRUE(SimulateClick(frame->FindControl(u"closebtn")));
    QWidget* window = qt::WidgetFromHandle(hwnd);
    ASSERT_TRUE(WaitUntil([&] { return window->isMinimized(); }));
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_TRUE(asked.empty());
}

TEST_F(MainFrameTest, TrayMenuOpensTheHiddenWindowAndExitsAfterTheConfirmation)
{
    ShowWindow(hwnd, SW_HIDE);
    ASSERT_FALSE(IsWindowVisible(hwnd));
    ClickMenuItem(kShowWindowTrayItem);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(hwnd); }));
    EXPECT_TRUE(asked.empty());
    answer = 1;
    ClickMenuItem(kExitTrayItem);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(hwnd); }));
    EXPECT_EQ(asked, std::vector<CDuiString> { u"你确定要关闭Tessik微端吗" });
}

TEST_F(MainFrameTest, OnlyTheSelectedTabsPageGetsTheScreenAndGivesItBackWhenItLeavesOrItsTabGoes)
{
    OpenPopup("http://127.0.0.1:1/room/1");
    ASSERT_TRUE(WaitUntil([&] { return engine.Created().size() == 2; }));
    auto report = [&](int tab, bool fullscreen) {
        PostMessage(hwnd, WM_TAB_FULLSCREEN, static_cast<WPARAM>(frame->Tabs().TabAt(tab)->GetTabId()),
            fullscreen ? 1 : 0);
    };
    auto asked = [&](int browser) {
        auto calls = engine.Created()[browser]->Calls();
        return std::count(calls.begin(), calls.end(), "exit-fullscreen");
    };
    CControlUI* caption = frame->FindControl(u"caption_bar");
    QWidget* window = qt::WidgetFromHandle(hwnd);
    auto givenBack = [&] { return !IsWindowFullScreen(hwnd) && caption->IsVisible(); };

    // The home tab is in the background: its page is sent back out.
    report(0, true);
    ASSERT_TRUE(WaitUntil([&] { return asked(0) == 1; }));
    EXPECT_TRUE(givenBack());

    report(1, true);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowFullScreen(hwnd); }));
    EXPECT_FALSE(caption->IsVisible());
    report(1, false);
    ASSERT_TRUE(WaitUntil(givenBack));
    EXPECT_FALSE(window->isMaximized());

    ShowWindow(hwnd, SW_SHOWMAXIMIZED);
    report(1, true);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowFullScreen(hwnd); }));
    PostMessage(hwnd, WM_CLOSE_TAB, static_cast<WPARAM>(frame->Tabs().TabAt(1)->GetTabId()), 0);
    ASSERT_TRUE(WaitUntil([&] { return frame->Tabs().Count() == 1; }));
    EXPECT_TRUE(WaitUntil(givenBack)) << "a closed tab's page left the window fullscreen";
    EXPECT_TRUE(window->isMaximized());
    EXPECT_EQ(asked(0), 1);
}

TEST_F(MainFrameTest, MenuGroupCommandsShowTheHelpOpenTheUpdateDialogAndExitAfterTheConfirmation)
{
    auto about = std::find_if(frame->MenuItems().begin(), frame->MenuItems().end(),
        [](const auto& entry) { return entry.second->text == u"关于"; });
    ASSERT_NE(about, frame->MenuItems().end());
    ClickMenuItem(about->first);
    ASSERT_TRUE(WaitUntil([&] { return shown.size() == 1; }));
    EXPECT_EQ(shown.back(), u"MessageBoxDialog_Class:新版本");
    EXPECT_EQ(asked.back(), u"Tessik直播助手帮助");

    ClickMenuItem(kUpdateMenuItem);
    ASSERT_TRUE(WaitUntil([&] { return shown.size() == 2; }));
    EXPECT_EQ(shown.back().substr(0, shown.back().find(u':')), u"UpdateCheckDialog_Class");
    EXPECT_TRUE(IsWindow(hwnd)) << "a closed update dialog leaves the program running";

    answer = 1;
    ClickMenuItem(kExitMenuItem);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(hwnd); }));
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(asked.back(), u"你确定要关闭Tessik微端吗");
}

} // namespace

TEST_F(MainFrameTabStripTest, ThirtyTabsKeepTheirSizeAndTheCloseButtonBesideTheText)
{
    ASSERT_FALSE(Strip()->IsOverflowing()) << "one tab fits without arrows";
    // Rows that fit and rows that scroll: the bar must not share its room out among them.
    auto expectFullSizeRows = [&](const char* when) {
        for (int tab = 0; tab < frame->Tabs().Count(); ++tab) {
            QRect button = WindowRect(TabRowItem(tab, 0));
            QRect close = WindowRect(TabRowItem(tab, 1));
            QRect row = WindowRect(TabRowItem(tab, 0)->GetParent());
            EXPECT_EQ(button.size(), QSize(174, 30)) << when << tab;
            EXPECT_TRUE(row.contains(button)) << when << tab;
            if (tab == 0)
                continue;
            EXPECT_EQ(close.size(), QSize(12, 12)) << when << tab;
            EXPECT_TRUE(row.contains(close)) << when << tab;
            EXPECT_FALSE(close.intersects(button)) << when << tab;
        }
    };
    OpenTabs(3);
    ASSERT_FALSE(Strip()->IsOverflowing());
    expectFullSizeRows("3 tabs, tab ");
    OpenTabs(28);
    ASSERT_TRUE(WaitUntil([&] { return Strip()->IsOverflowing(); }));
    frame->TitleChanged(frame->Tabs().TabAt(29)->GetTabId(), u"直播间");
    ASSERT_TRUE(WaitUntil([&] { return TabRowItem(29, 0)->GetToolTip() == u"直播间"; }));
    EXPECT_EQ(TabRowItem(29, 0)->GetText(), u"直播间") << "a short title is not cut on a full-size button";
    expectFullSizeRows("30 tabs, tab ");
}

TEST_F(MainFrameTabStripTest, TheSelectedTabStaysInViewOnOpenSelectAndClose)
{
    OpenTabs(30);
    ASSERT_TRUE(WaitUntil([&] { return FullyVisible(29); })) << "a new tab is scrolled into view";
    EXPECT_FALSE(FullyVisible(0));

    TurnWheelOver(29, 100);
    EXPECT_EQ(Strip()->GetScrollPos(), 0) << "the wheel scrolls back to the first tab";
    EXPECT_TRUE(FullyVisible(0));
    EXPECT_EQ(ClickTabText(2), static_cast<QWidget*>(TabRowItem(2, 0)->Widget()))
        << "the text is the tab button's, not the close button's";
    EXPECT_EQ(frame->Tabs().CurrentIndex(), 2);
    EXPECT_EQ(frame->Tabs().Count(), 30);

    TurnWheelOver(2, -1);
    EXPECT_GT(Strip()->GetScrollPos(), 0) << "the wheel scrolls towards the last tab";
    EXPECT_FALSE(FullyVisible(0));
    OpenPopup("http://127.0.0.1:1/room/31");
    ASSERT_TRUE(WaitUntil([&] { return FullyVisible(30); }));

    CloseTab(30);
    ASSERT_TRUE(WaitUntil([&] { return FullyVisible(29); })) << "the neighbour of a closed tab is shown";
    EXPECT_EQ(Strip()->GetScrollPos(), Strip()->GetScrollRange()) << "no empty room after the last tab";
    while (frame->Tabs().Count() > 3)
        CloseTab(frame->Tabs().Count() - 1);
    ASSERT_TRUE(WaitUntil([&] { return !Strip()->IsOverflowing(); })) << "the arrows go once all tabs fit";
    EXPECT_EQ(Strip()->GetScrollPos(), 0);
    EXPECT_TRUE(FullyVisible(0));
}

TEST_F(MainFrameTabStripTest, ArrowsScrollAndStopAtTheEnds)
{
    OpenTabs(12);
    ASSERT_TRUE(WaitUntil([&] { return Strip()->IsOverflowing(); }));
    auto arrows = Strip()->Widget()->findChildren<QAbstractButton*>();
    ASSERT_EQ(arrows.size(), 2);
    QAbstractButton* back = arrows[0]->x() < arrows[1]->x() ? arrows[0] : arrows[1];
    QAbstractButton* forward = back == arrows[0] ? arrows[1] : arrows[0];
    EXPECT_EQ(back->height(), TabRowItem(0, 0)->GetHeight()) << "the arrows are as tall as the tabs";
    EXPECT_FALSE(forward->isEnabled()) << "the last tab is selected and shown";

    int end = Strip()->GetScrollPos();
    back->click();
    EXPECT_LT(Strip()->GetScrollPos(), end);
    for (int i = 0; i < 20 && back->isEnabled(); ++i)
        back->click();
    EXPECT_EQ(Strip()->GetScrollPos(), 0);
    EXPECT_FALSE(back->isEnabled());
    forward->click();
    EXPECT_GT(Strip()->GetScrollPos(), 0);
}
