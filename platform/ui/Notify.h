#pragma once

#include "platform/ui/UIString.h"
#include "platform/ui/WindowTypes.h"

namespace platform::ui {

class CControlUI;

/// Notification kinds; the first two are what window code switches on.
enum NotifyType : int {
    kNotifyOther = 0,
    kNotifyWindowInit = 1,
    kNotifyClick = 2,
    kNotifySelectChanged = 3,
    kNotifyItemClick = 4,
    kNotifyItemSelect = 5,
    kNotifyTabSelect = 6,
    kNotifyMenu = 7,
    kNotifyMenuButtonHot = 8,
    kNotifyValueChanged = 9,
};

/// A notification from a control: kind, its name ("windowinit", "click",
/// "selectchanged", "itemclick", "menu_button_hot"...) and the sender.
struct TNotifyUI {
    int type = kNotifyOther;
    CDuiString sType;
    CControlUI* pSender = nullptr;
    WPARAM wParam = 0;
    LPARAM lParam = 0;

    /// The sender's name equals name ignoring case (false without a sender).
    bool SenderIs(const CDuiString& name) const;
};

/// Maps a notification name to its kind (kNotifyOther for names without one).
int NotifyTypeFromName(const CDuiString& sType);

/// Receives every notification of a window's controls.
class INotifyUI {
public:
    virtual ~INotifyUI() = default;
    virtual void Notify(TNotifyUI& msg) = 0;
};

/// Input events routed to a control's DoEvent.
enum EventType : int {
    UIEVENT_MOUSEMOVE = 1,
    UIEVENT_MOUSEENTER,
    UIEVENT_MOUSELEAVE,
    UIEVENT_BUTTONDOWN,
    UIEVENT_BUTTONUP,
    UIEVENT_DBLCLICK,
    UIEVENT_RBUTTONDOWN,
    UIEVENT_CONTEXTMENU,
    UIEVENT_KEYDOWN,
    UIEVENT_SETFOCUS,
    UIEVENT_KILLFOCUS,
    UIEVENT_SCROLLWHEEL,
};

struct TEventUI {
    int Type = 0;
    CControlUI* pSender = nullptr;
    POINT ptMouse; // in the window's client coordinates
    WPARAM chKey = 0; // virtual key for UIEVENT_KEYDOWN
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

} // namespace platform::ui
