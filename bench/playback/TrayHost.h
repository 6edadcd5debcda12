// A notification area on the benchmark's display, so that the program can hide its window to
// the tray there: it owns the tray selection and announces it, and shows no icons.
#pragma once

#include <xcb/xcb.h>

namespace bench {

class TrayHost {
public:
    TrayHost();
    ~TrayHost();
    TrayHost(const TrayHost&) = delete;
    TrayHost& operator=(const TrayHost&) = delete;

    // Whether the selection is ours, so that programs started now find a tray.
    bool Owned() const { return owned; }

private:
    xcb_connection_t* connection = nullptr;
    xcb_window_t window = 0;
    bool owned = false;
};

} // namespace bench
