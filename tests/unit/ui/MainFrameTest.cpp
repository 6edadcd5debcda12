#include "MainFrameFixture.h"

#include "platform/ui/RenderEngine.h"
#include "platform/ui/WindowOps.h"
#include "platform/ui/qt/WidgetHandles.h"
#include "ui/TabWin.h"

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

    CloseTab(2);
    EXPECT_EQ(frame->Tabs().CurrentIndex(), 1);

    CloseTab(1);
    EXPECT_EQ(frame->Tabs().Count(), 1);
    EXPECT_EQ(frame->Tabs().CurrentIndex(), 0);
    EXPECT_TRUE(IsWindow(hwnd));
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

TEST_F(MainFrameTest, OpenMainWindowRestoresAHiddenWindow)
{
    ShowWindow(hwnd, SW_HIDE);
    ASSERT_FALSE(IsWindowVisible(hwnd));
    ClickMenuItem(71);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(hwnd); }));
}

TEST_F(MainFrameTest, TheMenuTablesHoldTheFiveItems)
{
    const auto& items = frame->MenuItems();
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items.at(61)->text, u"软件升级");
    EXPECT_EQ(items.at(62)->text, u"退出客户端");
    EXPECT_EQ(items.at(71)->checkKind, 1);
    EXPECT_EQ(items.at(73)->parentId, 7);
    auto about = std::find_if(
        items.begin(), items.end(), [](const auto& entry) { return entry.second->parentId == 4; });
    ASSERT_NE(about, items.end());
    EXPECT_GT(about->first, 1000);
    EXPECT_EQ(about->second->text, u"关于");
}

} // namespace
