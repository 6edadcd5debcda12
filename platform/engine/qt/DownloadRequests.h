#pragma once

class QWebEngineDownloadRequest;

namespace platform::engine::qt {

// Asks the page's client where the download goes (and the user, when it wants the dialog),
// accepts or cancels it, and from then on reports its progress and end to the same client.
// GUI thread: the profile's signal and the request's signals all arrive there.
void HandleDownloadRequest(QWebEngineDownloadRequest* request);

} // namespace platform::engine::qt
