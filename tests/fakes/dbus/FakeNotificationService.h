#pragma once

#include "fakes/dbus/PrivateSessionBus.h"

#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <vector>

// The desktop's notification service on a session bus of its own: records what it is asked to show and close,
// and clicks or closes on request. Its calls are answered while the test's event loop runs (WaitUntil).
class FakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Shown {
        unsigned id;
        QString appName;
        QString icon;
        QString summary;
        QString body;
        QStringList actions;
    };

    FakeNotificationService();
    // False when dbus-daemon is missing or the service's name could not be taken.
    bool Available() const { return available; }
    QString BusAddress() const { return bus.Address(); }
    const std::vector<Shown>& Notifications() const { return shown; }
    const std::vector<unsigned>& ClosedByClient() const { return closed; }

    void Click(unsigned id);
    void Dismiss(unsigned id);

public slots:
    unsigned Notify(const QString& appName, unsigned replacesId, const QString& appIcon,
        const QString& summary, const QString& body, const QStringList& actions, const QVariantMap& hints,
        int expireTimeout);
    void CloseNotification(unsigned id);
    QStringList GetCapabilities() { return { QStringLiteral("actions"), QStringLiteral("body") }; }

private:
    void Signal(const QString& name, const QVariantList& arguments);

    PrivateSessionBus bus { QStringLiteral("fake-notification-service") };
    std::vector<Shown> shown;
    std::vector<unsigned> closed;
    bool available = false;
};
