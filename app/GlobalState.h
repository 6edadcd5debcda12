#pragma once

#include "platform/ui/WindowTypes.h"

// Process-wide values set during start-up and read everywhere after.
extern platform::ui::HINSTANCE appInstance;
// Written once, right after the main window is created and before the message loop starts.
extern platform::ui::HWND mainWindowHandle;
// The engine runs its own UI thread (never changed).
extern const bool multiThreadedMessageLoop;
