#pragma once

#include <QFont>
#include <QWidget>

#include "platform/ui/ControlUI.h"

namespace platform::ui {
class WindowImplBase;
class CPaintManagerUI;
}

namespace platform::ui::qt {

class WindowWidget;

// Draws one control and turns mouse and key input into its events. The control
// owns the widget; either may die first, so each forgets the other. GUI thread only.
class ControlWidget : public QWidget {
    // Known by its meta-object, as not every widget in the process has type information
    // (the engine's are built without it).
    Q_OBJECT
public:
    explicit ControlWidget(CControlUI* control);
    ~ControlWidget() override;

    CControlUI* Control() const { return control_; }
    void Forget() { control_ = nullptr; }
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

/// Deletes a widget now, or hides it and deletes it later when input is being handled
/// (the widget or one of its children may be the one handling it).
void DisposeWidget(QWidget* widget);

/// Counts input handling in progress, so disposal knows when deleting is unsafe.
class EventScope {
public:
    EventScope();
    ~EventScope();
    static bool Active();
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
