#include "platform/ui/WindowOps.h"

#include <algorithm>

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include "platform/ui/WindowImplBase.h"
#include "platform/ui/qt/WidgetHandles.h"
#include "platform/ui/qt/WindowWidget.h"

namespace platform::ui {

namespace {
    QWidget* Live(HWND hwnd)
    {
        QWidget* widget = qt::WidgetFromHandle(hwnd);
        if (widget && widget->property("zandrelDestroyed").toBool())
            return nullptr;
        return widget;
    }

    RECT WorkAreaOf(QScreen* screen)
    {
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (!screen)
            return RECT { 0, 0, 1024, 768 };
        QRect area = screen->availableGeometry();
        return RECT { area.left(), area.top(), area.left() + area.width(), area.top() + area.height() };
    }
}

bool ShowWindow(HWND hwnd, int cmd)
{
    QWidget* widget = Live(hwnd);
    if (!widget)
        return false;
    bool wasVisible = widget->isVisible();
    switch (cmd) {
    case SW_HIDE:
        widget->hide();
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
        widget->showMinimized();
        break;
    case SW_SHOWMAXIMIZED:
        widget->showMaximized();
        break;
    case SW_RESTORE:
        if (widget->isWindow())
            qt::RestoreWindow(widget);
        else
            widget->show();
        break;
    default:
        widget->show();
        break;
    }
    return wasVisible;
}

bool SetForegroundWindow(HWND hwnd)
{
    QWidget* widget = Live(hwnd);
    if (!widget)
        return false;
    widget->window()->raise();
    widget->window()->activateWindow();
    return true;
}

bool IsWindow(HWND hwnd) { return Live(hwnd) != nullptr; }

bool IsWindowVisible(HWND hwnd)
{
    QWidget* widget = Live(hwnd);
    auto* window = dynamic_cast<qt::WindowWidget*>(widget);
    return widget && (widget->isVisible() || (window && window->ShowPending()));
}

bool IsIconic(HWND hwnd)
{
    QWidget* widget = Live(hwnd);
    return widget && widget->isWindow() && widget->isMinimized();
}

HWND GetParent(HWND hwnd)
{
    QWidget* widget = Live(hwnd);
    if (!widget)
        return nullptr;
    // Skip the plain widgets between a child window and the window that holds it.
    for (QWidget* up = widget->parentWidget(); up; up = up->parentWidget()) {
        if (dynamic_cast<qt::WindowWidget*>(up) || up->isWindow())
            return qt::HandleFromWidget(up);
    }
    return nullptr;
}

HWND GetAncestorRoot(HWND hwnd)
{
    HWND current = Live(hwnd) ? hwnd : nullptr;
    while (current) {
        HWND up = GetParent(current);
        if (!up)
            break;
        current = up;
    }
    return current;
}

bool SetWindowPos(HWND hwnd, int x, int y, int cx, int cy, UINT flags)
{
    QWidget* widget = Live(hwnd);
    if (!widget)
        return false;
    if (!(flags & SWP_NOSIZE))
        widget->resize(std::max(cx, 0), std::max(cy, 0));
    if (!(flags & SWP_NOMOVE))
        widget->move(x, y);
    if (!(flags & SWP_NOZORDER))
        widget->raise();
    // A layout window being set up is mapped once its creator is done with it.
    auto* window = dynamic_cast<qt::WindowWidget*>(widget);
    if ((flags & SWP_SHOWWINDOW) && window && window->isWindow() && !window->isVisible())
        window->ShowSoon();
    else if (flags & SWP_SHOWWINDOW)
        widget->show();
    if (flags & SWP_HIDEWINDOW)
        widget->hide();
    return true;
}

bool SetParent(HWND child, HWND newParent)
{
    QWidget* widget = Live(child);
    QWidget* parent = Live(newParent);
    if (!widget || !parent || widget->isWindow() || widget == parent || widget->isAncestorOf(parent))
        return false;
    widget->setParent(parent);
    widget->move(0, 0);
    widget->show();
    return true;
}

bool SetWindowAspectRatio(HWND hwnd, int width, int height)
{
    auto* window = dynamic_cast<qt::WindowWidget*>(Live(hwnd));
    if (!window || !window->isWindow())
        return false;
    window->SetAspectRatio(width > 0 && height > 0 ? static_cast<double>(width) / height : 0);
    return true;
}

bool SetWindowMovableByContent(HWND hwnd)
{
    auto* window = dynamic_cast<qt::WindowWidget*>(Live(hwnd));
    if (!window || !window->isWindow())
        return false;
    window->SetMovableByContent();
    return true;
}

RECT GetWindowRect(HWND hwnd)
{
    QWidget* widget = Live(hwnd);
    if (!widget)
        return RECT {};
    QPoint origin = widget->isWindow() ? widget->pos() : widget->mapToGlobal(QPoint(0, 0));
    QSize size = widget->isWindow() ? widget->frameGeometry().size() : widget->size();
    return RECT { origin.x(), origin.y(), origin.x() + size.width(), origin.y() + size.height() };
}

RECT GetClientRect(HWND hwnd)
{
    QWidget* widget = Live(hwnd);
    if (!widget)
        return RECT {};
    return RECT { 0, 0, widget->width(), widget->height() };
}

POINT ClientToScreen(HWND hwnd, POINT point)
{
    QWidget* widget = Live(hwnd);
    if (!widget)
        return point;
    QPoint global = widget->mapToGlobal(QPoint(point.x, point.y));
    return POINT { global.x(), global.y() };
}

RECT GetWorkArea(HWND hwnd)
{
    QWidget* widget = Live(hwnd);
    QScreen* screen = widget ? widget->window()->screen() : nullptr;
    if (widget) {
        QRect frame = widget->window()->frameGeometry();
        if (QScreen* at = QGuiApplication::screenAt(frame.center()))
            screen = at;
    }
    return WorkAreaOf(screen);
}

RECT GetWorkAreaFromPoint(POINT point)
{
    return WorkAreaOf(QGuiApplication::screenAt(QPoint(point.x, point.y)));
}

POINT GetCursorPos()
{
    QPoint pos = QCursor::pos();
    return POINT { pos.x(), pos.y() };
}

bool DestroyWindow(HWND hwnd)
{
    if (WindowImplBase* window = WindowFromHandle(hwnd)) {
        window->DestroyNow();
        return true;
    }
    QWidget* widget = Live(hwnd);
    if (!widget)
        return false;
    widget->setProperty("zandrelDestroyed", true);
    widget->hide();
    widget->deleteLater();
    return true;
}

bool SetWindowFullScreen(HWND hwnd, bool fullScreen)
{
    QWidget* widget = Live(hwnd);
    if (!widget || !widget->isWindow())
        return false;
    const char* const kNormalGeometry = "zandrelNormalGeometry";
    const char* const kMaximisedUnderneath = "zandrelMaximisedUnderneath";
    const Qt::WindowStates state = widget->windowState();
    if (fullScreen == state.testFlag(Qt::WindowFullScreen))
        return true;
    if (fullScreen) {
        widget->setProperty(
            kNormalGeometry, widget->isMaximized() ? widget->normalGeometry() : widget->geometry());
        widget->setProperty(kMaximisedUnderneath, widget->isMaximized());
        widget->setWindowState((state & ~Qt::WindowMinimized) | Qt::WindowFullScreen);
        widget->show();
        return true;
    }
    // Window managers (openbox among them) report a fullscreen window as no longer maximised and
    // maximise it again once it leaves: the state read now would restore the normal size, which
    // the window manager then overrides without telling the toolkit, and the content stays small.
    const bool maximised = widget->property(kMaximisedUnderneath).toBool();
    widget->setWindowState((state & ~(Qt::WindowFullScreen | Qt::WindowMaximized))
        | (maximised ? Qt::WindowMaximized : Qt::WindowNoState));
    const QRect normal = widget->property(kNormalGeometry).toRect();
    if (!maximised && normal.isValid())
        widget->setGeometry(normal);
    return true;
}

bool IsWindowFullScreen(HWND hwnd)
{
    QWidget* widget = Live(hwnd);
    return widget && widget->isWindow() && widget->isFullScreen();
}

bool SetWindowText(HWND hwnd, const std::u16string& text)
{
    QWidget* widget = Live(hwnd);
    if (!widget)
        return false;
    widget->setWindowTitle(QString::fromStdU16String(text));
    return true;
}

} // namespace platform::ui
