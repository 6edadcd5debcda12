#pragma once

#include "platform/engine/CefRefCounted.h"

#include <string>
#include <vector>

namespace platform::engine {

/// The first command number free for the client's own menu entries.
constexpr int MENU_ID_USER_FIRST = 26500;

/// What a context menu was opened on (a bit mask).
enum cef_context_menu_type_flags_t {
    CM_TYPEFLAG_NONE = 0,
    CM_TYPEFLAG_PAGE = 1 << 0,
    CM_TYPEFLAG_FRAME = 1 << 1,
    CM_TYPEFLAG_LINK = 1 << 2,
    CM_TYPEFLAG_MEDIA = 1 << 3,
    CM_TYPEFLAG_SELECTION = 1 << 4,
    CM_TYPEFLAG_EDITABLE = 1 << 5,
};

enum cef_menu_item_type_t {
    MENUITEMTYPE_NONE,
    MENUITEMTYPE_COMMAND,
    MENUITEMTYPE_SEPARATOR,
};

/// Where and on what a context menu was opened. Filled in by the engine.
class CefContextMenuParams : public virtual CefBaseRefCounted {
public:
    CefContextMenuParams(int typeFlags, int x, int y)
        : typeFlags(typeFlags)
        , x(x)
        , y(y)
    {
    }
    int GetTypeFlags() const { return typeFlags; }
    /// The point the menu was opened at, in the browser window's coordinates.
    int GetXCoord() const { return x; }
    int GetYCoord() const { return y; }

private:
    int typeFlags;
    int x;
    int y;
    IMPLEMENT_REFCOUNTING(CefContextMenuParams);
};

/// The entries of a context menu in display order; the engine's own come first.
class CefMenuModel : public virtual CefBaseRefCounted {
public:
    struct Item {
        cef_menu_item_type_t type = MENUITEMTYPE_NONE;
        int commandId = -1;
        std::u16string label;
    };

    size_t GetCount() const { return items.size(); }
    bool AddSeparator();
    bool AddItem(int commandId, const std::u16string& label);
    /// -1 for a separator or an index out of range.
    int GetCommandIdAt(size_t index) const;
    std::u16string GetLabelAt(size_t index) const;
    cef_menu_item_type_t GetTypeAt(size_t index) const;
    const std::vector<Item>& Items() const { return items; }

private:
    std::vector<Item> items;
    IMPLEMENT_REFCOUNTING(CefMenuModel);
};

} // namespace platform::engine
