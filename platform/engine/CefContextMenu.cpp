#include "platform/engine/CefContextMenu.h"

namespace platform::engine {

bool CefMenuModel::AddSeparator()
{
    items.push_back(Item { MENUITEMTYPE_SEPARATOR, -1, std::u16string() });
    return true;
}

bool CefMenuModel::AddItem(int commandId, const std::u16string& label)
{
    items.push_back(Item { MENUITEMTYPE_COMMAND, commandId, label });
    return true;
}

int CefMenuModel::GetCommandIdAt(size_t index) const
{
    return index < items.size() ? items[index].commandId : -1;
}

std::u16string CefMenuModel::GetLabelAt(size_t index) const
{
    return index < items.size() ? items[index].label : std::u16string();
}

cef_menu_item_type_t CefMenuModel::GetTypeAt(size_t index) const
{
    return index < items.size() ? items[index].type : MENUITEMTYPE_NONE;
}

} // namespace platform::engine
