#include "platform/ui/WindowImplBase.h"

#include <algorithm>

#include <QGuiApplication>
#include <QScreen>

#include "platform/ui/qt/WindowWidget.h"

// Where a window shows and whether it is on top; its state (maximised, minimised) is the
// window widget's.
namespace platform::ui {

void WindowImplBase::ShowWindow(bool show, bool takeFocus)
{
    if (!widget_)
        return;
    widget_->setVisible(show);
    if (show && takeFocus && widget_->isWindow())
        widget_->activateWindow();
}

void WindowImplBase::CenterWindow()
{
    if (!widget_ || !widget_->isWindow())
        return;
    QRect area;
    QWidget* owner = widget_->parentWidget() ? widget_->parentWidget()->window() : nullptr;
    auto* ownerWindow = dynamic_cast<qt::WindowWidget*>(owner);
    bool ownerShown = owner && (owner->isVisible() || (ownerWindow && ownerWindow->ShowPending()));
    if (ownerShown && !owner->isMinimized())
        area = owner->frameGeometry();
    else if (QScreen* screen = widget_->screen() ? widget_->screen() : QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isEmpty())
        return;
    QRect frame = widget_->frameGeometry();
    QPoint topLeft(area.center().x() - frame.width() / 2, area.center().y() - frame.height() / 2);
    if (QScreen* screen = QGuiApplication::screenAt(area.center())) {
        QRect work = screen->availableGeometry();
        topLeft.setX(std::max(work.left(), std::min(topLeft.x(), work.right() - frame.width())));
        topLeft.setY(std::max(work.top(), std::min(topLeft.y(), work.bottom() - frame.height())));
    }
    widget_->move(topLeft);
}

void WindowImplBase::BringToTop()
{
    if (!widget_)
        return;
    widget_->raise();
    if (widget_->isWindow())
        widget_->activateWindow();
}

} // namespace platform::ui
