#pragma once

#include "platform/ui/WindowTypes.h"

#include <vector>

// Where pop-up menus go on screen, as pure functions over screen rectangles.

// A menu of size opens with its top-left corner at anchor, flipping to the left of
// and above the anchor where it would pass the work area's right or bottom edge.
platform::ui::RECT PlaceTopLevelMenu(
    platform::ui::POINT anchor, platform::ui::SIZE size, const platform::ui::RECT& workArea);

struct SubMenuMetrics {
    platform::ui::RECT parent; // the parent menu window
    int ownerTop = 0; // top of the item that opens the sub-menu, on screen
    int widest = 0; // widest item
    int totalHeight = 0; // all items
    int lastHeight = 0; // last item
};

// A sub-menu beside its parent menu. earlierMenus are the menu windows opened before
// the parent, oldest first: one below or right of the parent turns the cascade up or left.
platform::ui::RECT PlaceSubMenu(const SubMenuMetrics& metrics,
    const std::vector<platform::ui::RECT>& earlierMenus, const platform::ui::RECT& workArea);
