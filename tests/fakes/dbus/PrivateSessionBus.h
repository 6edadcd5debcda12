#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

// A session bus of its own (a dbus-daemon it starts and ends) on which a fake desktop service
// takes its names and exports one object; the program under test is pointed at BusAddress().
class PrivateSessionBus {
public:
    // connectionName: unique per service within the test process.
    explicit PrivateSessionBus(const QString& connectionName);
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // Takes every name and exports service at path; false when dbus-daemon is missing or
    // any of it failed.
    bool Offer(const QStringList& names, const QString& path, QObject* service,
        QDBusConnection::RegisterOptions options);
    QString Address() const { return address; }
    QDBusConnection& Connection() { return bus; }

private:
    QString connectionName;
    QProcess daemon;
    QString address;
    QDBusConnection bus { QString() };
};
