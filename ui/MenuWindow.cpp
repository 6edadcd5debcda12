#include "ui/MenuWindow.h"

#include "ids/CloseCodes.h"
#include "ids/WindowStyleIds.h"
#include "platform/ui/WindowOps.h"
#include "ui/MenuElementUI.h"
#include "ui/MenuItemSource.h"
#include "ui/MenuPlacement.h"
#include "ui/MenuUI.h"

#include <algorithm>

using namespace platform::ui;

namespace {
std::vector<MenuWindow*>& Registry()
{
    static std::vector<MenuWindow*> menus;
    return menus;
}
}

MenuWindow::MenuWindow(int rootId, int parentId, MenuItemSource* source, HWND owner)
    : owner(owner)
    , source(source)
    , rootId(rootId)
    , parentId(parentId)
{
}

MenuWindow::~MenuWindow() { Unregister(); }

MenuWindow* MenuWindow::Open(HWND owner, int rootId, int parentId, MenuItemSource* source, POINT anchor)
{
    auto* menu = new MenuWindow(rootId, parentId, source, owner);
    if (!menu->Show(nullptr, anchor))
        return nullptr;
    return menu;
}

const std::vector<MenuWindow*>& MenuWindow::OpenMenus() { return Registry(); }

bool MenuWindow::IsMenuWindow(HWND hwnd)
{
    if (!hwnd)
        return false;
    const auto& menus = Registry();
    return std::any_of(
        menus.begin(), menus.end(), [hwnd](MenuWindow* menu) { return menu->GetHWND() == hwnd; });
}

void MenuWindow::BroadcastToMenus(int kind, HWND hwnd)
{
    // A copy: a receiver may leave the list while the walk goes on.
    std::vector<MenuWindow*> menus = Registry();
    for (auto it = menus.rbegin(); it != menus.rend(); ++it) {
        const auto& live = Registry();
        if (std::find(live.begin(), live.end(), *it) != live.end())
            (*it)->Receive(kind, hwnd);
    }
}

void MenuWindow::Register()
{
    if (!registered) {
        Registry().push_back(this);
        registered = true;
    }
}

void MenuWindow::Unregister()
{
    if (!registered)
        return;
    auto& menus = Registry();
    menus.erase(std::remove(menus.begin(), menus.end(), this), menus.end());
    registered = false;
}

void MenuWindow::Receive(int kind, HWND hwnd)
{
    if (kind == kCloseAll) {
        CloseMenu();
        return;
    }
    if (kind != kCloseDeeper || !GetHWND())
        return;
    for (HWND up = GetParent(GetHWND()); up; up = GetParent(up)) {
        if (up == hwnd) {
            CloseMenu();
            return;
        }
    }
}

void MenuWindow::CloseMenu()
{
    closing = true;
    Close(kCloseAccepted);
}

bool MenuWindow::Show(MenuElementUI* element, POINT point)
{
    anchor = point;
    ownerElement = ControlRef(element);
    Register();
    HWND parent = owner;
    if (element && element->GetManager())
        parent = element->GetManager()->GetPaintWindow();
    if (!Create(parent, {}, kPopupStyle, kPopupExStyle, 0, 0, 0, 0)) {
        delete this;
        return false;
    }
    ShowWindow(true, true);
    SetForegroundWindow(GetHWND());
    // Keeps the owner's caption looking active while its menu has the focus.
    SendMessage(GetAncestorRoot(GetHWND()), WM_NCACTIVATE, 1, 0);
    return true;
}

MenuElementUI* MenuWindow::OwnerElement() const { return static_cast<MenuElementUI*>(ownerElement.Get()); }

MenuUI* MenuWindow::GetMenu() const
{
    CControlUI* root = m_PaintManager.GetRoot();
    return root ? static_cast<MenuUI*>(root->GetInterface(u"Menu")) : nullptr;
}

UINT MenuWindow::GetClassStyle() const { return CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS; }

CControlUI* MenuWindow::CreateControl(const CDuiString& className)
{
    if (className == u"Menu")
        return new MenuUI(rootId, parentId);
    if (className == u"MenuElement")
        return new MenuElementUI(rootId, source);
    return nullptr;
}

