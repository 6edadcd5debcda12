#include "platform/os/linux/DbusNotifications.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>
#include <QVariantMap>

namespace platform::os {

DesktopNotifications& Notifications()
{
    // Parented to the application, so it goes with it; a later application gets a new one.
    static QPointer<DbusNotifications> notifications;
    if (!notifications)
        notifications = new DbusNotifications;
    return *notifications;
}

namespace {
    const QString kService = QStringLiteral("org.freedesktop.Notifications");
    const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
    const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
    const QString kDefaultAction = QStringLiteral("default");
    const QString kAppName = QStringLiteral("Tessik微端");
    const QString kIconName = QStringLiteral("zandrel");
    const QString kDesktopEntry = QStringLiteral("org.example.zandrel");
    const QString kConnectionName = QStringLiteral("zandrel-notifications");
    // Keeps a page's long text from growing the desktop's bubble without limit.
    constexpr int kMaxTitle = 256;
    constexpr int kMaxBody = 2048;

    // Services that understand markup in the body would read a page's "<a href>" as theirs.
    QString PlainBody(const std::string& body)
    {
        return QString::fromStdString(body).left(kMaxBody).toHtmlEscaped();
    }
}

DbusNotifications::DbusNotifications()
    : QObject(QCoreApplication::instance())
{
}

unsigned DbusNotifications::Show(
    const std::string& title, const std::string& body, Listener onActivated, Listener onClosed)
{
    QDBusConnection bus = Bus();
    const unsigned handle = ++lastHandle ? lastHandle : ++lastHandle;
    entries[handle] = Entry { 0, std::move(onActivated), std::move(onClosed) };

    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), kDesktopEntry);
    call << kAppName << 0u << kIconName << QString::fromStdString(title).left(kMaxTitle) << PlainBody(body)
         << QStringList { kDefaultAction, QStringLiteral("打开") } << hints << -1;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [this, handle](QDBusPendingCallWatcher* finished) { OnNotifyReply(handle, finished); });
    return handle;
}

QDBusConnection DbusNotifications::Bus()
{
    if (bus.isConnected())
        return bus;
    QDBusConnection::disconnectFromBus(kConnectionName);
    bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, kConnectionName);
    if (bus.isConnected()) {
        bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
            SLOT(OnActionInvoked(uint, QString)));
        bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
            SLOT(OnNotificationClosed(uint, uint)));
    }
    return bus;
}

void DbusNotifications::OnNotifyReply(unsigned handle, QDBusPendingCallWatcher* watcher)
{
    watcher->deleteLater();
    QDBusPendingReply<unsigned> reply = *watcher;
    auto it = entries.find(handle);
    if (it == entries.end()) {
        // Closed by the page before the service answered.
        if (!reply.isError())
            CloseOnServer(reply.value());
        return;
    }
    if (reply.isError() || reply.value() == 0) {
        Listener onClosed = std::move(it->second.onClosed);
        entries.erase(it);
        if (onClosed)
            onClosed();
        return;
    }
    it->second.serverId = reply.value();
}

void DbusNotifications::Close(unsigned handle)
{
    auto it = entries.find(handle);
    if (it == entries.end())
        return;
    const unsigned serverId = it->second.serverId;
    entries.erase(it);
    if (serverId)
        CloseOnServer(serverId);
}

void DbusNotifications::CloseOnServer(unsigned serverId)
{
    QDBusMessage call
        = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("CloseNotification"));
    call << serverId;
    Bus().asyncCall(call);
}

std::map<unsigned, DbusNotifications::Entry>::iterator DbusNotifications::FindByServerId(unsigned serverId)
{
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (serverId != 0 && it->second.serverId == serverId)
            return it;
    }
    return entries.end();
}

void DbusNotifications::OnActionInvoked(unsigned serverId, const QString& actionKey)
{
    auto it = FindByServerId(serverId);
    if (it == entries.end() || actionKey != kDefaultAction)
        return;
    // The listener may close notifications itself: it runs on a copy.
    Listener onActivated = it->second.onActivated;
    if (onActivated)
        onActivated();
}

void DbusNotifications::OnNotificationClosed(unsigned serverId, unsigned reason)
{
    (void)reason;
    auto it = FindByServerId(serverId);
    if (it == entries.end())
        return;
    Listener onClosed = std::move(it->second.onClosed);
    entries.erase(it);
    if (onClosed)
        onClosed();
}

} // namespace platform::os
