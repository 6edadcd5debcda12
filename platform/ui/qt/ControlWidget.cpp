#include "platform/ui/qt/ControlWidget.h"

#include <utility>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/WindowImplBase.h"
#include "platform/ui/WindowOps.h"
#include "platform/ui/qt/ControlAccessible.h"
#include "platform/ui/qt/WindowWidget.h"

namespace platform::ui::qt {

void DisposeWidget(QWidget* widget)
{
    if (!widget)
        return;
    // Gone for the user now: hiding alone would hand the keyboard on to a neighbour.
    if (QWidget* focused = QApplication::focusWidget(); focused && IsBelow(focused, widget))
        focused->clearFocus();
    widget->hide();
    widget->deleteLater();
}

bool IsBelow(const QWidget* widget, const QWidget* owner)
{
    for (const QWidget* up = widget; up; up = up->parentWidget()) {
        if (up == owner)
            return true;
    }
    return false;
}

ControlGuard::ControlGuard(const CControlUI* control)
    : widget_(control ? control->Widget() : nullptr)
    , control_(control)
{
}

bool ControlGuard::Alive() const { return widget_ && widget_->Control() == control_; }

ControlWidget::ControlWidget(CControlUI* control)
    : control_(control)
{
    // Once, by whoever made the application: drawn controls are only known to Qt's accessibility
    // through this factory.
    static const bool accessible = (InstallControlAccessibility(), true);
    (void)accessible;
    setAttribute(Qt::WA_Hover, false);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

ControlWidget::~ControlWidget()
{
    if (CControlUI* control = std::exchange(control_, nullptr)) {
        control->widget_ = nullptr;
        delete control;
    }
}

CControlUI* ControlWidget::ParentControl() const
{
    // A hosted window's root belongs to that window, not to the container showing it.
    for (QWidget* up = parentWidget(); up && !dynamic_cast<WindowWidget*>(up); up = up->parentWidget()) {
        if (auto* drawn = qobject_cast<ControlWidget*>(up))
            return drawn->Control();
    }
    return nullptr;
}

WindowWidget* ControlWidget::HostWindow() const
{
    for (QWidget* up = parentWidget(); up; up = up->parentWidget()) {
        if (auto* window = dynamic_cast<WindowWidget*>(up))
            return window;
    }
    return nullptr;
}

QPoint ControlWidget::OffsetInWindow() const
{
    WindowWidget* window = HostWindow();
    return window ? mapTo(window, QPoint(0, 0)) : QPoint(0, 0);
}

QSize ControlWidget::sizeHint() const
{
    if (!control_)
        return QSize(0, 0);
    SIZE size = control_->EstimateSize(SIZE { width(), height() });
    QMargins m = contentsMargins();
    return QSize(size.cx + m.left() + m.right(), size.cy + m.top() + m.bottom());
}

QSize ControlWidget::minimumSizeHint() const { return QSize(0, 0); }

bool ControlWidget::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip && control_ && control_->GetToolTip().empty())
        return true;
    return QWidget::event(e);
}

void ControlWidget::paintEvent(QPaintEvent*)
{
    if (!control_)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    // Controls draw in their window's client coordinates, as GetPos reports them.
    QPoint offset = OffsetInWindow();
    painter.translate(-offset);
    RECT paint = ToRect(rect().translated(offset));
    control_->DoPaint(reinterpret_cast<HDC>(&painter), paint);
}

bool ControlWidget::SendEvent(int type, QPoint pos, WPARAM key)
{
    if (!control_)
        return false;
    TEventUI event;
    event.Type = type;
    event.pSender = control_;
    QPoint inWindow = pos + OffsetInWindow();
    event.ptMouse = POINT { inWindow.x(), inWindow.y() };
    event.chKey = key;
    control_->Event(event);
    return true;
}

bool ControlWidget::Interactive() const
{
    return control_
        && (control_->GetInterface(u"Button") || control_->GetInterface(u"ListItem")
            || control_->GetInterface(u"Edit"));
}

void ControlWidget::enterEvent(QEnterEvent* e) { SendEvent(UIEVENT_MOUSEENTER, e->position().toPoint()); }

void ControlWidget::leaveEvent(QEvent*) { SendEvent(UIEVENT_MOUSELEAVE, mapFromGlobal(QCursor::pos())); }

