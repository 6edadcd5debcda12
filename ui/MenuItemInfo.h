#pragma once

#include <string>

// One item of a pop-up menu. The menu's owner keeps the records; menus only point at them.
struct MenuItemInfo {
    int id = -1;
    int parentId = -1;
    std::u16string text;
    bool hasSubMenu = false;
    // 0 plain; 1 or 2 tickable (shown ticked or unticked by checked); others leave the image as it is.
    int checkKind = 0;
    bool checked = false;
    bool enabled = true;
};
