#include "ui/MenuWindow.h"
#include "ids/WindowMessageIds.h"
#include "platform/ui/LabelUI.h"
#include "platform/ui/ModalAnswerer.h"
#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/WindowOps.h"
#include "support/WaitUntil.h"
#include "ui/MenuButton.h"
#include "ui/MenuElementUI.h"
#include "ui/MenuItemSource.h"
#include "ui/MenuUI.h"
#include "unit/platform_ui/TestWindow.h"

#include "platform/ui/qt/WidgetHandles.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <map>
#include <memory>

using namespace platform::ui;

namespace {

// Menu items kept by the test, as an owner keeps them.
class TableSource : public MenuItemSource {
public:
    MenuItemInfo* Add(int parentId, int id, std::u16string text, int checkKind = 0, bool checked = false,
        bool enabled = true, bool hasSubMenu = false)
    {
        auto item = std::make_unique<MenuItemInfo>();
        item->parentId = parentId;
        item->id = id;
        item->text = std::move(text);
        item->checkKind = checkKind;
        item->checked = checked;
        item->enabled = enabled;
        item->hasSubMenu = hasSubMenu;
        MenuItemInfo* raw = item.get();
        items[id] = std::move(item);
        return raw;
    }
    int FillMenu(MenuUI* menu) override { return menu->FillFrom(items, this); }
    bool HasSubMenu(MenuElementUI* element) override { return element->HasSubMenu(); }
    void ApplyItemState(MenuElementUI* element, bool checked) override { element->ApplyItemState(checked); }
    HWND OwnerWindow() override { return owner; }

    std::map<int, std::unique_ptr<MenuItemInfo>> items;
    HWND owner = nullptr;
};

class MenuWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        CPaintManagerUI::SetResourcePath(ZANDREL_SOURCE_DIR u"/skin/Zandrel/");
        owner = std::make_unique<TestWindow>(kSimpleLayout);
        source.owner = owner->Create(nullptr, u"owner", UI_WNDSTYLE_FRAME, 0, 50, 50, 300, 200);
        owner->ShowWindow(true, true);
        ASSERT_TRUE(source.owner);
    }
    void TearDown() override
    {
        MenuWindow::BroadcastToMenus(MenuWindow::kCloseAll, nullptr);
        WaitUntil([] { return MenuWindow::OpenMenus().empty(); });
        owner.reset();
    }

    MenuWindow* Open(int parentId, POINT anchor = { 100, 100 })
    {
        MenuWindow* menu = MenuWindow::Open(source.owner, parentId, parentId, &source, anchor);
        EXPECT_TRUE(menu);
        if (menu)
            Settle(menu);
        return menu;
    }
    static MenuElementUI* Row(MenuWindow* menu, int index)
    {
        CControlUI* item = menu->GetMenu()->GetItemAt(index);
        return item ? static_cast<MenuElementUI*>(item->GetInterface(u"MenuElement")) : nullptr;
    }
    static void Send(CControlUI* control, int type)
    {
        TEventUI event;
        event.Type = type;
        event.pSender = control;
        control->DoEvent(event);
    }
    // Lets the desktop hand the focus to the menu that just opened, as it does before the next input.
    static void Settle(MenuWindow* menu)
    {
        EXPECT_TRUE(WaitUntil(
            [menu] { return QApplication::activeWindow() == qt::WidgetFromHandle(menu->GetHWND()); }));
    }
    // Opens the sub-menu of the row as the mouse does and returns it.
    static MenuWindow* Hover(MenuElementUI* row)
    {
        Send(row, UIEVENT_MOUSEENTER);
        if (row->GetSubMenu())
            Settle(row->GetSubMenu());
        return row->GetSubMenu();
    }

    TableSource source;
    std::unique_ptr<TestWindow> owner;
};

