#include "platform/engine/qt/CursorLock.h"

#include "platform/engine/qt/QtBrowser.h"

#include <QChildEvent>
#include <QWebEngineView>
#include <QWidget>

namespace platform::engine::qt {

CursorLock::CursorLock(QtBrowser* browser, QWebEngineView* view)
    : QObject(view)
    , browser(browser)
    , view(view)
{
    view->installEventFilter(this);
    for (QObject* child : view->children())
        Watch(child);
}

void CursorLock::Watch(QObject* object)
{
    if (object && object != this && object->isWidgetType()) {
        object->removeEventFilter(this);
        object->installEventFilter(this);
    }
}

bool CursorLock::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view) {
        if (event->type() == QEvent::ChildAdded)
            Watch(static_cast<QChildEvent*>(event)->child());
        return false;
    }
    // Setting the arrow sends one more change, which then finds the arrow and stops.
    if (event->type() == QEvent::CursorChange && browser->IsMouseCursorChangeDisabled()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->cursor().shape() != Qt::ArrowCursor)
            widget->setCursor(Qt::ArrowCursor);
    }
    return false;
}

} // namespace platform::engine::qt
