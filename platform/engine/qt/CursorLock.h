#pragma once

#include <QObject>

class QWebEngineView;

namespace platform::engine::qt {

class QtBrowser;

// Keeps the arrow on a view whose browser has cursor changes disabled: the page sets its
// cursors on the view's children, which change after navigations, so every child is
// followed. GUI thread only.
class CursorLock final : public QObject {
    Q_OBJECT
public:
    CursorLock(QtBrowser* browser, QWebEngineView* view);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Watch(QObject* object);

    QtBrowser* browser;
    QWebEngineView* view;
};

} // namespace platform::engine::qt
