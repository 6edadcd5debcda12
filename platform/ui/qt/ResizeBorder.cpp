#include "platform/ui/qt/ResizeBorder.h"

#include <QMouseEvent>

#include "platform/ui/qt/WindowWidget.h"

namespace platform::ui::qt {

ResizeBorder::ResizeBorder(WindowWidget* window, Qt::Edge edge)
    : QWidget(window)
    , window_(window)
    , edge_(edge)
{
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
}

void ResizeBorder::Place(int thickness)
{
    int width = window_->width(), height = window_->height();
    switch (edge_) {
    case Qt::TopEdge:
        setGeometry(0, 0, width, thickness);
        break;
    case Qt::BottomEdge:
        setGeometry(0, height - thickness, width, thickness);
        break;
    case Qt::LeftEdge:
        setGeometry(0, 0, thickness, height);
        break;
    case Qt::RightEdge:
        setGeometry(width - thickness, 0, thickness, height);
        break;
    }
    raise();
}

void ResizeBorder::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        window_->StartSystemDrag(mapTo(window_, e->position().toPoint()));
}

void ResizeBorder::mouseMoveEvent(QMouseEvent* e)
{
    if (window_->RatioResizeTo(e->globalPosition().toPoint()))
        return;
    setCursor(window_->CursorAt(mapTo(window_, e->position().toPoint())));
}

void ResizeBorder::mouseReleaseEvent(QMouseEvent* e)
{
    (void)e;
    window_->EndRatioResize();
}

} // namespace platform::ui::qt
