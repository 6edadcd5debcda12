#pragma once

#include <QUrl>
#include <functional>

class QWebEnginePage;

namespace platform::engine::qt {

// A page's permission request as the engine raises it, the same on every engine version: Qt 6.4
// names a feature and takes the answer from the page, Qt 6.8 hands over a permission that
// answers for itself.
struct PermissionRequest {
    QUrl origin;
    // The CEF_PERMISSION_TYPE_* bits the client is asked about; 0 for a kind never asked.
    unsigned types = 0;
    bool geolocation = false;
    // Grants or refuses the request, once; nothing when the page is gone.
    std::function<void(bool granted)> answer;
};

// Hands every permission request of page to onRequest. GUI thread only.
void ConnectPermissionRequests(QWebEnginePage* page, std::function<void(PermissionRequest)> onRequest);

// Qt 6.8's engine asks which screen or window its own capture of the desktop takes. Where
// nothing can be captured it would refuse the page unasked: onUncapturable hears of it first
// and calls refuse once the user has been told. Elsewhere the first screen is taken, as Qt 6.4's
// engine does. Nothing on Qt 6.4. GUI thread only.
void ConnectDesktopMediaRequests(
    QWebEnginePage* page, std::function<void(std::function<void()> refuse)> onUncapturable);

} // namespace platform::engine::qt
