#pragma once

#include "platform/engine/CefBrowser.h"
#include "platform/engine/CefContextMenu.h"

// The developer-tools entries of a page's context menu and the window they open.
// Engine UI thread.
namespace ContextMenu {

constexpr int kShowDevTools = platform::engine::MENU_ID_USER_FIRST;
constexpr int kCloseDevTools = platform::engine::MENU_ID_USER_FIRST + 1;
constexpr int kInspectElement = platform::engine::MENU_ID_USER_FIRST + 2;

// Adds the entries behind the engine's own when the menu is a page or frame menu
// and the test mode is on; otherwise leaves the menu as it is.
void AddDevToolsEntries(int typeFlags, bool testMode, platform::engine::CefMenuModel& model);

// The top-level window "DevTools" that belongs to the page's own window.
platform::engine::CefWindowInfo DevToolsWindowInfo(platform::ui::HWND pageWindow);

} // namespace ContextMenu
