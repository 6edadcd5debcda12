#include "platform/engine/qt/KeyEventFilter.h"

#include "platform/engine/ZoomSteps.h"
#include "platform/engine/qt/ClipboardGesture.h"
#include "platform/engine/qt/QtBrowser.h"

#include <QChildEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QWebEngineView>
#include <QWheelEvent>

namespace platform::engine::qt {

KeyEventFilter::KeyEventFilter(QtBrowser* browser, QWebEngineView* view, ClipboardGesture* clipboard)
    : QObject(view)
    , browser(browser)
    , view(view)
    , clipboard(clipboard)
{
    view->installEventFilter(this);
    for (QObject* child : view->children())
        Watch(child);
}

void KeyEventFilter::Watch(QObject* object)
{
    if (object && object != this && object->isWidgetType()) {
        // Installing twice would offer each key twice.
        object->removeEventFilter(this);
        object->installEventFilter(this);
    }
}

unsigned int KeyEventFilter::EventFlags(Qt::KeyboardModifiers modifiers)
{
    unsigned int flags = EVENTFLAG_NONE;
    if (modifiers & Qt::ShiftModifier)
        flags |= EVENTFLAG_SHIFT_DOWN;
    if (modifiers & Qt::ControlModifier)
        flags |= EVENTFLAG_CONTROL_DOWN;
    if (modifiers & Qt::AltModifier)
        flags |= EVENTFLAG_ALT_DOWN;
    if (modifiers & Qt::MetaModifier)
        flags |= EVENTFLAG_COMMAND_DOWN;
    if (modifiers & Qt::KeypadModifier)
        flags |= EVENTFLAG_IS_KEY_PAD;
    return flags;
}

int KeyEventFilter::WindowsKeyCode(int qtKey, bool keypad)
{
    if (keypad) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
            return 0x60 + (qtKey - Qt::Key_0);
        if (qtKey == Qt::Key_Plus)
            return 0x6B;
        if (qtKey == Qt::Key_Minus)
            return 0x6D;
    }
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return 0x70 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    // The key that carries "=" and "+" on the main block.
    case Qt::Key_Equal:
    case Qt::Key_Plus:
        return 0xBB;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return 0xBD;
    case Qt::Key_Space:
        return 0x20;
    case Qt::Key_Backspace:
        return 0x08;
    case Qt::Key_Tab:
        return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 0x0D;
    case Qt::Key_Escape:
        return 0x1B;
    case Qt::Key_PageUp:
        return 0x21;
    case Qt::Key_PageDown:
        return 0x22;
    case Qt::Key_End:
        return 0x23;
    case Qt::Key_Home:
        return 0x24;
    case Qt::Key_Left:
        return 0x25;
    case Qt::Key_Up:
        return 0x26;
    case Qt::Key_Right:
        return 0x27;
    case Qt::Key_Down:
        return 0x28;
    case Qt::Key_Delete:
        return 0x2E;
    default:
        return 0;
    }
}

CefKeyEvent KeyEventFilter::Translate(const QKeyEvent& event, cef_key_event_type_t type)
{
    CefKeyEvent key;
    key.type = type;
    key.modifiers = EventFlags(event.modifiers());
    key.windows_key_code = WindowsKeyCode(event.key(), event.modifiers() & Qt::KeypadModifier);
    key.native_key_code = static_cast<int>(event.nativeScanCode());
    const QString text = event.text();
    if (!text.isEmpty()) {
        key.character = text.at(0).unicode();
        key.unmodified_character = key.character;
    }
    return key;
}

bool KeyEventFilter::Offer(QKeyEvent* event, QWidget* target)
{
    auto handler = browser->GetClient()->GetKeyboardHandler();
    if (!handler)
        return false;
    // The input-method state of the focus widget follows the focused element exactly,
    // frames included.
    const bool editable = target->testAttribute(Qt::WA_InputMethodEnabled);
    CefRefPtr<QtBrowser> keep(browser);
    bool shortcut = false;
    if (event->type() == QEvent::KeyRelease) {
        CefKeyEvent key = Translate(*event, KEYEVENT_KEYUP);
        key.focus_on_editable_field = editable;
        return handler->OnPreKeyEvent(browser, key, event, &shortcut);
    }
    // Every press, repeats included, is a raw key down, followed by its character.
    CefKeyEvent key = Translate(*event, KEYEVENT_RAWKEYDOWN);
    key.focus_on_editable_field = editable;
    bool consumed = handler->OnPreKeyEvent(browser, key, event, &shortcut);
    if (key.character != 0) {
        key.type = KEYEVENT_CHAR;
        consumed = handler->OnPreKeyEvent(browser, key, event, &shortcut) || consumed;
    }
    return consumed;
}

bool KeyEventFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view) {
        if (event->type() == QEvent::ChildAdded)
            Watch(static_cast<QChildEvent*>(event)->child());
        return false;
    }
    if (event->type() == QEvent::MouseButtonPress)
        clipboard->Grant();
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        // The client's handler may close the browser, and this filter with it.
        QPointer<ClipboardGesture> gesture(clipboard);
        const bool consumed = Offer(static_cast<QKeyEvent*>(event), static_cast<QWidget*>(watched));
        // A key the client took (a shortcut, the space-bar hook) never reached the page.
        if (!consumed && event->type() == QEvent::KeyPress && gesture)
            gesture->Grant();
        return consumed;
    }
    if (event->type() == QEvent::Wheel)
        return ZoomOnControlWheel(static_cast<QWheelEvent*>(event));
    return false;
}

bool KeyEventFilter::ZoomOnControlWheel(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        wheelTurn = 0;
        return false;
    }
    // A wheel's notch is 120; touchpads send many small turns, which add up to a step.
    constexpr int kNotch = 120;
    const int turn = event->angleDelta().y();
    if ((turn > 0) != (wheelTurn > 0))
        wheelTurn = 0;
    wheelTurn += turn;
    while (wheelTurn >= kNotch || wheelTurn <= -kNotch) {
        const int direction = wheelTurn > 0 ? 1 : -1;
        wheelTurn -= direction * kNotch;
        browser->SetZoomLevel(NextZoomLevel(browser->GetZoomLevel(), direction));
    }
    event->accept();
    return true;
}

} // namespace platform::engine::qt
