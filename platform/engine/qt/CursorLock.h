#pragma once

#include <QObject>
#include <QPointer>

class QWebEngineView;
class QWindow;

namespace platform::engine::qt {

class QtBrowser;

// Keeps the widgets' cursor over a view whose browser has cursor changes disabled. The
// page's cursor goes straight to the top-level window, past every widget, so the lock
// watches that window, following the view into whichever window holds it. GUI thread only.
class CursorLock final : public QObject {
    Q_OBJECT
public:
    CursorLock(QtBrowser* browser, QWebEngineView* view);
    ~CursorLock() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FollowWindow();
    void Restore();

    QtBrowser* browser;
    QWebEngineView* view;
    QPointer<QWindow> window;
};

} // namespace platform::engine::qt
