#include "platform/engine/qt/CursorLock.h"

#include "platform/engine/qt/QtBrowser.h"

#include <QWebEngineView>
#include <QWindow>

namespace platform::engine::qt {

CursorLock::CursorLock(QtBrowser* browser, QWebEngineView* view)
    : QObject(view)
    , browser(browser)
    , view(view)
{
    view->installEventFilter(this);
    FollowWindow();
}

CursorLock::~CursorLock()
{
    if (window)
        window->removeEventFilter(this);
}

void CursorLock::FollowWindow()
{
    // The top-level window gets its native window only when it is first shown.
    QWindow* current = view->window()->windowHandle();
    if (current == window)
        return;
    if (window)
        window->removeEventFilter(this);
    window = current;
    if (window)
        window->installEventFilter(this);
}

void CursorLock::Restore()
{
    // Only the view under the pointer set it; the window shares its cursor with other widgets.
    if (!browser->IsMouseCursorChangeDisabled() || !view->isVisible() || !view->underMouse())
        return;
    // Setting it sends one more change, which then finds the widgets' cursor and stops.
    const QCursor expected = view->cursor();
    if (window->cursor().shape() != expected.shape())
        window->setCursor(expected);
}

bool CursorLock::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view) {
        if (event->type() == QEvent::Show || event->type() == QEvent::ParentChange)
            FollowWindow();
        // Qt 6.8's engine gives the view itself the page's cursor; without it the view shows
        // its parent's.
        if (event->type() == QEvent::CursorChange && browser->IsMouseCursorChangeDisabled()
            && view->testAttribute(Qt::WA_SetCursor))
            view->unsetCursor();
    } else if (watched == window && event->type() == QEvent::CursorChange) {
        Restore();
    }
    return false;
}

} // namespace platform::engine::qt
