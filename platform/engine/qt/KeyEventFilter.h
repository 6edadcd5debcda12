#pragma once

#include "platform/engine/CefKeyEvent.h"

#include <QObject>

class QKeyEvent;
class QWheelEvent;
class QWebEngineView;
class QWidget;

namespace platform::engine::qt {

class ClipboardGesture;
class QtBrowser;

// Offers every key event of a view to the client's keyboard handler before the page
// sees it, zooms the page on Control and the mouse wheel as a browser does, and tells the
// clipboard gesture of each press that reaches the page. The view's focus widget is
// replaced after cross-origin navigations and renderer crashes, so the filter follows every child the view
// gets. GUI thread only.
class KeyEventFilter final : public QObject {
    Q_OBJECT
public:
    KeyEventFilter(QtBrowser* browser, QWebEngineView* view, ClipboardGesture* clipboard);

    // The key event a Qt key event stands for (without the editable-field state).
    static CefKeyEvent Translate(const QKeyEvent& event, cef_key_event_type_t type);
    // Windows virtual-key code of a Qt key (keypad: of the keypad's key); 0 when it has none here.
    static int WindowsKeyCode(int qtKey, bool keypad = false);
    // The cef_event_flags_t of Qt's modifiers.
    static unsigned int EventFlags(Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Watch(QObject* object);
    bool Offer(QKeyEvent* event, QWidget* target);
    bool ZoomOnControlWheel(QWheelEvent* event);

    QtBrowser* browser;
    QWebEngineView* view;
    ClipboardGesture* clipboard;
    // The wheel's turn not yet taken as a zoom step.
    int wheelTurn = 0;
};

} // namespace platform::engine::qt
