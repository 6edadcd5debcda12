#include "FakeNotificationService.h"

#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QStandardPaths>

namespace {
const QString kConnectionName = QStringLiteral("fake-notification-service");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
}

FakeNotificationService::FakeNotificationService()
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
    available = bus.isConnected() && bus.registerService(kInterface)
        && bus.registerObject(kPath, this, QDBusConnection::ExportAllSlots);
}

FakeNotificationService::~FakeNotificationService()
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

unsigned FakeNotificationService::Notify(const QString& appName, unsigned replacesId, const QString& appIcon,
    const QString& summary, const QString& body, const QStringList& actions, const QVariantMap& hints,
    int expireTimeout)
{
    (void)replacesId, (void)hints, (void)expireTimeout;
    const unsigned id = static_cast<unsigned>(shown.size()) + 1;
    shown.push_back({ id, appName, appIcon, summary, body, actions });
    return id;
}

void FakeNotificationService::CloseNotification(unsigned id) { closed.push_back(id); }

void FakeNotificationService::Click(unsigned id)
{
    Signal(QStringLiteral("ActionInvoked"), { id, QStringLiteral("default") });
}

void FakeNotificationService::Dismiss(unsigned id)
{
    // 2: dismissed by the user.
    Signal(QStringLiteral("NotificationClosed"), { id, 2u });
}

void FakeNotificationService::Signal(const QString& name, const QVariantList& arguments)
{
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, name);
    signal.setArguments(arguments);
    bus.send(signal);
}
