#pragma once

#include "platform/ui/WindowTypes.h"

#include <memory>

namespace platform::ui {

constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_NCACTIVATE = 0x0086;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_USER = 0x0400;

constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_MAXIMIZE = 0xF030;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_RESTORE = 0xF120;

constexpr WPARAM VK_BACK = 0x08;
constexpr WPARAM VK_TAB = 0x09;
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_SPACE = 0x20;
constexpr WPARAM VK_LEFT = 0x25;
constexpr WPARAM VK_UP = 0x26;
constexpr WPARAM VK_RIGHT = 0x27;
constexpr WPARAM VK_DOWN = 0x28;
constexpr WPARAM VK_F5 = 0x74;
constexpr WPARAM VK_F12 = 0x7B;

/// Queues a message for the window; callable from any thread. The message is
/// delivered on the GUI thread to the window's HandleMessage. False when the
/// handle is null or there is no application to deliver on.
bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

/// As above, and the dispatcher owns payload: it is freed after delivery, or
/// without delivery when the window is gone by then. Put its address into
/// wParam or lParam (PayloadValue reads it back).
bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, std::unique_ptr<MessagePayload> payload);

/// Delivers the message at once; GUI thread only. 0 when the window is gone.
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

/// Ends the message loop (and any modal loop running inside it) with code; any thread.
void PostQuitMessage(int code);

} // namespace platform::ui
