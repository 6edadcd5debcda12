#include "platform/ui/qt/WindowManagerState.h"

#include <cstdint>
#include <cstdlib>

#include <QGuiApplication>
#include <QWidget>
#include <xcb/xcb.h>

namespace platform::ui::qt {

namespace {
    constexpr std::uint32_t kWithdrawnState = 0;

    xcb_connection_t* Connection()
    {
        auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        return x11 ? x11->connection() : nullptr;
    }

    xcb_atom_t WmStateAtom(xcb_connection_t* connection)
    {
        static xcb_atom_t atom = XCB_ATOM_NONE;
        if (atom == XCB_ATOM_NONE) {
            const char name[] = "WM_STATE";
            xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
                connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
            if (reply)
                atom = reply->atom;
            std::free(reply);
        }
        return atom;
    }
}

bool WindowManagerHolds(QWidget* window)
{
    xcb_connection_t* connection = Connection();
    if (!connection || !window || !window->testAttribute(Qt::WA_WState_Created))
        return false;
    xcb_atom_t wmState = WmStateAtom(connection);
    if (wmState == XCB_ATOM_NONE)
        return false;
    auto id = static_cast<xcb_window_t>(window->winId());
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, id, wmState, wmState, 0, 1), nullptr);
    bool held = false;
    if (reply && reply->type == wmState && xcb_get_property_value_length(reply) >= 4)
        held = *static_cast<const std::uint32_t*>(xcb_get_property_value(reply)) != kWithdrawnState;
    std::free(reply);
    return held;
}

} // namespace platform::ui::qt
