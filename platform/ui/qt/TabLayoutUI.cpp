#include "platform/ui/TabLayoutUI.h"

#include "platform/ui/qt/Attributes.h"

namespace platform::ui {

CTabLayoutUI::CTabLayoutUI()
    : CContainerUI(Arrangement::Stack)
{
}

void* CTabLayoutUI::GetInterface(const CDuiString& name)
{
    return name == u"TabLayout" ? this : CContainerUI::GetInterface(name);
}

void CTabLayoutUI::SetAttribute(const CDuiString& name, const CDuiString& value)
{
    if (name == u"selectedid")
        SelectItem(qt::ParseInt(value));
    else
        CContainerUI::SetAttribute(name, value);
}

void CTabLayoutUI::ShowOnly(int index)
{
    std::vector<CControlUI*> items = Items();
    for (size_t i = 0; i < items.size(); ++i)
        items[i]->SetInternVisible(static_cast<int>(i) == index);
}

bool CTabLayoutUI::AddAt(CControlUI* control, int index)
{
    if (!CContainerUI::AddAt(control, index))
        return false;
    if (curSel_ < 0)
        curSel_ = index;
    else if (index <= curSel_)
        ++curSel_;
    ShowOnly(curSel_);
    return true;
}

bool CTabLayoutUI::Remove(CControlUI* control)
{
    int index = GetItemIndex(control);
    if (index < 0 || !CContainerUI::RemoveAt(index))
        return false;
    if (GetCount() == 0)
        curSel_ = -1;
    else if (index < curSel_ || curSel_ >= GetCount())
        --curSel_;
    ShowOnly(curSel_);
    return true;
}

void CTabLayoutUI::RemoveAll()
{
    CContainerUI::RemoveAll();
    curSel_ = -1;
}

bool CTabLayoutUI::SelectItem(int index, bool)
{
    if (index < 0 || index >= GetCount())
        return false;
    int old = curSel_;
    curSel_ = index;
    ShowOnly(index);
    if (old != index && manager_)
        SendNotify(u"tabselect", static_cast<WPARAM>(index), old);
    return true;
}

} // namespace platform::ui