TEST_F(MenuWindowTest, RowsShowTheirRecordsInIdOrderWithStateStyles)
{
    struct Expected { // NOLINT(clang-analyzer-optin.performance.Padding): a test table, in reading order
        int id;
        int checkKind;
        bool checked;
        bool enabled;
        const char16_t* style;
        DWORD textColor;
    };
    const Expected rows[] = {
        { 11, 0, false, true, u"menu_item_normal", 0xFFFCFFFF },
        { 12, 1, false, true, u"menu_item_unchecked", 0xFFFCFFFF },
        { 13, 1, true, true, u"menu_item_checked", 0xFFFCFFFF },
        { 14, 2, true, true, u"menu_item_checked", 0xFFFCFFFF },
        { 15, 2, false, false, u"menu_item_unchecked", 0xFFB5B5B5 },
        { 16, 7, true, true, u"", 0xFFFCFFFF },
    };
    // Inserted backwards: the menu still lists by id; other groups stay out.
    for (int i = 5; i >= 0; --i)
        source.Add(1, rows[i].id, u"item " + std::u16string(1, u'0' + rows[i].id % 10), rows[i].checkKind,
            rows[i].checked, rows[i].enabled);
    source.Add(2, 21, u"elsewhere");

    MenuWindow* menu = Open(1);
    ASSERT_EQ(menu->GetMenu()->GetCount(), 6);
    for (int i = 0; i < 6; ++i) {
        MenuElementUI* row = Row(menu, i);
        ASSERT_TRUE(row);
        EXPECT_EQ(row->GetItemId(), rows[i].id);
        EXPECT_EQ(row->GetItemInfo(), source.items[rows[i].id].get());
        EXPECT_EQ(row->FindSubControl(u"lbl_menu_text")->GetText(), row->GetItemInfo()->text);
        EXPECT_EQ(row->FindSubControl(u"control_checked")->GetStyleName(), rows[i].style) << rows[i].id;
        EXPECT_EQ(row->FindSubControl(u"lbl_menu_text")->GetTextColor(), rows[i].textColor) << rows[i].id;
        EXPECT_EQ(row->IsEnabled(), rows[i].enabled);
        EXPECT_FALSE(row->FindSubControl(u"control_expand")->IsVisible());
    }
    // Ticking a row redraws its check image.
    Row(menu, 1)->SetChecked(true);
    EXPECT_EQ(Row(menu, 1)->FindSubControl(u"control_checked")->GetStyleName(), u"menu_item_checked");
}

TEST_F(MenuWindowTest, MenuListTakesMenuElementsOnlyAndHidesNestedOnes)
{
    MenuUI list(1, 1);
    auto* label = new CLabelUI;
    EXPECT_FALSE(list.Add(label));
    EXPECT_EQ(list.GetItemIndex(label), -1);
    delete label;

    auto* outer = new MenuElementUI(1, nullptr);
    auto* nested = new MenuElementUI(1, nullptr);
    outer->Add(nested);
    ASSERT_TRUE(list.Add(outer));
    EXPECT_EQ(list.GetItemIndex(outer), 0);
    EXPECT_FALSE(nested->IsVisible());
    EXPECT_EQ(outer->GetFixedHeight(), 25);
    EXPECT_FALSE(list.Remove(nested));
}

TEST_F(MenuWindowTest, MenusNearTheRightAndBottomEdgesOpenLeftAndAbove)
{
    source.Add(1, 11, u"打开主界面", 1);
    source.Add(1, 12, u"退出客户端", 1);
    RECT work = GetWorkAreaFromPoint(POINT { 0, 0 });

    MenuWindow* middle = Open(1, POINT { work.left + 40, work.top + 40 });
    RECT placed = GetWindowRect(middle->GetHWND());
    EXPECT_EQ(placed.left, work.left + 40);
    EXPECT_EQ(placed.top, work.top + 40);
    EXPECT_EQ(placed.bottom - placed.top, 2 * 25 + 8);
    EXPECT_GE(placed.right - placed.left, 160);

    POINT corner { work.right - 5, work.bottom - 5 };
    MenuWindow* cornerMenu = Open(1, corner);
    placed = GetWindowRect(cornerMenu->GetHWND());
    EXPECT_EQ(placed.right, corner.x);
    EXPECT_EQ(placed.bottom, corner.y);
}

TEST_F(MenuWindowTest, PressingARowPostsItsCommandAfterTheMenusWereToldToClose)
{
    MenuItemInfo* exit = source.Add(7, 73, u"退出客户端", 1);
    source.Add(7, 71, u"打开主界面", 1);
    bool allClosing = false;
    owner->onCustom = [&](UINT msg, WPARAM, LPARAM) {
        if (msg != WM_MENU_CLICK)
            return;
        allClosing = !MenuWindow::OpenMenus().empty();
        for (MenuWindow* menu : MenuWindow::OpenMenus())
            allClosing = allClosing && menu->IsClosing();
    };
    MenuWindow* menu = Open(7);
    MenuElementUI* row = Row(menu, 1);
    ASSERT_EQ(row->GetItemId(), 73);

    Send(row, UIEVENT_BUTTONDOWN);
    EXPECT_TRUE(owner->customMessages.empty()) << "delivered by posting, not sending";
    ASSERT_TRUE(WaitUntil([&] { return !owner->customMessages.empty(); }));
    EXPECT_TRUE(allClosing);
    ASSERT_EQ(owner->customMessages.size(), 1u);
    EXPECT_EQ(owner->customMessages[0].msg, 0x406u);
    EXPECT_EQ(reinterpret_cast<MenuItemInfo*>(owner->customMessages[0].wParam), exit);
    EXPECT_EQ(owner->customMessages[0].lParam, 73);
    EXPECT_TRUE(WaitUntil([] { return MenuWindow::OpenMenus().empty(); }));
    EXPECT_EQ(exit->text, u"退出客户端");
}

