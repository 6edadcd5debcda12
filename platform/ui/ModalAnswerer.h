#pragma once

#include "platform/ui/ControlUI.h"

#include <functional>
#include <optional>

namespace platform::ui {

/// What a modal window shows when it is about to run.
struct ModalInfo {
    CDuiString className; // window class name ("MessageBoxW" for the desktop message box)
    CDuiString caption; // the "caption" control's text, else the window title
    CDuiString text; // the "text" control's text, or the message box text
};

/// Test hook: when set, every modal window (ShowModal, MessageBoxW) asks it once it
/// is initialised; an answer closes the window with that code, std::nullopt lets it run.
/// An empty function removes the hook.
using ModalAnswerer = std::function<std::optional<int>(const ModalInfo&)>;
void SetModalAnswerer(ModalAnswerer answerer);

/// Clicks the control as the mouse would (press and release inside it);
/// false when it is null, disabled or hidden.
bool SimulateClick(CControlUI* control);
/// Presses a key (VK_RETURN, VK_ESCAPE, VK_SPACE...) in the window as if typed.
bool SimulateKey(HWND hwnd, WPARAM vk);

} // namespace platform::ui
