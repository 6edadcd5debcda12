#pragma once

#include "platform/ui/ListContainerElementUI.h"
#include "ui/MenuItemInfo.h"

class MenuItemSource;
class MenuWindow;

// One row of a pop-up menu, showing an item record of the menu's owner. Pressing an
// enabled row posts its command and closes every menu; rows with a sub-menu open it
// instead. GUI thread only.
class MenuElementUI : public platform::ui::CListContainerElementUI {
public:
    static constexpr int kHeight = 25;
    static constexpr platform::ui::DWORD kEnabledTextColor = 0xFFFCFFFF;
    static constexpr platform::ui::DWORD kDisabledTextColor = 0xFFB5B5B5;

    MenuElementUI(int rootId, MenuItemSource* source);

    platform::ui::CDuiString GetClass() const override { return u"MenuElementUI"; }
    void* GetInterface(const platform::ui::CDuiString& name) override;
    void SetAttribute(const platform::ui::CDuiString& name, const platform::ui::CDuiString& value) override;
    void DoEvent(platform::ui::TEventUI& event) override;
    bool Activate() override;
    platform::ui::SIZE EstimateSize(platform::ui::SIZE available) override;

    // Builds the row for item from the row layout and takes over its id, parent and state.
    bool ShowItem(MenuItemInfo* item);
    // Records the tick and lets the source draw the state (enabled, colour, check image).
    void SetChecked(bool checked);
    // The drawing of the item state itself; sources without their own look call it.
    void ApplyItemState(bool checked);
    void HideNestedItems();

    MenuItemInfo* GetItemInfo() const { return itemInfo; }
    int GetItemId() const { return itemId; }
    int GetParentId() const { return parentId; }
    int GetRootId() const { return rootId; }
    bool HasSubMenu() const { return hasSubMenu; }
    bool IsChecked() const { return checked; }
    MenuWindow* GetSubMenu() const { return subMenu; }
    // The sub-menu window is gone.
    void SubMenuClosed();

private:
    bool WantsSubMenu();
    void OpenSubMenu();
    void PostCommand();
    platform::ui::HWND MenuWindowHandle() const;

    MenuItemInfo* itemInfo = nullptr;
    MenuWindow* subMenu = nullptr;
    int rootId;
    int itemId = -1;
    int parentId = -1;
    bool hasSubMenu = false;
    bool checked = false;
    MenuItemSource* source;
};
