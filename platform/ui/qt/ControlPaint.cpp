#include "platform/ui/ControlUI.h"

#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/RenderEngine.h"
#include "platform/ui/qt/ControlWidget.h"

namespace platform::ui {

void CControlUI::DoPaint(HDC hdc, const RECT&)
{
    PaintBkColor(hdc);
    PaintBkImage(hdc);
    PaintStatusImage(hdc);
    PaintText(hdc);
    PaintBorder(hdc);
}

void CControlUI::PaintBkColor(HDC hdc)
{
    if (bkColor_)
        CRenderEngine::DrawColor(hdc, GetPos(), bkColor_);
}

void CControlUI::PaintBkImage(HDC hdc)
{
    if (!bkImage_.empty())
        CRenderEngine::DrawImage(hdc, manager_, GetPos(), bkImage_);
}

void CControlUI::PaintStatusImage(HDC) { }

void CControlUI::PaintText(HDC) { }

void CControlUI::PaintBorder(HDC hdc)
{
    if (borderSize_ > 0 && borderColor_)
        CRenderEngine::DrawRect(hdc, GetPos(), borderSize_, borderColor_);
}

void CControlUI::PaintTextDefault(HDC hdc, DWORD color)
{
    RECT rc = GetPos();
    rc.left += textPadding_.left;
    rc.top += textPadding_.top;
    rc.right -= textPadding_.right;
    rc.bottom -= textPadding_.bottom;
    PaintTextDefault(hdc, color, rc);
}

void CControlUI::PaintTextDefault(HDC hdc, DWORD color, RECT rc)
{
    if (text_.empty())
        return;
    if (!color)
        color = textColor_;
    if (!IsEnabled())
        color = disabledTextColor_ ? disabledTextColor_
                                   : (manager_ ? manager_->GetDefaultDisabledColor() : 0xFFA0A4AB);
    if (!color)
        color = manager_ ? manager_->GetDefaultFontColor() : 0xFF1F2329;
    CRenderEngine::DrawTextW(hdc, manager_, rc, text_, color, font_, textStyle_);
}

void CControlUI::Invalidate()
{
    if (widget_)
        widget_->update();
}

} // namespace platform::ui
