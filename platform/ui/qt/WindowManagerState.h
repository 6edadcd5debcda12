#pragma once

class QWidget;

namespace platform::ui::qt {

// Asks the X server whether the window manager still manages a top-level window: its
// WM_STATE is Normal or Iconic. False off X11 and for windows without a native window.
// GUI thread only.
bool WindowManagerHolds(QWidget* window);

} // namespace platform::ui::qt
