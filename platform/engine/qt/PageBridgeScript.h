#pragma once

#include <QString>

namespace platform::engine::qt {

// The program's own script, run in every frame of every page at document creation in a world
// of its own that page script cannot reach: it reports the frame's script context, its focus
// moves and the user's presses, carries the page functions' calls to the page's web channel
// through the top frame (the only one Qt gives it) and their answers back. Frames sign what they
// relay with secret, which page script never sees.
QString PageBridgeScript(const QString& secret);

// The page functions, in the pages' own world: "cefQuery" and "cefQueryCancel", the clipboard
// writes the program makes for the frame pressed in, the question before the top document reads
// the clipboard, and the choice of what the top document shares of the screen.
QString PageFunctionsScript();

} // namespace platform::engine::qt
