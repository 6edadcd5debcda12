#include "platform/ui/qt/RatioResize.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

#include "platform/ui/qt/ControlWidget.h"
#include "platform/ui/qt/ResizeBorder.h"

namespace platform::ui::qt {

QRect RatioResizedGeometry(const QRect& start, Qt::Edges edges, const QPoint& delta, double aspect,
    const QSize& minimum, const QRect& bounds)
{
    if (aspect <= 0 || !edges)
        return start;
    double width = start.width()
        + ((edges & Qt::RightEdge)       ? delta.x()
                : (edges & Qt::LeftEdge) ? -delta.x()
                                         : 0);
    double height = start.height()
        + ((edges & Qt::BottomEdge)     ? delta.y()
                : (edges & Qt::TopEdge) ? -delta.y()
                                        : 0);
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical)
        width = std::max(width, height * aspect);
    else if (vertical)
        width = height * aspect;
    double minWidth = std::max<double>(minimum.width(), minimum.height() * aspect);
    double maxWidth = bounds.isValid() ? std::min<double>(bounds.width(), bounds.height() * aspect) : width;
    maxWidth = std::max(maxWidth, minWidth);
    width = std::clamp(width, minWidth, maxWidth);
    const int w = static_cast<int>(std::lround(width));
    const int h = static_cast<int>(std::lround(width / aspect));
    QRect result(start.topLeft(), QSize(w, h));
    if (edges & Qt::LeftEdge)
        result.moveRight(start.right());
    if (edges & Qt::TopEdge)
        result.moveBottom(start.bottom());
    return result;
}

RatioResize::RatioResize(QWidget* window, double aspect)
    : QObject(window)
    , window_(window)
    , aspect_(aspect)
{
}

void RatioResize::Begin(Qt::Edges edges, QPoint globalPos)
{
    edges_ = edges;
    pressAt_ = globalPos;
    start_ = window_->geometry();
}

bool RatioResize::MoveTo(QPoint globalPos)
{
    if (!edges_)
        return false;
    QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
    const QRect bounds = screen ? screen->availableGeometry() : QRect();
    window_->setGeometry(
        RatioResizedGeometry(start_, edges_, globalPos - pressAt_, aspect_, window_->minimumSize(), bounds));
    return true;
}

ContentDrag::ContentDrag(QWidget* window)
    : QObject(window)
    , window_(window)
{
    qApp->installEventFilter(this);
}

bool ContentDrag::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    // Controls and the border have their own presses; the window's own are its caption's.
    if (!widget || widget == window_ || widget->window() != window_ || dynamic_cast<ControlWidget*>(widget)
        || dynamic_cast<ResizeBorder*>(widget))
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (type == QEvent::MouseButtonPress) {
        armed_ = mouse->button() == Qt::LeftButton;
        pressAt_ = mouse->globalPosition().toPoint();
    } else if (type == QEvent::MouseButtonRelease || !(mouse->buttons() & Qt::LeftButton)) {
        armed_ = false;
    } else if (armed_
        && (mouse->globalPosition().toPoint() - pressAt_).manhattanLength()
            >= QApplication::startDragDistance()
        && window_->windowHandle()) {
        armed_ = false;
        window_->windowHandle()->startSystemMove();
    }
    // The page still gets every press: a click on the video stays the page's.
    return false;
}

} // namespace platform::ui::qt
