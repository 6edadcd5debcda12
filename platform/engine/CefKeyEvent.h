#pragma once

namespace platform::engine {

enum cef_key_event_type_t {
    /// A key went down; repeats while the key is held.
    KEYEVENT_RAWKEYDOWN = 0,
    KEYEVENT_KEYDOWN,
    KEYEVENT_KEYUP,
    /// The character a key down produced.
    KEYEVENT_CHAR,
};

/// The modifier keys held during an event (a bit mask).
enum cef_event_flags_t {
    EVENTFLAG_NONE = 0,
    EVENTFLAG_SHIFT_DOWN = 1 << 1,
    EVENTFLAG_CONTROL_DOWN = 1 << 2,
    EVENTFLAG_ALT_DOWN = 1 << 3,
    EVENTFLAG_COMMAND_DOWN = 1 << 7,
    /// The key is on the numeric keypad.
    EVENTFLAG_IS_KEY_PAD = 1 << 9,
};

/// A keyboard event before the page sees it.
struct CefKeyEvent {
    cef_key_event_type_t type = KEYEVENT_RAWKEYDOWN;
    /// The cef_event_flags_t of the event.
    unsigned int modifiers = 0;
    /// The Windows virtual-key code (32 for the space bar).
    int windows_key_code = 0;
    int native_key_code = 0;
    bool is_system_key = false;
    char16_t character = 0;
    char16_t unmodified_character = 0;
    /// Whether the keyboard focus is in a field that takes text.
    bool focus_on_editable_field = false;
};

/// The platform's own event behind a key event (opaque).
using CefEventHandle = const void*;

} // namespace platform::engine
