#include "platform/ui/ListUI.h"

#include <QBoxLayout>

#include "platform/ui/ListContainerElementUI.h"
#include "platform/ui/qt/Attributes.h"
#include "platform/ui/qt/ControlWidget.h"

namespace platform::ui {

CListUI::CListUI() { }

void* CListUI::GetInterface(const CDuiString& name)
{
    return name == u"List" ? this : CVerticalLayoutUI::GetInterface(name);
}

void CListUI::SetAttribute(const CDuiString& name, const CDuiString& value)
{
    TListInfoUI& info = listInfo_;
    if (name == u"itemfont")
        info.nFont = qt::ParseInt(value);
    else if (name == u"itemtextpadding")
        info.rcTextPadding = qt::ParseRect(value);
    else if (name == u"itemtextcolor")
        info.dwTextColor = ParseColor(value);
    else if (name == u"itembkcolor")
        info.dwBkColor = ParseColor(value);
    else if (name == u"itemselectedtextcolor")
        info.dwSelectedTextColor = ParseColor(value);
    else if (name == u"itemselectedbkcolor")
        info.dwSelectedBkColor = ParseColor(value);
    else if (name == u"itemhottextcolor")
        info.dwHotTextColor = ParseColor(value);
    else if (name == u"itemhotbkcolor")
        info.dwHotBkColor = ParseColor(value);
    else if (name == u"itemdisabledtextcolor")
        info.dwDisabledTextColor = ParseColor(value);
    else if (name == u"itemdisabledbkcolor")
        info.dwDisabledBkColor = ParseColor(value);
    else if (name == u"itemshowhtml")
        info.bShowHtml = qt::ParseBool(value);
    else if (name == u"itemalign") {
        info.uTextStyle &= ~(DT_CENTER | DT_RIGHT);
        if (value == u"center")
            info.uTextStyle |= DT_CENTER;
        else if (value == u"right")
            info.uTextStyle |= DT_RIGHT;
    } else if (name == u"header")
        SetHeaderVisible(value != u"hidden" && value != u"false");
    else
        CVerticalLayoutUI::SetAttribute(name, value);
}

void CListUI::Reindex()
{
    std::vector<CControlUI*> items = Items();
    for (size_t i = 0; i < items.size(); ++i) {
        if (auto* element = static_cast<CListContainerElementUI*>(items[i]->GetInterface(u"ListItem"))) {
            element->SetOwner(this);
            element->SetIndex(static_cast<int>(i));
        }
    }
}

bool CListUI::AddAt(CControlUI* control, int index)
{
    if (!CVerticalLayoutUI::AddAt(control, index))
        return false;
    if (curSel_ >= index)
        ++curSel_;
    Reindex();
    return true;
}

bool CListUI::Remove(CControlUI* control)
{
    int index = GetItemIndex(control);
    if (index < 0 || !CVerticalLayoutUI::RemoveAt(index))
        return false;
    if (curSel_ == index)
        curSel_ = -1;
    else if (curSel_ > index)
        --curSel_;
    Reindex();
    return true;
}

bool CListUI::SetItemIndex(CControlUI* control, int index)
{
    int old = GetItemIndex(control);
    if (old < 0 || index < 0 || index >= GetCount())
        return false;
    if (old == index)
        return true;
    // The widget order is the item order; the widget now at the target place, or the one after
    // it when moving down, is the one to go beneath.
    if (CControlUI* next = GetItemAt(index < old ? index : index + 1))
        control->Widget()->stackUnder(next->Widget());
    else
        control->Widget()->raise();
    if (curSel_ == old)
        curSel_ = index;
    else if (old < curSel_ && curSel_ <= index)
        --curSel_;
    else if (index <= curSel_ && curSel_ < old)
        ++curSel_;
    if (auto* box = dynamic_cast<QBoxLayout*>(widget_ ? widget_->layout() : nullptr)) {
        box->removeWidget(control->Widget());
        box->insertWidget(index, control->Widget(), 1);
    }
    Reindex();
    return true;
}

bool CListUI::SelectItem(int index, bool takeFocus)
{
    if (index == curSel_)
        return true;
    if (CControlUI* old = GetItemAt(curSel_)) {
        if (auto* element = static_cast<CListContainerElementUI*>(old->GetInterface(u"ListItem")))
            element->Select(false);
    }
    curSel_ = -1;
    CControlUI* item = GetItemAt(index);
    if (!item)
        return false;
    auto* element = static_cast<CListContainerElementUI*>(item->GetInterface(u"ListItem"));
    if (!element || !element->IsEnabled())
        return false;
    curSel_ = index;
    element->Select(true);
    if (takeFocus)
        item->SetFocus();
    SendNotify(u"itemselect", static_cast<WPARAM>(index));
    return true;
}

} // namespace platform::ui
