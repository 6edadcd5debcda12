#pragma once

#include <QFont>
#include <QPointer>
#include <QWidget>

#include "platform/ui/ControlUI.h"

namespace platform::ui {
class WindowImplBase;
class CPaintManagerUI;
}

namespace platform::ui::qt {

class WindowWidget;

// Draws one control and turns mouse and key input into its events. The widget owns its
// control, and a container's widget is the Qt parent of its children's widgets, so a subtree
// goes with its widget. Code that deletes a control directly leaves the widget empty, to be
// deleted by Qt. GUI thread only.
class ControlWidget : public QWidget {
    // Known by its meta-object, as not every widget in the process has type information
    // (the engine's are built without it).
    Q_OBJECT
public:
    explicit ControlWidget(CControlUI* control);
    ~ControlWidget() override;

    CControlUI* Control() const { return control_; }
    /// The control is being deleted by other code; the widget stays behind, inert.
    void ReleaseControl() { control_ = nullptr; }
    /// The nearest control above this one in the same window (nullptr for a window's root).
    CControlUI* ParentControl() const;
    /// The layout window widget this control is shown in (nullptr while detached).
    WindowWidget* HostWindow() const;
    QPoint OffsetInWindow() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    bool SendEvent(int type, QPoint pos, WPARAM key = 0);
    bool Interactive() const;
    CControlUI* control_;
};

/// Hides a widget and deletes it once control is back in the event loop: the widget or one
/// of its children may be the one handling the input that led here.
void DisposeWidget(QWidget* widget);

/// Whether widget lies below owner in Qt's parent tree, across window boundaries.
bool IsBelow(const QWidget* widget, const QWidget* owner);

/// Whether a control seen before a handler ran is still there after it (handlers may
/// destroy the control that called them), even when a new control has taken its memory.
class ControlGuard {
public:
    explicit ControlGuard(const CControlUI* control);
    bool Alive() const;

private:
    QPointer<ControlWidget> widget_;
    const CControlUI* control_;
};

/// The font of id in the window's layout, falling back to the CJK-capable default.
QFont MakeFont(const CPaintManagerUI* manager, int id);
QColor ToQColor(DWORD argb);
QRect ToQRect(const RECT& rc);
RECT ToRect(const QRect& rc);
/// Translates a Qt key to the virtual key number the window code uses (0 for others).
WPARAM VirtualKeyFromQt(int key);
/// Key handling of a layout window: the window first, then the focused control,
/// then the parent window of a child window. True when something consumed it.
bool DispatchKey(WindowImplBase* window, WPARAM vk, CControlUI* focused);

} // namespace platform::ui::qt
