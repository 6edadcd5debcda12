#pragma once

#include "platform/ui/WindowOps.h"

#include <string>
#include <vector>

namespace platform::ui {

constexpr DWORD NIM_ADD = 0;
constexpr DWORD NIM_MODIFY = 1;
constexpr DWORD NIM_DELETE = 2;
constexpr UINT NIF_MESSAGE = 0x1;
constexpr UINT NIF_ICON = 0x2;
constexpr UINT NIF_TIP = 0x4;
/// This layer's own flag: menu holds the entries of a menu the desktop draws itself.
constexpr UINT NIF_MENU = 0x10000;

/// An entry of the icon's exported menu; choosing it posts message, wParam and lParam
/// to the icon's window.
struct NOTIFYMENUENTRY {
    std::u16string text;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

/// One notification-area icon, named by its window and id.
struct NOTIFYICONDATAW {
    UINT cbSize = 0;
    HWND hWnd = nullptr;
    UINT uID = 0;
    UINT uFlags = 0;
    UINT uCallbackMessage = 0;
    HICON hIcon = nullptr;
    std::u16string szTip;
    std::vector<NOTIFYMENUENTRY> menu;
};

/// A message number for name, the same for the same name during the process,
/// above every number the program defines itself (0xC000 and up). GUI thread only.
UINT RegisterWindowMessageW(const std::u16string& name);

/// Adds, changes or removes the icon of data.hWnd / data.uID. Clicks on it are posted
/// to hWnd as uCallbackMessage with wParam = uID and lParam = WM_LBUTTONUP,
/// WM_LBUTTONDBLCLK or WM_RBUTTONUP. False when the desktop has no notification area,
/// the icon already exists (NIM_ADD) or does not (NIM_MODIFY, NIM_DELETE). Where the
/// desktop draws the icon's menu itself (a StatusNotifier host), NIF_MENU on NIM_ADD exports
/// data.menu; elsewhere only the clicks above arrive and the caller shows its own menu.
/// GUI thread only.
bool Shell_NotifyIconW(DWORD message, NOTIFYICONDATAW* data);

} // namespace platform::ui
