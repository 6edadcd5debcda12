#include "platform/ui/OptionUI.h"

#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/RenderEngine.h"
#include "platform/ui/qt/Attributes.h"
#include "platform/ui/qt/ControlWidget.h"

namespace platform::ui {

COptionUI::COptionUI() { }

// Its window may be gone already; the window drops it from the group when it next looks.
COptionUI::~COptionUI() = default;

void* COptionUI::GetInterface(const CDuiString& name)
{
    return name == u"Option" ? this : CButtonUI::GetInterface(name);
}

void COptionUI::SetAttribute(const CDuiString& name, const CDuiString& value)
{
    if (name == u"group")
        SetGroup(value);
    else if (name == u"selected")
        Selected(qt::ParseBool(value), false);
    else if (name == u"selectedimage")
        SetSelectedImage(value);
    else if (name == u"selectedhotimage")
        selectedHotImage_ = value;
    else if (name == u"selectedbkcolor")
        selectedBkColor_ = ParseColor(value);
    else if (name == u"selectedtextcolor")
        selectedTextColor_ = ParseColor(value);
    else
        CButtonUI::SetAttribute(name, value);
}

void COptionUI::SetManager(CPaintManagerUI* manager, CControlUI* parent)
{
    if (manager_ && manager_ != manager && !group_.empty())
        manager_->RemoveOptionGroup(group_, this);
    CButtonUI::SetManager(manager, parent);
    if (manager_ && !group_.empty()) {
        manager_->AddOptionGroup(group_, this);
        if (selected_)
            Selected(true, false);
    }
}

void COptionUI::SetGroup(const CDuiString& group)
{
    if (group == group_)
        return;
    if (manager_ && !group_.empty())
        manager_->RemoveOptionGroup(group_, this);
    group_ = group;
    if (manager_ && !group_.empty())
        manager_->AddOptionGroup(group_, this);
}

void COptionUI::Selected(bool selected, bool sendNotify)
{
    bool changed = selected_ != selected;
    selected_ = selected;
    if (selected_)
        state_ |= kSelected;
    else
        state_ &= ~kSelected;
    if (selected_ && manager_ && !group_.empty()) {
        for (COptionUI* other : manager_->GetOptionGroup(group_)) {
            if (other != this && other->IsSelected())
                other->Selected(false, sendNotify);
        }
    }
    Invalidate();
    if (changed && sendNotify && manager_)
        SendNotify(u"selectchanged", selected_ ? 1 : 0);
}

bool COptionUI::Activate()
{
    // The button's own click is sent below instead, so that handlers see the state from before it.
    if (!CControlUI::Activate()) // NOLINT(bugprone-parent-virtual-call)
        return false;
    // Handlers may destroy the option.
    qt::ControlGuard guard(this);
    SendNotify(u"click");
    if (!guard.Alive())
        return true;
    Selected(group_.empty() ? !selected_ : true);
    return true;
}

void COptionUI::PaintBkColor(HDC hdc)
{
    if (selected_ && selectedBkColor_)
        CRenderEngine::DrawColor(hdc, GetPos(), selectedBkColor_);
    else
        CButtonUI::PaintBkColor(hdc);
}

void COptionUI::PaintStatusImage(HDC hdc)
{
    if (selected_ && (state_ & kHot) && !selectedHotImage_.empty())
        CRenderEngine::DrawImage(hdc, manager_, GetPos(), selectedHotImage_);
    else if (selected_ && !selectedImage_.empty())
        CRenderEngine::DrawImage(hdc, manager_, GetPos(), selectedImage_);
    else
        CButtonUI::PaintStatusImage(hdc);
}

void COptionUI::PaintText(HDC hdc)
{
    PaintTextDefault(hdc, selected_ && selectedTextColor_ ? selectedTextColor_ : 0);
}

} // namespace platform::ui
