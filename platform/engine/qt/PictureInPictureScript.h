#pragma once

class QWebEngineProfile;

namespace platform::engine::qt {

// Puts the picture-in-picture scripts into every page of the profile: the standard API in the
// page's world, answered by the program's own script in a world the page cannot reach, which
// checks what the standard requires (the user's activation, the top document's own video),
// shows only that video while it plays in the small player, and reports to the program through
// the page's bridge.
void InstallPictureInPictureScripts(QWebEngineProfile* profile);

} // namespace platform::engine::qt
