#include "ui/MenuUI.h"

#include "ui/MenuElementUI.h"

using namespace platform::ui;

MenuUI::MenuUI(int rootId, int parentId)
    : rootId(rootId)
    , parentId(parentId)
{
    SetHeaderVisible(false);
}

void* MenuUI::GetInterface(const CDuiString& name)
{
    return name == u"Menu" ? this : CListUI::GetInterface(name);
}

bool MenuUI::IsMenuElement(CControlUI* control)
{
    return control && control->GetInterface(u"MenuElement") != nullptr;
}

bool MenuUI::AddAt(CControlUI* control, int index)
{
    if (!IsMenuElement(control))
        return false;
    // Items nested in an element belong to its sub-menu, never inline.
    auto* element = static_cast<MenuElementUI*>(control->GetInterface(u"MenuElement"));
    element->HideNestedItems();
    return CListUI::AddAt(control, index);
}

bool MenuUI::Remove(CControlUI* control) { return IsMenuElement(control) && CListUI::Remove(control); }

bool MenuUI::SetItemIndex(CControlUI* control, int index)
{
    return IsMenuElement(control) && CListUI::SetItemIndex(control, index);
}

int MenuUI::GetItemIndex(CControlUI* control) const
{
    return IsMenuElement(control) ? CListUI::GetItemIndex(control) : -1;
}

int MenuUI::FillFrom(const std::map<int, std::unique_ptr<MenuItemInfo>>& table, MenuItemSource* source)
{
    int added = 0;
    for (const auto& [id, item] : table) {
        if (!item || item->parentId != parentId)
            continue;
        auto* element = new MenuElementUI(rootId, source);
        element->ShowItem(item.get());
        if (Add(element))
            ++added;
        else
            delete element;
    }
    return added;
}
