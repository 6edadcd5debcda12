#pragma once

#include "platform/ui/ListUI.h"
#include "ui/MenuItemInfo.h"

#include <map>
#include <memory>

class MenuItemSource;

// The list of a pop-up menu: holds menu elements only, and keeps the items nested
// inside an element out of sight. GUI thread only.
class MenuUI : public platform::ui::CListUI {
public:
    MenuUI(int rootId, int parentId);

    platform::ui::CDuiString GetClass() const override { return u"MenuUI"; }
    void* GetInterface(const platform::ui::CDuiString& name) override;

    bool AddAt(platform::ui::CControlUI* control, int index) override;
    bool Remove(platform::ui::CControlUI* control) override;
    bool SetItemIndex(platform::ui::CControlUI* control, int index) override;
    int GetItemIndex(platform::ui::CControlUI* control) const override;

    int GetRootId() const { return rootId; }
    int GetParentId() const { return parentId; }

    // Adds an element for every record of table under this menu's parent id, in id order.
    int FillFrom(const std::map<int, std::unique_ptr<MenuItemInfo>>& table, MenuItemSource* source);

private:
    static bool IsMenuElement(platform::ui::CControlUI* control);

    int rootId;
    int parentId;
};
