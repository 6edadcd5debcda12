#pragma once

#include <cstdint>
#include <memory>
#include <utility>

namespace platform::ui {

/// Opaque window handle. Every window gets a fresh value that is never reused,
/// so a handle of a window that is gone never names another window.
struct WindowHandle;
using HWND = WindowHandle*;

/// Opaque handle of the program module (the running executable).
struct ModuleHandle;
using HINSTANCE = ModuleHandle*;

using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using DWORD = std::uint32_t;
using HDC = struct PaintDevice*;

struct RECT {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct POINT {
    int x = 0;
    int y = 0;
};

struct SIZE {
    int cx = 0;
    int cy = 0;
};

/// Heap data carried by a posted window message. The dispatcher owns it: it is
/// freed after the target window has handled the message, or at once when the
/// target window is already gone.
class MessagePayload {
public:
    virtual ~MessagePayload() = default;
};

/// A payload holding one value; the sender puts the payload's address into
/// wParam or lParam, the receiver casts it back with PayloadValue.
template <typename T> class OwnedPayload final : public MessagePayload {
public:
    explicit OwnedPayload(T v)
        : value(std::move(v))
    {
    }
    T value;
};

template <typename T> T& PayloadValue(std::uintptr_t address)
{
    return static_cast<OwnedPayload<T>*>(reinterpret_cast<MessagePayload*>(address))->value;
}

} // namespace platform::ui
