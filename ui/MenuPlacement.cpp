#include "ui/MenuPlacement.h"

using platform::ui::POINT;
using platform::ui::RECT;
using platform::ui::SIZE;

RECT PlaceTopLevelMenu(POINT anchor, SIZE size, const RECT& workArea)
{
    int left = anchor.x;
    int top = anchor.y;
    if (left + size.cx > workArea.right)
        left = anchor.x - size.cx;
    if (top + size.cy > workArea.bottom)
        top = anchor.y - size.cy;
    return RECT { left, top, left + size.cx, top + size.cy };
}

RECT PlaceSubMenu(const SubMenuMetrics& metrics, const std::vector<RECT>& earlierMenus, const RECT& workArea)
{
    const RECT& parent = metrics.parent;
    int left = parent.right;
    int right = parent.right + metrics.widest + 6;
    int top = metrics.ownerTop;
    int bottom = top + metrics.totalHeight;

    // An earlier menu below or right of the parent means the cascade already turned; keep its direction.
    for (const RECT& menu : earlierMenus) {
        bool turned = false;
        if (menu.top >= parent.bottom) {
            bottom = parent.top;
            top = parent.top - metrics.totalHeight;
            turned = true;
        }
        if (menu.left >= parent.right) {
            left = parent.left - (metrics.widest + 4);
            right = parent.left;
            turned = true;
        }
        if (turned)
            break;
    }

    if (bottom > workArea.bottom) {
        bottom = top + metrics.lastHeight;
        top = top + metrics.lastHeight - metrics.totalHeight;
    }
    if (right > workArea.right) {
        left = parent.left - (metrics.widest + 4);
        right = parent.left;
        bottom = top + metrics.totalHeight;
    }
    if (top < workArea.top) {
        top = workArea.top;
        bottom = top + metrics.totalHeight;
    }
    if (left < workArea.left) {
        left = parent.right;
        right = parent.right + metrics.widest + 4;
    }
    return RECT { left, top, right, bottom };
}
