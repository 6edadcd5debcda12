#pragma once

class QWindow;

namespace platform::ui::qt {

// Under Wayland, tells the compositor the top-level's window geometry again each time the window
// becomes exposed, before its first paint there. Qt 6.4 sends the geometry only while the window
// is exposed, but acknowledges a configure also while it counts as unexposed (a frame callback
// late on a busy machine): the new size's buffer would then be committed against the old
// geometry, and a compositor ends the connection when that mismatches a maximised or fullscreen
// state. Nothing off Wayland. GUI thread only.
void ResendGeometryOnExpose(QWindow* window);

} // namespace platform::ui::qt
