#pragma once

#include "platform/ui/WindowMessages.h"

class MenuUI;
class MenuElementUI;

// What a pop-up menu asks its owner for: the items it shows, their state and where
// commands go. GUI thread only.
class MenuItemSource {
public:
    virtual ~MenuItemSource() = default;
    // Adds one element per item of menu's parent id (table chosen by its root id); returns the count.
    virtual int FillMenu(MenuUI* menu) = 0;
    virtual bool HasSubMenu(MenuElementUI* element) = 0;
    virtual void ApplyItemState(MenuElementUI* element, bool checked) = 0;
    virtual void Reserved() { }
    virtual platform::ui::HWND OwnerWindow() = 0;
};
