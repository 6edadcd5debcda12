#pragma once

#include "platform/ui/ControlRef.h"
#include "platform/ui/WindowImplBase.h"

#include <vector>

class MenuElementUI;
class MenuItemSource;
class MenuUI;

// A borderless top-most pop-up menu window. Every open menu is in one process-wide
// list through which menus close each other; the window frees itself once closed.
// GUI thread only.
class MenuWindow : public platform::ui::WindowImplBase {
public:
    enum Broadcast : int { kCloseAll = 1, kCloseDeeper = 2 };

    MenuWindow(int rootId, int parentId, MenuItemSource* source, platform::ui::HWND owner);
    ~MenuWindow() override;

    // Opens a top-level menu of the items under parentId at anchor (screen coordinates);
    // nullptr when the menu layout cannot be built.
    static MenuWindow* Open(platform::ui::HWND owner, int rootId, int parentId, MenuItemSource* source,
        platform::ui::POINT anchor);
    // kCloseAll closes every open menu; kCloseDeeper those owned, directly or not, by hwnd.
    // Newest menus are told first.
    static void BroadcastToMenus(int kind, platform::ui::HWND hwnd);
    static const std::vector<MenuWindow*>& OpenMenus();
    static bool IsMenuWindow(platform::ui::HWND hwnd);

    // Registers, creates and shows the window; ownerElement is the row whose sub-menu this is.
    bool Show(MenuElementUI* ownerElement, platform::ui::POINT anchor);
    MenuUI* GetMenu() const;
    // Told to close; the window itself goes once its close message is handled.
    bool IsClosing() const { return closing; }

    platform::ui::CDuiString GetSkinFolder() override { return u"skin/Zandrel/"; }
    platform::ui::CDuiString GetSkinFile() override { return u"menu/menu.xml"; }
    platform::ui::CDuiString GetWindowClassName() const override { return u"MenuWindow"; }
    platform::ui::UINT GetClassStyle() const override;
    platform::ui::CControlUI* CreateControl(const platform::ui::CDuiString& className) override;
    void InitWindow() override;
    platform::ui::LRESULT HandleCustomMessage(platform::ui::UINT msg, platform::ui::WPARAM wParam,
        platform::ui::LPARAM lParam, bool& bHandled) override;
    platform::ui::LRESULT ResponseDefaultKeyEvent(platform::ui::WPARAM key) override;
    void OnFinalMessage(platform::ui::HWND hwnd) override;

private:
    void Register();
    void Unregister();
    void Receive(int kind, platform::ui::HWND hwnd);
    void CloseMenu();
    void PlaceTopLevel();
    void PlaceBesideOwner();
    // The row whose sub-menu this is, while it exists; nullptr for a top-level menu.
    MenuElementUI* OwnerElement() const;

    bool registered = false;
    platform::ui::HWND owner;
    platform::ui::POINT anchor;
    platform::ui::ControlRef ownerElement;
    MenuItemSource* source;
    int rootId;
    int parentId;
    bool closing = false;
};
