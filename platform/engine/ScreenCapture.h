#pragma once

namespace platform::engine {

/// Whether the engine can capture this desktop's screen for a page that asks to share it.
bool CanCaptureScreen();

} // namespace platform::engine