void MenuWindow::InitWindow()
{
    MenuUI* menu = GetMenu();
    if (menu && source)
        source->FillMenu(menu);
    if (OwnerElement())
        PlaceBesideOwner();
    else
        PlaceTopLevel();
}

void MenuWindow::PlaceTopLevel()
{
    RECT work = GetWorkAreaFromPoint(anchor);
    SIZE available { work.right - work.left, work.bottom - work.top };
    SIZE size = m_PaintManager.GetInitSize();
    if (CControlUI* root = m_PaintManager.GetRoot()) {
        SIZE wanted = root->EstimateSize(available);
        size.cx = std::max(size.cx, wanted.cx);
        size.cy = wanted.cy;
    }
    RECT place = PlaceTopLevelMenu(anchor, size, work);
    SetWindowPos(GetHWND(), place.left, place.top, place.right - place.left, place.bottom - place.top, 0);
}

void MenuWindow::PlaceBesideOwner()
{
    MenuElementUI* element = OwnerElement();
    HWND parentMenu = element->GetManager() ? element->GetManager()->GetPaintWindow() : nullptr;
    RECT work = GetWorkArea(parentMenu);
    SIZE available { work.right - work.left, work.bottom - work.top };
    SubMenuMetrics metrics;
    if (MenuUI* menu = GetMenu()) {
        for (int i = 0; i < menu->GetCount(); ++i) {
            SIZE item = menu->GetItemAt(i)->EstimateSize(available);
            metrics.widest = std::max(metrics.widest, item.cx);
            metrics.totalHeight += item.cy;
            metrics.lastHeight = item.cy;
        }
        // The layout's frame around the rows belongs to the window too.
        RECT inset = menu->GetInset();
        metrics.widest += inset.left + inset.right;
        metrics.totalHeight += inset.top + inset.bottom;
    }
    metrics.parent = GetWindowRect(parentMenu);
    RECT ownerRect = element->GetPos();
    metrics.ownerTop = ClientToScreen(parentMenu, POINT { ownerRect.left, ownerRect.top }).y;
    std::vector<RECT> earlier;
    for (MenuWindow* menu : Registry()) {
        if (menu->GetHWND() == parentMenu)
            break;
        if (menu != this && menu->GetHWND())
            earlier.push_back(GetWindowRect(menu->GetHWND()));
    }
    RECT place = PlaceSubMenu(metrics, earlier, work);
    SetWindowPos(GetHWND(), place.left, place.top, place.right - place.left, place.bottom - place.top,
        SWP_NOREDRAW | SWP_NOZORDER);
}

LRESULT MenuWindow::HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    if (msg == WM_KILLFOCUS) {
        // The focus moved to another window: unless that is one of the menus, all of them go.
        HWND active = reinterpret_cast<HWND>(wParam);
        if (active != GetHWND() && !IsMenuWindow(active))
            BroadcastToMenus(kCloseAll, GetHWND());
        bHandled = true;
        return 0;
    }
    return WindowImplBase::HandleCustomMessage(msg, wParam, lParam, bHandled);
}

LRESULT MenuWindow::ResponseDefaultKeyEvent(WPARAM key)
{
    if (key == VK_ESCAPE) {
        CloseMenu();
        return 1;
    }
    return WindowImplBase::ResponseDefaultKeyEvent(key);
}

void MenuWindow::OnFinalMessage(HWND)
{
    Unregister();
    if (MenuElementUI* element = OwnerElement()) {
        element->SubMenuClosed();
        // The parent menu takes the focus back, as it would from a closed owned pop-up; otherwise
        // its own pending focus check would find no active window and close every menu.
        HWND parentMenu = element->GetManager() ? element->GetManager()->GetPaintWindow() : nullptr;
        const auto& menus = Registry();
        auto parent = std::find_if(menus.begin(), menus.end(),
            [parentMenu](MenuWindow* menu) { return menu->GetHWND() == parentMenu; });
        if (parent != menus.end() && !(*parent)->IsClosing()) {
            SetForegroundWindow(parentMenu);
            element->SetFocus();
        }
    }
    delete this;
}
