#pragma once

#include "platform/ui/WindowTypes.h"

// The code a window is closed with, which ShowModal returns.
enum CloseCode : platform::ui::UINT {
    // OK, saved, an item chosen, the installer started; for the main window: exit.
    kCloseAccepted = 1,
    // Cancel, Escape, the caption's close button or any other way; the main window uses it
    // when it ends without asking.
    kCloseDismissed = 2,
};
