#pragma once

#include "platform/engine/CefKeyEvent.h"

// What a browser's keys ask of the selected tab; the main window carries them out.
enum class PageCommand {
    None = 0,
    Reload,
    ReloadIgnoreCache,
    GoBack,
    GoForward,
    ZoomIn,
    ZoomOut,
    ZoomReset,
    Find,
};

// The command of a key event, for its key down, its character and its key up alike; None for
// keys the page keeps. Text fields do not change the answer, as in a browser.
PageCommand PageCommandOfKey(const platform::engine::CefKeyEvent& event);
