#include "fakes/dbus/FakeNotificationService.h"

#include <QDBusMessage>

namespace {
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
}

FakeNotificationService::FakeNotificationService()
{
    available = bus.Offer({ kInterface }, kPath, this, QDBusConnection::ExportAllSlots);
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
    bus.Connection().send(signal);
}
