#include "ui/MenuElementUI.h"

#include "ids/WindowMessageIds.h"
#include "platform/ui/DialogBuilder.h"
#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/RenderEngine.h"
#include "platform/ui/WindowMessages.h"
#include "platform/ui/WindowOps.h"
#include "ui/MenuItemSource.h"
#include "ui/MenuUI.h"
#include "ui/MenuWindow.h"

#include <algorithm>
#include <cstdlib>
#include <string>

using namespace platform::ui;

namespace {
// Tall enough for any item text: the measured height is the text's, not the box's.
constexpr int kTextMeasureHeight = 9999;

int ParseId(const CDuiString& value)
{
    std::string text(value.begin(), value.end());
    char* end = nullptr;
    long number = std::strtol(text.c_str(), &end, 10);
    return (text.empty() || *end != '\0') ? -1 : static_cast<int>(number);
}
}

MenuElementUI::MenuElementUI(int rootId, MenuItemSource* source)
    : rootId(rootId)
    , source(source)
{
    SetFixedHeight(kHeight);
    SetMouseChildEnabled(false);
}

void* MenuElementUI::GetInterface(const CDuiString& name)
{
    return name == u"MenuElement" ? this : CListContainerElementUI::GetInterface(name);
}

void MenuElementUI::SetAttribute(const CDuiString& name, const CDuiString& value)
{
    if (name == u"id")
        itemId = ParseId(value);
    else if (name == u"parent_id")
        parentId = ParseId(value);
    else if (name == u"root_id")
        rootId = ParseId(value);
    else
        CListContainerElementUI::SetAttribute(name, value);
}

bool MenuElementUI::ShowItem(MenuItemInfo* item)
{
    if (!item)
        return false;
    itemInfo = item;
    CDialogBuilder builder;
    CControlUI* row = builder.Create(u"menu/menu_item.xml");
    if (row) {
        if (CControlUI* label = row->FindControl(u"lbl_menu_text"))
            label->SetText(item->text);
        if (CControlUI* expand = row->FindControl(u"control_expand"))
            expand->SetVisible(item->hasSubMenu);
        Add(row);
    }
    SetText(item->text);
    itemId = item->id;
    parentId = item->parentId;
    hasSubMenu = item->hasSubMenu;
    SetChecked(item->checked);
    return row != nullptr;
}

void MenuElementUI::SetChecked(bool value)
{
    checked = value;
    if (source)
        source->ApplyItemState(this, value);
    else
        ApplyItemState(value);
}

void MenuElementUI::ApplyItemState(bool value)
{
    checked = value;
    bool enabled = itemInfo ? itemInfo->enabled : IsEnabled();
    SetEnabled(enabled);
    if (CControlUI* label = FindSubControl(u"lbl_menu_text"))
        label->SetTextColor(enabled ? kEnabledTextColor : kDisabledTextColor);
    int kind = itemInfo ? itemInfo->checkKind : 0;
    const char16_t* style = nullptr;
    if (kind == 0)
        style = u"menu_item_normal";
    else if (kind == 1 || kind == 2)
        style = value ? u"menu_item_checked" : u"menu_item_unchecked";
    if (CControlUI* check = FindSubControl(u"control_checked"); check && style)
        check->SetStyleName(style);
}

void MenuElementUI::HideNestedItems()
{
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* item = GetItemAt(i);
        if (item->GetInterface(u"MenuElement"))
            item->SetInternVisible(false);
    }
}

bool MenuElementUI::WantsSubMenu() { return source ? source->HasSubMenu(this) : hasSubMenu; }

HWND MenuElementUI::MenuWindowHandle() const { return manager_ ? manager_->GetPaintWindow() : nullptr; }

void MenuElementUI::DoEvent(TEventUI& event)
{
    bool enabledBefore = IsEnabled();
    ControlRef self(this);
    CListContainerElementUI::DoEvent(event);
    if (!self.Alive())
        return;
    if (event.Type == UIEVENT_MOUSEENTER) {
        if (subMenu)
            return;
        if (WantsSubMenu()) {
            if (owner_)
                owner_->SelectItem(index_);
            OpenSubMenu();
        } else {
            MenuWindow::BroadcastToMenus(MenuWindow::kCloseDeeper, MenuWindowHandle());
            if (owner_)
                owner_->SelectItem(index_);
        }
    } else if (event.Type == UIEVENT_BUTTONDOWN && enabledBefore) {
        if (subMenu)
            return;
        if (WantsSubMenu()) {
            OpenSubMenu();
            return;
        }
        if (itemInfo && itemInfo->enabled)
            PostCommand();
        MenuWindow::BroadcastToMenus(MenuWindow::kCloseAll, MenuWindowHandle());
    }
}

bool MenuElementUI::Activate()
{
    if (!CListContainerElementUI::Activate())
        return false;
    if (subMenu)
        return true;
    if (WantsSubMenu())
        OpenSubMenu();
    else
        MenuWindow::BroadcastToMenus(MenuWindow::kCloseAll, MenuWindowHandle());
    return true;
}

void MenuElementUI::PostCommand()
{
    HWND target = source ? source->OwnerWindow() : GetAncestorRoot(MenuWindowHandle());
    PostMessage(target, WM_MENU_CLICK, reinterpret_cast<WPARAM>(itemInfo), static_cast<LPARAM>(itemInfo->id));
}

void MenuElementUI::OpenSubMenu()
{
    if (subMenu)
        return;
    HWND window = MenuWindowHandle();
    auto* menu = new MenuWindow(rootId, itemId, source, window);
    subMenu = menu;
    MenuWindow::BroadcastToMenus(MenuWindow::kCloseDeeper, window);
    RECT pos = GetPos();
    if (!menu->Show(this, ClientToScreen(window, POINT { pos.right, pos.top })))
        subMenu = nullptr;
}

void MenuElementUI::SubMenuClosed()
{
    subMenu = nullptr;
    state_ &= ~kPushed;
    HideNestedItems();
    Invalidate();
}

SIZE MenuElementUI::EstimateSize(SIZE available)
{
    SIZE size {};
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* item = GetItemAt(i);
        if (!item->IsVisible())
            continue;
        SIZE child = item->EstimateSize(available);
        size.cx = std::max(size.cx, child.cx);
        size.cy += child.cy;
    }
    if (size.cy == 0) {
        // A row without controls shows its own text.
        const TListInfoUI* info = owner_ ? owner_->GetListInfo() : nullptr;
        RECT padding = info ? info->rcTextPadding : RECT {};
        RECT box { 0, 0, std::max(available.cx, GetFixedWidth()) - padding.left - padding.right,
            kTextMeasureHeight };
        UINT style = (info ? info->uTextStyle : GetTextStyle()) | DT_CALCRECT;
        int font = info ? info->nFont : GetFont();
        if (info && info->bShowHtml)
            CRenderEngine::DrawHtmlText(nullptr, manager_, box, text_, 0, font, style);
        else
            CRenderEngine::DrawTextW(nullptr, manager_, box, text_, 0, font, style);
        size.cx = box.right - box.left + padding.left + padding.right;
        size.cy = box.bottom - box.top + padding.top + padding.bottom;
    }
    if (GetFixedHeight() != 0)
        size.cy = GetFixedHeight();
    return size;
}
