#include "FakeStatusNotifierWatcher.h"

#include <QDeadlineTimer>
#include <QStandardPaths>

namespace {
const QString kConnectionName = QStringLiteral("fake-status-notifier-watcher");
}

FakeStatusNotifierWatcher::FakeStatusNotifierWatcher()
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
    if (address.isEmpty())
        return;
    bus = QDBusConnection::connectToBus(address, kConnectionName);
    available = bus.isConnected() && bus.registerService("org.kde.StatusNotifierWatcher")
        && bus.registerService("org.kde.StatusNotifierHost-fake")
        && bus.registerObject("/StatusNotifierWatcher", this,
            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties);
}

FakeStatusNotifierWatcher::~FakeStatusNotifierWatcher()
{
    if (bus.isConnected())
        QDBusConnection::disconnectFromBus(kConnectionName);
    if (daemon.state() != QProcess::NotRunning) {
        daemon.terminate();
        if (!daemon.waitForFinished(5000)) {
            daemon.kill();
            daemon.waitForFinished(5000);
        }
    }
}

void FakeStatusNotifierWatcher::RegisterStatusNotifierItem(const QString& service) { items << service; }
