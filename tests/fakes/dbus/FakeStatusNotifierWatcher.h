#pragma once

#include "fakes/dbus/PrivateSessionBus.h"

#include <QObject>
#include <QString>
#include <QStringList>

// The watcher side of a StatusNotifier desktop on a session bus of its own: it owns the
// watcher's name, reports a registered host and records the items that register with it.
// Its calls are answered while the test's event loop runs (WaitUntil).
class FakeStatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ IsStatusNotifierHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ ProtocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ RegisteredStatusNotifierItems)

public:
    FakeStatusNotifierWatcher();
    // False when dbus-daemon is missing or the names could not be taken.
    bool Available() const { return available; }
    QString BusAddress() const { return bus.Address(); }
    QDBusConnection& Bus() { return bus.Connection(); }

    bool IsStatusNotifierHostRegistered() const { return true; }
    int ProtocolVersion() const { return 0; }
    QStringList RegisteredStatusNotifierItems() const { return items; }

public slots:
    void RegisterStatusNotifierItem(const QString& service);
    void RegisterStatusNotifierHost(const QString&) { }

private:
    PrivateSessionBus bus { QStringLiteral("fake-status-notifier-watcher") };
    QStringList items;
    bool available = false;
};
