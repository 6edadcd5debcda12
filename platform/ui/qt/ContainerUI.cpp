#include "platform/ui/ContainerUI.h"

#include <algorithm>

#include <QBoxLayout>
#include <QGridLayout>

#include "platform/ui/qt/Attributes.h"
#include "platform/ui/qt/ControlWidget.h"

namespace platform::ui {

namespace {
    QLayout* MakeLayout(CContainerUI::Arrangement arrangement, QWidget* widget)
    {
        QLayout* layout = nullptr;
        switch (arrangement) {
        case CContainerUI::Arrangement::Horizontal:
            layout = new QHBoxLayout(widget);
            break;
        case CContainerUI::Arrangement::Vertical:
            layout = new QVBoxLayout(widget);
            break;
        case CContainerUI::Arrangement::Stack:
            layout = new QGridLayout(widget);
            break;
        }
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        // Once every child has reached its largest size, the rest stays empty at the end
        // instead of opening gaps between the children.
        if (auto* box = dynamic_cast<QBoxLayout*>(layout))
            box->addStretch(0);
        return layout;
    }

    // A removed child's widget stays behind, emptied, until Qt deletes it; widgets that are not
    // controls (hosted windows) are not children either.
    CControlUI* ItemOf(QObject* object)
    {
        auto* drawn = qobject_cast<qt::ControlWidget*>(object);
        return drawn ? drawn->Control() : nullptr;
    }

