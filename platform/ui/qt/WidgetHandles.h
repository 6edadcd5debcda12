#pragma once

#include "platform/ui/WindowTypes.h"

class QWidget;

namespace platform::ui::qt {

// Maps the opaque window handles of the layer to the widgets behind them.
// Platform code only (the UI and engine layers); GUI thread only.

/// The handle of a widget, registered on first use; the same widget keeps its handle.
HWND HandleFromWidget(QWidget* widget);

/// The widget behind a handle, or nullptr when that window is gone or the handle is unknown.
QWidget* WidgetFromHandle(HWND handle);

} // namespace platform::ui::qt
