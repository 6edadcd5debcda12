#pragma once

#include <QObject>
#include <QPointer>

class QWebEngineView;
class QWindow;

namespace platform::engine::qt {

class QtBrowser;

// Keeps the widgets' cursor over a view whose browser has cursor changes disabled. The
// page's cursor goes straight to the top-level window, past every widget (Qt 6.4), or to the
// view itself (Qt 6.8), so the lock watches both, following the view into whichever window
// holds it. GUI thread only.
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
