#include "platform/ui/ModalAnswerer.h"

#include <QWidget>

#include "platform/ui/WindowImplBase.h"
#include "platform/ui/qt/ControlWidget.h"

namespace platform::ui {

namespace {
    ModalAnswerer& Answerer()
    {
        static ModalAnswerer answerer;
        return answerer;
    }
}

namespace qt {
    std::optional<int> AskModalAnswerer(const ModalInfo& info)
    {
        if (!Answerer())
            return std::nullopt;
        // Copied: the answerer may replace itself.
        ModalAnswerer answerer = Answerer();
        return answerer(info);
    }
}

void SetModalAnswerer(ModalAnswerer answerer) { Answerer() = std::move(answerer); }

bool SimulateClick(CControlUI* control)
{
    if (!control || !control->IsVisible() || !control->IsEnabled())
        return false;
    RECT pos = control->GetPos();
    TEventUI event;
    event.pSender = control;
    // The centre of a control that was never laid out is still "inside" it.
    event.ptMouse = POINT { (pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2 };
    event.Type = UIEVENT_BUTTONDOWN;
    qt::ControlGuard guard(control);
    control->Event(event);
    if (!guard.Alive())
        return true;
    if (pos.right <= pos.left || pos.bottom <= pos.top) {
        control->Activate();
        return true;
    }
    event.Type = UIEVENT_BUTTONUP;
    control->Event(event);
    return true;
}

bool SimulateKey(HWND hwnd, WPARAM vk)
{
    WindowImplBase* window = WindowFromHandle(hwnd);
    if (!window)
        return false;
    CControlUI* focused = window->GetPaintManager()->GetFocus();
    qt::DispatchKey(window, vk, focused);
    return true;
}

} // namespace platform::ui
