#pragma once

#include "platform/ui/WindowStyles.h"

// The styles the system's windows are created with.

// The main window: a frame the user can move, resize and maximise.
constexpr platform::ui::DWORD kMainFrameStyle = platform::ui::WS_VISIBLE | platform::ui::WS_OVERLAPPEDWINDOW;
// The modal dialogs (message box, update dialog).
constexpr platform::ui::DWORD kDialogStyle = platform::ui::UI_WNDSTYLE_DIALOG;
// The settings window: the dialog style with bit 0x80, which the window layer does not read.
constexpr platform::ui::DWORD kSettingsWindowStyle = platform::ui::UI_WNDSTYLE_DIALOG | 0x80;
// A tab's page window inside the main window.
constexpr platform::ui::DWORD kTabWindowStyle = platform::ui::UI_WNDSTYLE_CHILD;
// The engine's browser window inside a tab's page window.
constexpr platform::ui::DWORD kBrowserWindowStyle
    = platform::ui::UI_WNDSTYLE_CHILD | platform::ui::WS_TABSTOP;
// Bars and prompts over a tab's page (find bar, permission question).
constexpr platform::ui::DWORD kPageBarStyle = platform::ui::WS_CHILD;
constexpr platform::ui::DWORD kPagePromptStyle = platform::ui::UI_WNDSTYLE_CHILD;
// Pop-ups that close when they lose the focus (menus, the download list): no caption, kept on top.
constexpr platform::ui::DWORD kPopupStyle
    = platform::ui::WS_POPUP | platform::ui::WS_CLIPSIBLINGS | platform::ui::WS_CLIPCHILDREN;
constexpr platform::ui::DWORD kPopupExStyle = platform::ui::WS_EX_TOOLWINDOW | platform::ui::WS_EX_TOPMOST;
// The mini player: a top-level window of its own (never minimised or hidden with the main
// window), without a caption of the window manager's, resizable and above other windows.
constexpr platform::ui::DWORD kMiniPlayerStyle = platform::ui::WS_OVERLAPPED | platform::ui::WS_THICKFRAME;
constexpr platform::ui::DWORD kMiniPlayerExStyle = platform::ui::WS_EX_TOPMOST;
// The developer tools' own top-level window.
constexpr platform::ui::DWORD kDevToolsStyle = platform::ui::WS_OVERLAPPEDWINDOW
    | platform::ui::WS_CLIPCHILDREN | platform::ui::WS_CLIPSIBLINGS | platform::ui::WS_VISIBLE;
