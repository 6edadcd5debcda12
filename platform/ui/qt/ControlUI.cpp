#include "platform/ui/ControlUI.h"

#include <utility>

#include "platform/ui/Application.h"
#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/qt/ControlWidget.h"

namespace platform::ui {

CControlUI::CControlUI()
{
    EnsureApplication();
    widget_ = new qt::ControlWidget(this);
    widget_->hide();
}

CControlUI::~CControlUI()
{
    // Deleted directly rather than through its widget: the widget goes later, empty.
    if (qt::ControlWidget* widget = std::exchange(widget_, nullptr)) {
        widget->ReleaseControl();
        qt::DisposeWidget(widget);
    }
}

CDuiString CControlUI::GetClass() const { return u"ControlUI"; }

void* CControlUI::GetInterface(const CDuiString& name) { return name == u"Control" ? this : nullptr; }

void CControlUI::SetText(const CDuiString& text)
{
    if (text_ == text)
        return;
    text_ = text;
    Invalidate();
}

void CControlUI::SetToolTip(const CDuiString& text)
{
    toolTip_ = text;
    if (widget_)
        widget_->setToolTip(QString::fromStdU16String(text));
}

void CControlUI::ApplyVisibility()
{
    // A widget without parent is a top-level window; it must never show on its own.
    if (widget_ && widget_->parentWidget())
        widget_->setVisible(IsVisible());
}

void CControlUI::SetVisible(bool visible)
{
    visible_ = visible;
    ApplyVisibility();
}

void CControlUI::SetInternVisible(bool visible)
{
    internVisible_ = visible;
    ApplyVisibility();
}

void CControlUI::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    if (enabled)
        state_ &= ~(kDisabled);
    else
        state_ = (state_ & ~(kHot | kPushed)) | kDisabled;
    if (widget_)
        widget_->setCursor(enabled && GetInterface(u"Button") ? Qt::PointingHandCursor : Qt::ArrowCursor);
    Invalidate();
}

void CControlUI::SetMouseEnabled(bool enabled)
{
    mouseEnabled_ = enabled;
    CControlUI* parent = GetParent();
    bool parentBlocks = parent && !parent->IsMouseChildEnabled();
    if (widget_)
        widget_->setAttribute(Qt::WA_TransparentForMouseEvents, !enabled || parentBlocks);
}

void CControlUI::SetMouseChildEnabled(bool enabled) { mouseChildEnabled_ = enabled; }

void CControlUI::SetFocus()
{
    if (widget_)
        widget_->setFocus(Qt::OtherFocusReason);
    if (manager_)
        manager_->SetFocus(this);
}

void CControlUI::ApplyGeometry()
{
    if (!widget_)
        return;
    widget_->setContentsMargins(padding_.left, padding_.top, padding_.right, padding_.bottom);
    int padX = padding_.left + padding_.right;
    int padY = padding_.top + padding_.bottom;
    if (fixedWidth_ > 0) {
        widget_->setFixedWidth(fixedWidth_ + padX);
    } else {
        widget_->setMinimumWidth(minWidth_ > 0 ? minWidth_ + padX : 0);
        widget_->setMaximumWidth(maxWidth_ >= 9999 ? QWIDGETSIZE_MAX : maxWidth_ + padX);
    }
    if (fixedHeight_ > 0) {
        widget_->setFixedHeight(fixedHeight_ + padY);
    } else {
        widget_->setMinimumHeight(minHeight_ > 0 ? minHeight_ + padY : 0);
        widget_->setMaximumHeight(maxHeight_ >= 9999 ? QWIDGETSIZE_MAX : maxHeight_ + padY);
    }
    widget_->updateGeometry();
}

void CControlUI::SetFixedWidth(int cx)
{
    fixedWidth_ = cx < 0 ? 0 : cx;
    ApplyGeometry();
}

void CControlUI::SetFixedHeight(int cy)
{
    fixedHeight_ = cy < 0 ? 0 : cy;
    ApplyGeometry();
}

void CControlUI::SetMinWidth(int cx)
{
    minWidth_ = cx < 0 ? 0 : cx;
    ApplyGeometry();
}

void CControlUI::SetMinHeight(int cy)
{
    minHeight_ = cy < 0 ? 0 : cy;
    ApplyGeometry();
}

void CControlUI::SetMaxWidth(int cx)
{
    maxWidth_ = cx <= 0 ? 9999 : cx;
    ApplyGeometry();
}

void CControlUI::SetMaxHeight(int cy)
{
    maxHeight_ = cy <= 0 ? 9999 : cy;
    ApplyGeometry();
}

void CControlUI::SetPadding(RECT rc)
{
    padding_ = rc;
    ApplyGeometry();
}

RECT CControlUI::GetPos() const
{
    if (!widget_)
        return RECT {};
    QRect inner = widget_->contentsRect().translated(widget_->OffsetInWindow());
    return qt::ToRect(inner);
}

int CControlUI::GetWidth() const { return widget_ ? widget_->contentsRect().width() : 0; }

int CControlUI::GetHeight() const { return widget_ ? widget_->contentsRect().height() : 0; }

SIZE CControlUI::EstimateSize(SIZE) { return SIZE { fixedWidth_, fixedHeight_ }; }

void CControlUI::SetBkColor(DWORD argb)
{
    bkColor_ = argb;
    Invalidate();
}

void CControlUI::SetBorderColor(DWORD argb)
{
    borderColor_ = argb;
    Invalidate();
}

void CControlUI::SetBorderSize(int size)
{
    borderSize_ = size;
    Invalidate();
}

void CControlUI::SetTextColor(DWORD argb)
{
    textColor_ = argb;
    Invalidate();
}

void CControlUI::SetDisabledTextColor(DWORD argb)
{
    disabledTextColor_ = argb;
    Invalidate();
}

void CControlUI::SetFont(int index)
{
    font_ = index;
    Invalidate();
}

void CControlUI::SetTextStyle(UINT style)
{
    textStyle_ = style;
    Invalidate();
}

void CControlUI::SetTextPadding(RECT rc)
{
    textPadding_ = rc;
    Invalidate();
}

void CControlUI::SetBkImage(const CDuiString& file)
{
    bkImage_ = file;
    Invalidate();
}

CControlUI* CControlUI::GetParent() const { return widget_ ? widget_->ParentControl() : nullptr; }

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI*)
{
    manager_ = manager;
    if (widget_)
        widget_->setCursor(enabled_ && GetInterface(u"Button") ? Qt::PointingHandCursor : Qt::ArrowCursor);
    SetMouseEnabled(mouseEnabled_);
}

CControlUI* CControlUI::FindControl(const CDuiString& name) { return name_ == name ? this : nullptr; }

} // namespace platform::ui
