#pragma once

#include <QObject>
#include <QWebEngineNotification>
#include <map>
#include <memory>

class QWebEngineProfile;

namespace platform::engine::qt {

// Shows the pages' notifications on the desktop and carries the desktop's clicks and closes
// back to them: a click raises the page's browser through its client, a close reaches the
// page's onclose, and the page's close() takes the notification off. GUI thread only.
class NotificationPresenter final : public QObject {
public:
    // Presents the notifications of profile for as long as it lives.
    static void Attach(QWebEngineProfile* profile);

private:
    explicit NotificationPresenter(QObject* parent);
    void Present(std::unique_ptr<QWebEngineNotification> notification);
    void OnActivated(unsigned handle);
    void OnClosedByDesktop(unsigned handle);
    void OnClosedByPage(unsigned handle);

    std::map<unsigned, std::unique_ptr<QWebEngineNotification>> shown;
};

} // namespace platform::engine::qt
