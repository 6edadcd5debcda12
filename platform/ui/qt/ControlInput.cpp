#include "platform/ui/ControlUI.h"

#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/qt/ControlWidget.h"
#include "platform/ui/qt/MessageDispatcher.h"

namespace platform::ui {

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

void PostSetEnabled(const ControlRef& control, bool enabled)
{
    qt::MessageDispatcher* dispatcher = qt::MessageDispatcher::Instance();
    if (!control || !dispatcher)
        return;
    // Only the GUI thread may look at the controls: whether this one is still there is
    // asked where the task runs.
    dispatcher->PostTask([control, enabled] {
        if (CControlUI* live = control.Get())
            live->SetEnabled(enabled);
    });
}

} // namespace platform::ui
