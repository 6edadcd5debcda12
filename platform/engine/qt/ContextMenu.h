#pragma once

class QContextMenuEvent;
class QWebEngineView;

namespace platform::engine::qt {

class QtBrowser;

// Opens the engine's context menu for the view's last right-click after offering it
// to the client's context-menu handler, which may append entries. GUI thread only.
void ShowContextMenu(QtBrowser* browser, QWebEngineView* view, QContextMenuEvent* event);

// The menu's type flags: the page bit whenever the page has an address, plus what
// the click was on. Qt says nothing about frames, so the frame bit is never set.
int ContextMenuTypeFlags(bool pageHasAddress, bool onLink, bool onMedia, bool hasSelection, bool editable);

} // namespace platform::engine::qt
