#include "platform/engine/qt/NotificationPresenter.h"

#include "platform/engine/qt/BrowserRegistry.h"
#include "platform/engine/qt/QtBrowser.h"
#include "platform/os/DesktopNotifications.h"

#include <QPointer>
#include <QWebEngineProfile>

namespace platform::engine::qt {

void NotificationPresenter::Attach(QWebEngineProfile* profile)
{
    QPointer<NotificationPresenter> presenter = new NotificationPresenter(profile);
    profile->setNotificationPresenter([presenter](std::unique_ptr<QWebEngineNotification> notification) {
        if (presenter)
            presenter->Present(std::move(notification));
    });
}

NotificationPresenter::NotificationPresenter(QObject* parent)
    : QObject(parent)
{
}

void NotificationPresenter::Present(std::unique_ptr<QWebEngineNotification> notification)
{
    // A notification with the tag of one still shown replaces it, as in a browser.
    for (auto it = shown.begin(); it != shown.end(); ++it) {
        if (!notification->tag().isEmpty() && it->second->matches(notification.get())) {
            const unsigned replaced = it->first;
            shown.erase(it);
            platform::os::Notifications().Close(replaced);
            break;
        }
    }
    QPointer<NotificationPresenter> self(this);
    auto handle = std::make_shared<unsigned>(0);
    *handle = platform::os::Notifications().Show(
        notification->title().toStdString(), notification->message().toStdString(),
        [self, handle] {
            if (self)
                self->OnActivated(*handle);
        },
        [self, handle] {
            if (self)
                self->OnClosedByDesktop(*handle);
        });
    const unsigned id = *handle;
    connect(notification.get(), &QWebEngineNotification::closed, this, [this, id] { OnClosedByPage(id); });
    notification->show();
    shown[id] = std::move(notification);
}

void NotificationPresenter::OnActivated(unsigned handle)
{
    auto it = shown.find(handle);
    if (it == shown.end())
        return;
    const QUrl origin = it->second->origin();
    it->second->click();
    CefRefPtr<QtBrowser> browser = BrowserRegistry::Instance().FindShowingOrigin(origin);
    if (!browser)
        return;
    if (auto handler = browser->GetClient()->GetDisplayHandler())
        handler->OnNotificationActivated(browser);
}

void NotificationPresenter::OnClosedByDesktop(unsigned handle)
{
    auto it = shown.find(handle);
    if (it == shown.end())
        return;
    std::unique_ptr<QWebEngineNotification> notification = std::move(it->second);
    shown.erase(it);
    // Gone from the map first: the page's close event must not close it on the desktop again.
    notification->disconnect(this);
    notification->close();
}

void NotificationPresenter::OnClosedByPage(unsigned handle)
{
    auto it = shown.find(handle);
    if (it == shown.end())
        return;
    // Deleted later: the notification is the sender of the signal being handled.
    it->second.release()->deleteLater();
    shown.erase(it);
    platform::os::Notifications().Close(handle);
}

} // namespace platform::engine::qt
