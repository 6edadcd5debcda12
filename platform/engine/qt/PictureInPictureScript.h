#pragma once

#include <QString>

class QWebEngineProfile;

namespace platform::engine::qt {

// Puts the picture-in-picture scripts into every page of the profile: the standard API in the
// page's world, answered by the program's own script in a world the page cannot reach, which
// checks what the standard requires (the user's activation, the top document's own video),
// shows only that video while it plays in the small player, and reports to the program.
void InstallPictureInPictureScripts(QWebEngineProfile* profile);

// A console message of the program's own script telling that the page's video entered (true)
// or left picture-in-picture; nothing for every other message, a page's forged ones included.
enum class PictureInPictureReport { None, Entered, Left };
PictureInPictureReport PictureInPictureReportOf(const QString& consoleMessage);

} // namespace platform::engine::qt
