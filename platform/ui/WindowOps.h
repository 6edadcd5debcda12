#pragma once

#include "platform/ui/WindowTypes.h"

#include <string>

namespace platform::ui {

struct IconHandle;
using HICON = IconHandle*;

// Window operations on handles; GUI thread only. A handle of a window that is
// gone makes each of them do nothing and report false, 0 or an empty rectangle.

/// SW_HIDE, SW_SHOW, SW_SHOWNORMAL, SW_MINIMIZE, SW_RESTORE, SW_SHOWMAXIMIZED...
bool ShowWindow(HWND hwnd, int cmd);
bool SetForegroundWindow(HWND hwnd);
bool IsWindow(HWND hwnd);
bool IsWindowVisible(HWND hwnd);
/// True for a minimised top-level window.
bool IsIconic(HWND hwnd);
/// The parent of a child window, or the owner of an owned top-level window; nullptr for none.
HWND GetParent(HWND hwnd);
/// Top-level ancestor (the window itself when it has no parent or owner).
HWND GetAncestorRoot(HWND hwnd);
/// Position in the parent's client coordinates for child windows, on screen otherwise.
bool SetWindowPos(HWND hwnd, int x, int y, int cx, int cy, UINT flags);
/// Screen rectangle of the window.
RECT GetWindowRect(HWND hwnd);
/// Client rectangle: origin 0,0 and the window's size.
RECT GetClientRect(HWND hwnd);
/// Converts a point in the window's client coordinates to screen coordinates.
POINT ClientToScreen(HWND hwnd, POINT point);
/// Work area (screen minus panels) of the screen showing most of the window,
/// or of the primary screen when the window is gone or off-screen.
RECT GetWorkArea(HWND hwnd);
/// Work area of the screen that holds the point (primary screen when none does).
RECT GetWorkAreaFromPoint(POINT point);
POINT GetCursorPos();
bool DestroyWindow(HWND hwnd);
/// Moves a child window, with what it shows, into another window (at its top-left corner,
/// shown); false when either is gone or child is a top-level window.
bool SetParent(HWND child, HWND newParent);
/// Resizing a top-level window at its border keeps width / height = width / height given
/// (0, 0 lets it take any size again). Where the window manager resizes it (Wayland), it may not.
bool SetWindowAspectRatio(HWND hwnd, int width, int height);
/// A press and drag on what the window hosts (a page, not its controls) moves it, as on its
/// caption; the page still gets the press.
bool SetWindowMovableByContent(HWND hwnd);
/// Makes a top-level window fill its screen, or brings it back to the state it had
/// before (normal or maximised, with its normal geometry). False when hwnd is not a
/// top-level window.
bool SetWindowFullScreen(HWND hwnd, bool fullScreen);
bool IsWindowFullScreen(HWND hwnd);
bool SetWindowText(HWND hwnd, const std::u16string& text);

/// The program's own icon drawn in code: 129 is the big one, 130 the small one;
/// nullptr for other ids. Icons live as long as the process.
HICON LoadProgramIcon(int resourceId);
/// Sets the window's icon from the two sizes (either may be nullptr).
bool SetWindowIcon(HWND hwnd, HICON big, HICON small);

} // namespace platform::ui
