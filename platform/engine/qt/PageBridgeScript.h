#pragma once

#include <QString>

namespace platform::engine::qt {

// The script every frame of every page runs at document creation: it gives the page
// "cefQuery" and "cefQueryCancel", reports its script context and its focus moves, asks the
// user before the top document reads the clipboard or shares the screen where the engine does
// not ask itself, and reaches the page's web channel
// through the top frame, the only one Qt gives it.
QString PageBridgeScript();

} // namespace platform::engine::qt
