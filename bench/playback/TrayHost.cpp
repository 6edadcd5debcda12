#include "TrayHost.h"

#include <cstdlib>
#include <string>

namespace bench {

namespace {
    xcb_atom_t Atom(xcb_connection_t* connection, const std::string& name)
    {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection,
            xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.c_str()), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return atom;
    }
}

TrayHost::TrayHost()
{
    int screenNumber = 0;
    connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection))
        return;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    const xcb_screen_t* screen = screens.data;
    window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
        XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t selection = Atom(connection, "_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber));
    xcb_set_selection_owner(connection, window, selection, XCB_CURRENT_TIME);
    xcb_get_selection_owner_reply_t* owner
        = xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
    owned = owner && owner->owner == window;
    std::free(owner);
    if (!owned)
        return;
    // Clients already waiting for a tray learn of it from this message on the root window.
    xcb_client_message_event_t manager {};
    manager.response_type = XCB_CLIENT_MESSAGE;
    manager.format = 32;
    manager.window = screen->root;
    manager.type = Atom(connection, "MANAGER");
    manager.data.data32[0] = XCB_CURRENT_TIME;
    manager.data.data32[1] = selection;
    manager.data.data32[2] = window;
    xcb_send_event(connection, 0, screen->root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
        reinterpret_cast<const char*>(&manager));
    xcb_flush(connection);
}

TrayHost::~TrayHost()
{
    if (window)
        xcb_destroy_window(connection, window);
    xcb_disconnect(connection);
}

} // namespace bench
