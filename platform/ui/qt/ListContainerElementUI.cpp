#include "platform/ui/ListContainerElementUI.h"

#include "platform/ui/ListUI.h"
#include "platform/ui/RenderEngine.h"
#include "platform/ui/WindowMessages.h"
#include "platform/ui/qt/ControlWidget.h"

namespace platform::ui {

CListContainerElementUI::CListContainerElementUI()
    : CContainerUI(Arrangement::Horizontal)
{
    widget_->setFocusPolicy(Qt::StrongFocus);
}

void* CListContainerElementUI::GetInterface(const CDuiString& name)
{
    if (name == u"ListItem" || name == u"ListContainerElement")
        return this;
    return CContainerUI::GetInterface(name);
}

bool CListContainerElementUI::Select(bool select)
{
    selected_ = select;
    if (select)
        state_ |= kSelected;
    else
        state_ &= ~kSelected;
    Invalidate();
    return true;
}

void CListContainerElementUI::DoEvent(TEventUI& event)
{
    switch (event.Type) {
    case UIEVENT_MOUSEENTER:
        if (IsEnabled()) {
            state_ |= kHot;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSELEAVE:
        state_ &= ~kHot;
        Invalidate();
        return;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_RBUTTONDOWN:
        if (IsEnabled()) {
            qt::ControlGuard guard(this);
            SendNotify(u"itemclick");
            if (guard.Alive() && owner_)
                owner_->SelectItem(index_, true);
        }
        return;
    case UIEVENT_DBLCLICK:
        if (IsEnabled())
            Activate();
        return;
    case UIEVENT_KEYDOWN:
        if (event.chKey == VK_RETURN || event.chKey == VK_SPACE)
            Activate();
        return;
    default:
        break;
    }
}

bool CListContainerElementUI::Activate()
{
    if (!CContainerUI::Activate())
        return false;
    SendNotify(u"itemactivate");
    return true;
}

void CListContainerElementUI::PaintBkColor(HDC hdc)
{
    DWORD color = bkColor_;
    if (owner_) {
        const TListInfoUI* info = owner_->GetListInfo();
        if (!IsEnabled() && info->dwDisabledBkColor)
            color = info->dwDisabledBkColor;
        else if (selected_ && info->dwSelectedBkColor)
            color = info->dwSelectedBkColor;
        else if ((state_ & kHot) && info->dwHotBkColor)
            color = info->dwHotBkColor;
        else if (info->dwBkColor && !color)
            color = info->dwBkColor;
    }
    if (color)
        CRenderEngine::DrawColor(hdc, GetPos(), color);
}

void CListContainerElementUI::PaintText(HDC hdc)
{
    // Rows built from child controls draw their own texts.
    if (GetCount() > 0 || text_.empty())
        return;
    const TListInfoUI* info = owner_ ? owner_->GetListInfo() : nullptr;
    DWORD color = textColor_;
    int font = font_;
    UINT style = textStyle_;
    RECT rc = GetPos();
    if (info) {
        color = !IsEnabled()  ? info->dwDisabledTextColor
            : selected_       ? info->dwSelectedTextColor
            : (state_ & kHot) ? info->dwHotTextColor
                              : info->dwTextColor;
        if (!color)
            color = info->dwTextColor;
        font = info->nFont;
        style = info->uTextStyle | DT_SINGLELINE;
        rc.left += info->rcTextPadding.left;
        rc.right -= info->rcTextPadding.right;
        rc.top += info->rcTextPadding.top;
        rc.bottom -= info->rcTextPadding.bottom;
    }
    if (info && info->bShowHtml)
        CRenderEngine::DrawHtmlText(hdc, manager_, rc, text_, color, font, style);
    else
        CRenderEngine::DrawTextW(hdc, manager_, rc, text_, color, font, style);
}

} // namespace platform::ui
