#include "platform/ui/ControlUI.h"

#include <utility>

#include "platform/ui/Application.h"
#include "platform/ui/ContainerUI.h"
#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/RenderEngine.h"
#include "platform/ui/qt/Attributes.h"
#include "platform/ui/qt/ControlWidget.h"
#include "platform/ui/qt/LayoutDiagnostics.h"
#include "platform/ui/qt/MessageDispatcher.h"

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

void CControlUI::SetStyleName(const CDuiString& styleName, CPaintManagerUI* manager)
{
    styleName_ = styleName;
    if (!manager)
        manager = manager_;
    const CPaintManagerUI::AttributeList* style
        = manager ? manager->GetStyle(styleName) : CPaintManagerUI::GetSharedStyle(styleName);
    if (!style)
        style = CPaintManagerUI::GetSharedStyle(styleName);
    if (!style)
        return;
    for (const auto& [name, value] : *style)
        SetAttribute(name, value);
}

void CControlUI::SetAttribute(const CDuiString& name, const CDuiString& value)
{
    using namespace qt;
    if (name == u"name")
        SetName(value);
    else if (name == u"text")
        SetText(value);
    else if (name == u"tooltip")
        SetToolTip(value);
    else if (name == u"userdata")
        SetUserData(value);
    else if (name == u"width")
        SetFixedWidth(ParseInt(value));
    else if (name == u"height")
        SetFixedHeight(ParseInt(value));
    else if (name == u"minwidth")
        SetMinWidth(ParseInt(value));
    else if (name == u"minheight")
        SetMinHeight(ParseInt(value));
    else if (name == u"maxwidth")
        SetMaxWidth(ParseInt(value));
    else if (name == u"maxheight")
        SetMaxHeight(ParseInt(value));
    else if (name == u"padding")
        SetPadding(ParseRect(value));
    else if (name == u"bkcolor")
        SetBkColor(ParseColor(value));
    else if (name == u"bordercolor")
        SetBorderColor(ParseColor(value));
    else if (name == u"bordersize")
        SetBorderSize(ParseInt(value));
    else if (name == u"textcolor")
        SetTextColor(ParseColor(value));
    else if (name == u"disabledtextcolor")
        SetDisabledTextColor(ParseColor(value));
    else if (name == u"font")
        SetFont(ParseInt(value));
    else if (name == u"textpadding")
        SetTextPadding(ParseRect(value));
    else if (name == u"bkimage")
        SetBkImage(value);
    else if (name == u"visible")
        SetVisible(ParseBool(value));
    else if (name == u"enabled")
        SetEnabled(ParseBool(value));
    else if (name == u"mouse")
        SetMouseEnabled(ParseBool(value));
    else if (name == u"mousechild")
        SetMouseChildEnabled(ParseBool(value));
    else if (name == u"menu")
        SetContextMenuUsed(ParseBool(value));
    else if (name == u"style")
        SetStyleName(value);
    else if (name == u"align" || name == u"valign") {
        UINT style = textStyle_;
        if (value == u"left")
            style &= ~(DT_CENTER | DT_RIGHT);
        else if (value == u"center")
            style = (style & ~DT_RIGHT) | DT_CENTER;
        else if (value == u"right")
            style = (style & ~DT_CENTER) | DT_RIGHT;
        else if (value == u"top")
            style &= ~(DT_VCENTER | DT_BOTTOM);
        else if (value == u"vcenter")
            style = (style & ~DT_BOTTOM) | DT_VCENTER;
        else if (value == u"bottom")
            style = (style & ~DT_VCENTER) | DT_BOTTOM;
        SetTextStyle(style);
    } else if (name == u"wordbreak" || name == u"multiline") {
        SetTextStyle(ParseBool(value) ? (textStyle_ & ~DT_SINGLELINE) | DT_WORDBREAK
                                      : (textStyle_ & ~DT_WORDBREAK) | DT_SINGLELINE);
    } else if (name == u"endellipsis") {
        SetTextStyle(ParseBool(value) ? textStyle_ | DT_END_ELLIPSIS : textStyle_ & ~DT_END_ELLIPSIS);
    } else {
        ReportLayoutProblem(u"unknown attribute of " + GetClass(), name);
    }
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

void CControlUI::Event(TEventUI& event)
{
    // Copied and re-checked: a handler may destroy this control.
    auto handlers = eventHandlers_;
    qt::ControlGuard guard(this);
    for (auto& handler : handlers) {
        if (!handler(event) || !guard.Alive())
            return;
    }
    DoEvent(event);
}

void CControlUI::DoEvent(TEventUI& event)
{
    if (event.Type == UIEVENT_MOUSEENTER && IsEnabled()) {
        state_ |= kHot;
        Invalidate();
    } else if (event.Type == UIEVENT_MOUSELEAVE) {
        state_ &= ~kHot;
        Invalidate();
    } else if (event.Type == UIEVENT_CONTEXTMENU && IsEnabled() && contextMenuUsed_) {
        SendNotify(u"menu", event.ptMouse.x, event.ptMouse.y);
    }
}

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

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

void CControlUI::OnNotify(std::function<bool(TNotifyUI&)> handler)
{
    notifyHandlers_.push_back(std::move(handler));
}

void CControlUI::OnEvent(std::function<bool(TEventUI&)> handler)
{
    eventHandlers_.push_back(std::move(handler));
}

bool CControlUI::RunNotifyHandlers(TNotifyUI& msg)
{
    // Copied: a handler may remove (and so destroy) this control.
    auto handlers = notifyHandlers_;
    qt::ControlGuard guard(this);
    for (auto& handler : handlers) {
        if (!handler(msg) || !guard.Alive())
            return false;
    }
    return true;
}

void CControlUI::SendNotify(const CDuiString& sType, WPARAM wParam, LPARAM lParam)
{
    TNotifyUI msg;
    msg.sType = sType;
    msg.type = NotifyTypeFromName(sType);
    msg.pSender = this;
    msg.wParam = wParam;
    msg.lParam = lParam;
    if (manager_)
        manager_->SendNotify(msg);
    else
        RunNotifyHandlers(msg);
}

bool TNotifyUI::SenderIs(const CDuiString& name) const
{
    return pSender && EqualsNoCase(pSender->GetName(), name);
}

int NotifyTypeFromName(const CDuiString& sType)
{
    static const std::pair<const char16_t*, int> kinds[] = {
        { u"windowinit", kNotifyWindowInit },
        { u"click", kNotifyClick },
        { u"selectchanged", kNotifySelectChanged },
        { u"itemclick", kNotifyItemClick },
        { u"itemselect", kNotifyItemSelect },
        { u"tabselect", kNotifyTabSelect },
        { u"menu", kNotifyMenu },
        { u"menu_button_hot", kNotifyMenuButtonHot },
        { u"valuechanged", kNotifyValueChanged },
    };
    for (const auto& [name, kind] : kinds) {
        if (sType == name)
            return kind;
    }
    return kNotifyOther;
}

void PostSetEnabled(CControlUI* control, bool enabled)
{
    qt::MessageDispatcher* dispatcher = qt::MessageDispatcher::Instance();
    if (!control || !dispatcher)
        return;
    // Only the GUI thread may look at the controls: whether this one is still there is
    // asked where the task runs.
    dispatcher->PostTask([control, enabled] {
        if (IsLiveControl(control))
            control->SetEnabled(enabled);
    });
}

bool IsLiveControl(const CControlUI* control) { return control && qt::LiveControls().count(control) != 0; }

} // namespace platform::ui
