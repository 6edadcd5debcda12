#include "platform/ui/ButtonUI.h"

#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/RenderEngine.h"
#include "platform/ui/WindowMessages.h"
#include "platform/ui/qt/ControlWidget.h"

namespace platform::ui {

namespace {
    bool Inside(const RECT& rc, POINT pt)
    {
        return pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom;
    }
}

CButtonUI::CButtonUI()
{
    textStyle_ = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
    widget_->setFocusPolicy(Qt::TabFocus);
    widget_->setCursor(Qt::PointingHandCursor);
}

void* CButtonUI::GetInterface(const CDuiString& name)
{
    return name == u"Button" ? this : CLabelUI::GetInterface(name);
}

void CButtonUI::SetAttribute(const CDuiString& name, const CDuiString& value)
{
    if (name == u"normalimage")
        SetNormalImage(value);
    else if (name == u"hotimage")
        SetHotImage(value);
    else if (name == u"pushedimage")
        SetPushedImage(value);
    else if (name == u"disabledimage")
        SetDisabledImage(value);
    else if (name == u"foreimage")
        foreImage_ = value;
    else if (name == u"hotbkcolor")
        SetHotBkColor(ParseColor(value));
    else if (name == u"pushedbkcolor")
        pushedBkColor_ = ParseColor(value);
    else if (name == u"disabledbkcolor")
        SetDisabledBkColor(ParseColor(value));
    else if (name == u"hottextcolor")
        SetHotTextColor(ParseColor(value));
    else if (name == u"pushedtextcolor")
        pushedTextColor_ = ParseColor(value);
    else
        CLabelUI::SetAttribute(name, value);
}

void CButtonUI::DoEvent(TEventUI& event)
{
    if (!IsMouseEnabled() && event.Type >= UIEVENT_MOUSEMOVE && event.Type <= UIEVENT_CONTEXTMENU)
        return;
    switch (event.Type) {
    case UIEVENT_KEYDOWN:
        if (event.chKey == VK_SPACE || event.chKey == VK_RETURN) {
            Activate();
            return;
        }
        break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (IsEnabled()) {
            state_ |= kPushed;
            Invalidate();
        }
        return;
    case UIEVENT_BUTTONUP:
        if (state_ & kPushed) {
            state_ &= ~kPushed;
            Invalidate();
            if (Inside(GetPos(), event.ptMouse))
                Activate();
        }
        return;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

bool CButtonUI::Activate()
{
    if (!CLabelUI::Activate())
        return false;
    SendNotify(u"click");
    return true;
}

void CButtonUI::PaintBkColor(HDC hdc)
{
    DWORD color = bkColor_;
    // A disabled button never looks hot or pushed, whatever the pointer did before.
    if (!IsEnabled()) {
        if (disabledBkColor_)
            color = disabledBkColor_;
    } else if ((state_ & kPushed) && pushedBkColor_)
        color = pushedBkColor_;
    else if ((state_ & (kHot | kPushed)) && hotBkColor_)
        color = hotBkColor_;
    if (color)
        CRenderEngine::DrawColor(hdc, GetPos(), color);
}

void CButtonUI::PaintStatusImage(HDC hdc)
{
    const CDuiString* image = &normalImage_;
    if (!IsEnabled()) {
        if (!disabledImage_.empty())
            image = &disabledImage_;
    } else if ((state_ & kPushed) && !pushedImage_.empty())
        image = &pushedImage_;
    else if ((state_ & (kHot | kPushed)) && !hotImage_.empty())
        image = &hotImage_;
    if (!image->empty())
        CRenderEngine::DrawImage(hdc, manager_, GetPos(), *image);
    if (!foreImage_.empty())
        CRenderEngine::DrawImage(hdc, manager_, GetPos(), foreImage_);
}

void CButtonUI::PaintText(HDC hdc)
{
    DWORD color = 0;
    if ((state_ & kPushed) && pushedTextColor_)
        color = pushedTextColor_;
    else if ((state_ & (kHot | kPushed)) && hotTextColor_)
        color = hotTextColor_;
    PaintTextDefault(hdc, color);
}

} // namespace platform::ui
