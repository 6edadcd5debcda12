#pragma once

#include <functional>
#include <string>

namespace platform::os {

/// Notifications shown by the desktop's notification service. GUI thread only: the
/// listeners run on it, from its event loop.
class DesktopNotifications {
public:
    using Listener = std::function<void()>;
    virtual ~DesktopNotifications() = default;

    /// Shows title and body (plain text) under the program's name and icon. onActivated runs
    /// when the user clicks the notification, onClosed when the desktop closed it (expired,
    /// dismissed, or it could not be shown); neither runs after Close. Returns a handle, never 0.
    virtual unsigned Show(
        const std::string& title, const std::string& body, Listener onActivated, Listener onClosed)
        = 0;
    /// Takes the notification of handle off the desktop; unknown handles are ignored.
    virtual void Close(unsigned handle) = 0;
};

/// The process-wide notifications on the session bus.
DesktopNotifications& Notifications();

} // namespace platform::os