TEST_F(MenuWindowTest, DisabledRowPostsNothingAndClosesNothing)
{
    source.Add(1, 11, u"禁用", 0, false, false);
    MenuWindow* menu = Open(1);
    Send(Row(menu, 0), UIEVENT_BUTTONDOWN);
    // Anything the press posted is handled before this marker arrives.
    constexpr UINT kMarker = WM_USER + 50;
    PostMessage(source.owner, kMarker, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !owner->customMessages.empty(); }));
    EXPECT_EQ(owner->customMessages.front().msg, kMarker);
    ASSERT_EQ(MenuWindow::OpenMenus().size(), 1u);
    EXPECT_FALSE(menu->IsClosing());
}

TEST_F(MenuWindowTest, SubMenusCascadeAndCloseFromTheDeepestUp)
{
    source.Add(1, 11, u"更多", 0, false, true, true);
    source.Add(1, 12, u"关于");
    source.Add(11, 111, u"再多", 0, false, true, true);
    source.Add(111, 1111, u"最深");
    MenuWindow* top = Open(1);
    MenuElementUI* more = Row(top, 0);
    EXPECT_TRUE(more->FindSubControl(u"control_expand")->IsVisible());
    MenuWindow* second = Hover(more);
    ASSERT_TRUE(second);
    MenuWindow* third = Hover(Row(second, 0));
    ASSERT_TRUE(third);
    ASSERT_EQ(MenuWindow::OpenMenus().size(), 3u);
    EXPECT_EQ(Row(third, 0)->GetItemId(), 1111);
    // The sub-menu opens beside its parent, level with the row that opened it.
    RECT parent = GetWindowRect(top->GetHWND());
    RECT beside = GetWindowRect(second->GetHWND());
    EXPECT_TRUE(beside.left == parent.right || beside.right == parent.left);

    // Only menus below the named one close.
    MenuWindow::BroadcastToMenus(MenuWindow::kCloseDeeper, second->GetHWND());
    ASSERT_TRUE(WaitUntil([] { return MenuWindow::OpenMenus().size() == 2; }));
    EXPECT_EQ(MenuWindow::OpenMenus().back(), second);
    EXPECT_FALSE(Row(second, 0)->GetSubMenu());

    // Hovering a plain row of the top menu closes the open sub-menu.
    Send(Row(top, 1), UIEVENT_MOUSEENTER);
    ASSERT_TRUE(WaitUntil([] { return MenuWindow::OpenMenus().size() == 1; }));
    EXPECT_FALSE(more->GetSubMenu());
    EXPECT_EQ(top->GetMenu()->GetCurSel(), 1);
}

TEST_F(MenuWindowTest, EscapeClosesOneMenuWindow)
{
    source.Add(1, 11, u"更多", 0, false, true, true);
    source.Add(11, 111, u"最深");
    MenuWindow* top = Open(1);
    MenuWindow* sub = Hover(Row(top, 0));
    ASSERT_TRUE(sub);

    EXPECT_TRUE(SimulateKey(sub->GetHWND(), VK_ESCAPE));
    ASSERT_TRUE(WaitUntil([] { return MenuWindow::OpenMenus().size() == 1; }));
    EXPECT_EQ(MenuWindow::OpenMenus().front(), top);
    EXPECT_FALSE(Row(top, 0)->GetSubMenu());
}

TEST_F(MenuWindowTest, FocusLeavingForAnotherWindowClosesAllMenusButNotBetweenMenus)
{
    source.Add(1, 11, u"更多", 0, false, true, true);
    source.Add(11, 111, u"最深");
    MenuWindow* top = Open(1);
    MenuWindow* sub = Hover(Row(top, 0));
    ASSERT_TRUE(sub);

    top->SendMessageW(WM_KILLFOCUS, reinterpret_cast<WPARAM>(sub->GetHWND()), 0);
    EXPECT_FALSE(top->IsClosing());
    EXPECT_FALSE(sub->IsClosing());

    sub->SendMessageW(WM_KILLFOCUS, reinterpret_cast<WPARAM>(source.owner), 0);
    EXPECT_TRUE(top->IsClosing());
    EXPECT_TRUE(WaitUntil([] { return MenuWindow::OpenMenus().empty(); }));
}

TEST_F(MenuWindowTest, MenuButtonReportsHoverOnlyWhileEnabled)
{
    MenuButton button;
    button.SetAttribute(u"menu_id", u"6");
    EXPECT_EQ(button.GetMenuId(), 6);
    int hot = 0;
    button.OnNotify([&](TNotifyUI& msg) {
        hot += msg.sType == u"menu_button_hot";
        return false;
    });
    Send(&button, UIEVENT_MOUSEENTER);
    EXPECT_EQ(hot, 1);
    button.SetEnabled(false);
    Send(&button, UIEVENT_MOUSEENTER);
    EXPECT_EQ(hot, 1);
}

} // namespace