    template <typename Visit> void VisitItems(const QWidget* host, Visit visit)
    {
        if (!host)
            return;
        for (QObject* object : host->children()) {
            if (CControlUI* item = ItemOf(object); item && !visit(item))
                return;
        }
    }
}

CContainerUI::CContainerUI()
    : CContainerUI(Arrangement::Stack)
{
}

CContainerUI::CContainerUI(Arrangement arrangement)
    : arrangement_(arrangement)
{
    MakeLayout(arrangement, widget_);
}

CContainerUI::~CContainerUI()
{
    // Children first: their widgets live inside this control's widget.
    RemoveAll();
}

CDuiString CContainerUI::GetClass() const { return u"ContainerUI"; }

QWidget* CContainerUI::ItemHost() const { return widget_; }

void* CContainerUI::GetInterface(const CDuiString& name)
{
    return name == u"Container" ? this : CControlUI::GetInterface(name);
}

void CContainerUI::SetAttribute(const CDuiString& name, const CDuiString& value)
{
    if (name == u"inset")
        SetInset(qt::ParseRect(value));
    else if (name == u"childpadding")
        SetChildPadding(qt::ParseInt(value));
    else
        CControlUI::SetAttribute(name, value);
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent)
{
    CControlUI::SetManager(manager, parent);
    for (CControlUI* item : Items())
        item->SetManager(manager, this);
}

CControlUI* CContainerUI::FindControl(const CDuiString& name)
{
    if (CControlUI* self = CControlUI::FindControl(name))
        return self;
    return FindSubControl(name);
}

CControlUI* CContainerUI::FindSubControl(const CDuiString& name)
{
    CControlUI* found = nullptr;
    VisitItems(ItemHost(), [&](CControlUI* item) {
        found = item->FindControl(name);
        return !found;
    });
    return found;
}

void CContainerUI::SetMouseChildEnabled(bool enabled)
{
    CControlUI::SetMouseChildEnabled(enabled);
    for (CControlUI* item : Items())
        item->SetMouseEnabled(item->IsMouseEnabled());
}

std::vector<CControlUI*> CContainerUI::Items() const
{
    std::vector<CControlUI*> items;
    VisitItems(ItemHost(), [&](CControlUI* item) {
        items.push_back(item);
        return true;
    });
    return items;
}

int CContainerUI::GetCount() const
{
    int count = 0;
    VisitItems(ItemHost(), [&](CControlUI*) {
        ++count;
        return true;
    });
    return count;
}

CControlUI* CContainerUI::GetItemAt(int index) const
{
    CControlUI* found = nullptr;
    int position = 0;
    VisitItems(ItemHost(), [&](CControlUI* item) {
        if (position++ == index)
            found = item;
        return !found;
    });
    return found;
}

int CContainerUI::GetItemIndex(CControlUI* control) const
{
    int found = -1;
    int position = 0;
    VisitItems(ItemHost(), [&](CControlUI* item) {
        if (item == control)
            found = position;
        ++position;
        return found < 0;
    });
    return found;
}

bool CContainerUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CContainerUI::AddAt(CControlUI* control, int index)
{
    QWidget* child = control ? control->Widget() : nullptr;
    QWidget* host = ItemHost();
    if (!child || !host || index < 0 || index > GetCount() || GetItemIndex(control) >= 0)
        return false;
    CControlUI* next = GetItemAt(index);
    // Parented first: the child finds its container through its widget. The order of the
    // host's child widgets is the order of the children.
    child->setParent(host);
    if (next)
        child->stackUnder(next->Widget());
    QLayout* layout = host->layout();
    if (auto* box = dynamic_cast<QBoxLayout*>(layout))
        box->insertWidget(index, child, 1);
    else if (auto* grid = dynamic_cast<QGridLayout*>(layout))
        grid->addWidget(child, 0, 0);
    control->SetManager(manager_, this);
    control->ApplyVisibility();
    OnItemsChanged();
    return true;
}

bool CContainerUI::Remove(CControlUI* control)
{
    int index = GetItemIndex(control);
    if (index < 0)
        return false;
    return RemoveAt(index);
}

bool CContainerUI::RemoveAt(int index)
{
    CControlUI* control = GetItemAt(index);
    if (!control)
        return false;
    ItemHost()->layout()->removeWidget(control->Widget());
    delete control;
    OnItemsChanged();
    return true;
}

void CContainerUI::RemoveAll()
{
    std::vector<CControlUI*> items = Items();
    for (auto item = items.rbegin(); item != items.rend(); ++item) {
        ItemHost()->layout()->removeWidget((*item)->Widget());
        delete *item;
    }
    OnItemsChanged();
}

void CContainerUI::SetInset(RECT rc)
{
    inset_ = rc;
    if (widget_)
        widget_->layout()->setContentsMargins(rc.left, rc.top, rc.right, rc.bottom);
}

void CContainerUI::SetChildPadding(int padding)
{
    childPadding_ = padding;
    if (QWidget* host = ItemHost())
        host->layout()->setSpacing(padding);
}

SIZE CContainerUI::EstimateSize(SIZE available)
{
    SIZE size = CControlUI::EstimateSize(available);
    if (size.cx > 0 && size.cy > 0)
        return size;
    int width = 0, height = 0;
    int visible = 0;
    for (CControlUI* item : Items()) {
        if (!item->IsVisible())
            continue;
        ++visible;
        SIZE child = item->EstimateSize(available);
        RECT pad = item->GetPadding();
        child.cx += pad.left + pad.right;
        child.cy += pad.top + pad.bottom;
        if (arrangement_ == Arrangement::Horizontal) {
            width += child.cx;
            height = std::max(height, child.cy);
        } else if (arrangement_ == Arrangement::Vertical) {
            width = std::max(width, child.cx);
            height += child.cy;
        } else {
            width = std::max(width, child.cx);
            height = std::max(height, child.cy);
        }
    }
    int gaps = visible > 1 ? (visible - 1) * childPadding_ : 0;
    if (arrangement_ == Arrangement::Horizontal)
        width += gaps;
    else if (arrangement_ == Arrangement::Vertical)
        height += gaps;
    width += inset_.left + inset_.right;
    height += inset_.top + inset_.bottom;
    return SIZE { size.cx > 0 ? size.cx : width, size.cy > 0 ? size.cy : height };
}

} // namespace platform::ui
