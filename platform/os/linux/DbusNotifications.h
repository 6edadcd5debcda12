#pragma once

#include "platform/os/DesktopNotifications.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <map>

class QDBusPendingCallWatcher;

namespace platform::os {

// Desktop notifications through the freedesktop notification service on the session bus.
// Calls never wait for the service: a hung or missing one costs nothing but the notification.
// GUI thread only.
class DbusNotifications final : public QObject, public DesktopNotifications {
    Q_OBJECT

public:
    DbusNotifications();

    unsigned Show(
        const std::string& title, const std::string& body, Listener onActivated, Listener onClosed) override;
    void Close(unsigned handle) override;

private slots:
    void OnActionInvoked(unsigned serverId, const QString& actionKey);
    void OnNotificationClosed(unsigned serverId, unsigned reason);

private:
    struct Entry {
        unsigned serverId = 0;
        Listener onActivated;
        Listener onClosed;
    };
    // The connection to the session bus, made again when it was lost or never made: a bus that
    // comes up later is used from then on.
    QDBusConnection Bus();
    void OnNotifyReply(unsigned handle, QDBusPendingCallWatcher* watcher);
    void CloseOnServer(unsigned serverId);
    // The entry the service knows as serverId, or entries.end().
    std::map<unsigned, Entry>::iterator FindByServerId(unsigned serverId);

    std::map<unsigned, Entry> entries;
    unsigned lastHandle = 0;
    QDBusConnection bus { QString() };
};

} // namespace platform::os
