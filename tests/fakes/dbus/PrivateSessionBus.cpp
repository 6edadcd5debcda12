#include "fakes/dbus/PrivateSessionBus.h"

#include <QDeadlineTimer>
#include <QStandardPaths>

PrivateSessionBus::PrivateSessionBus(const QString& connectionName)
    : connectionName(connectionName)
{
    if (QStandardPaths::findExecutable("dbus-daemon").isEmpty())
        return;
    daemon.start("dbus-daemon", { "--session", "--nofork", "--nopidfile", "--print-address=1" });
    if (!daemon.waitForStarted(5000))
        return;
    QDeadlineTimer deadline(10000);
    while (!daemon.canReadLine() && daemon.state() == QProcess::Running && !deadline.hasExpired())
        daemon.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    address = QString::fromUtf8(daemon.readLine().trimmed());
    if (!address.isEmpty())
        bus = QDBusConnection::connectToBus(address, connectionName);
}

PrivateSessionBus::~PrivateSessionBus()
{
    if (bus.isConnected())
        QDBusConnection::disconnectFromBus(connectionName);
    if (daemon.state() != QProcess::NotRunning) {
        daemon.terminate();
        if (!daemon.waitForFinished(5000)) {
            daemon.kill();
            daemon.waitForFinished(5000);
        }
    }
}

bool PrivateSessionBus::Offer(
    const QStringList& names, const QString& path, QObject* service, QDBusConnection::RegisterOptions options)
{
    if (!bus.isConnected())
        return false;
    for (const QString& name : names)
        if (!bus.registerService(name))
            return false;
    return bus.registerObject(path, service, options);
}
