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

// The page took back its request of origin for the kinds in types: nothing is to answer it.
using PermissionWithdrawn = std::function<void(const QUrl& origin, unsigned types)>;

// Hands every permission request of page to onRequest, and every request it withdraws to
// onWithdrawn. GUI thread only.
void ConnectPermissionRequests(
    QWebEnginePage* page, std::function<void(PermissionRequest)> onRequest, PermissionWithdrawn onWithdrawn);

} // namespace platform::engine::qt
