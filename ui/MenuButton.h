#pragma once

#include "platform/ui/ButtonUI.h"

// A button that names a menu ("menu_id") and reports hover with "menu_button_hot".
// GUI thread only.
class MenuButton : public platform::ui::CButtonUI {
public:
    platform::ui::CDuiString GetClass() const override { return u"MenuButtonUI"; }
    void* GetInterface(const platform::ui::CDuiString& name) override;
    void SetAttribute(const platform::ui::CDuiString& name, const platform::ui::CDuiString& value) override;
    void DoEvent(platform::ui::TEventUI& event) override;

    int GetMenuId() const { return menuId; }
    void SetMenuId(int id) { menuId = id; }

private:
    int menuId = 0;
};