void ControlWidget::mousePressEvent(QMouseEvent* e)
{
    QPoint pos = e->position().toPoint();
    if (e->button() == Qt::RightButton) {
        SendEvent(UIEVENT_RBUTTONDOWN, pos);
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    if (!Interactive()) {
        if (WindowWidget* window = HostWindow(); window && window->StartSystemDrag(pos + OffsetInWindow()))
            return;
    }
    // Buttons (tab focus only) leave the keyboard where it was: a click on a tab or a caption
    // button must not take it from the page.
    if (Interactive() && control_->IsEnabled() && (focusPolicy() & Qt::ClickFocus))
        setFocus(Qt::MouseFocusReason);
    SendEvent(UIEVENT_BUTTONDOWN, pos);
}

void ControlWidget::mouseReleaseEvent(QMouseEvent* e)
{
    QPoint pos = e->position().toPoint();
    if (e->button() == Qt::RightButton)
        SendEvent(UIEVENT_CONTEXTMENU, pos);
    else if (e->button() == Qt::LeftButton)
        SendEvent(UIEVENT_BUTTONUP, pos);
}

void ControlWidget::mouseDoubleClickEvent(QMouseEvent* e)
{
    QPoint pos = e->position().toPoint();
    if (!Interactive()) {
        if (WindowWidget* window = HostWindow(); window && window->ToggleMaximizeAt(pos + OffsetInWindow()))
            return;
    }
    SendEvent(UIEVENT_DBLCLICK, pos);
}

void ControlWidget::mouseMoveEvent(QMouseEvent* e)
{
    SendEvent(UIEVENT_MOUSEMOVE, e->position().toPoint());
    // Let the window set the resize cursor near its border.
    e->ignore();
}

void ControlWidget::keyPressEvent(QKeyEvent* e)
{
    WPARAM vk = VirtualKeyFromQt(e->key());
    WindowWidget* host = HostWindow();
    if (!vk || !host || !host->Owner()) {
        e->ignore();
        return;
    }
    if (!DispatchKey(host->Owner(), vk, control_))
        e->ignore();
}

void ControlWidget::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    if (control_ && control_->GetManager())
        control_->GetManager()->SetFocus(control_);
    SendEvent(UIEVENT_SETFOCUS, QPoint());
}

void ControlWidget::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    SendEvent(UIEVENT_KILLFOCUS, QPoint());
}

QColor ToQColor(DWORD argb)
{
    return QColor(static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
        static_cast<int>(argb & 0xFF), static_cast<int>((argb >> 24) & 0xFF));
}

QRect ToQRect(const RECT& rc) { return QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top); }

RECT ToRect(const QRect& rc)
{
    return RECT { rc.left(), rc.top(), rc.left() + rc.width(), rc.top() + rc.height() };
}

QFont MakeFont(const CPaintManagerUI* manager, int id)
{
    static const TFontInfo fallback { u"WenQuanYi Micro Hei", 12, false, false, false };
    const TFontInfo& info = manager ? manager->GetFontInfo(id) : fallback;
    QFont font;
    QStringList families;
    if (!info.family.empty())
        families << QString::fromStdU16String(info.family);
    // Chinese texts must render even when the layout names a Latin-only family.
    families << "WenQuanYi Micro Hei"
             << "Noto Sans CJK SC"
             << "Droid Sans Fallback"
             << "DejaVu Sans";
    font.setFamilies(families);
    font.setPixelSize(info.size > 0 ? info.size : 12);
    font.setBold(info.bold);
    font.setItalic(info.italic);
    font.setUnderline(info.underline);
    return font;
}

WPARAM VirtualKeyFromQt(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_Tab:
        return VK_TAB;
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_F5:
        return VK_F5;
    case Qt::Key_F12:
        return VK_F12;
    default:
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return 'A' + static_cast<WPARAM>(key - Qt::Key_A);
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            return '0' + static_cast<WPARAM>(key - Qt::Key_0);
        return 0;
    }
}

bool DispatchKey(WindowImplBase* window, WPARAM vk, CControlUI* focused)
{
    HWND hwnd = window->GetHWND();
    if (window->HandleMessage(WM_KEYDOWN, vk, 0))
        return true;
    if (!IsWindow(hwnd))
        return true;
    if (focused && focused->GetManager() == window->GetPaintManager() && focused->IsEnabled()) {
        TEventUI event;
        event.Type = UIEVENT_KEYDOWN;
        event.pSender = focused;
        event.chKey = vk;
        focused->Event(event);
        if (vk == VK_SPACE || vk == VK_RETURN)
            return true;
    }
    if (window->GetStyle() & WS_CHILD) {
        if (WindowImplBase* parent = WindowFromHandle(GetParent(hwnd)))
            return DispatchKey(parent, vk, nullptr);
    }
    return false;
}

} // namespace platform::ui::qt
