#include "platform/engine/qt/KeyEventFilter.h"

#include "platform/engine/qt/QtBrowser.h"

#include <QChildEvent>
#include <QKeyEvent>
#include <QWebEngineView>

namespace platform::engine::qt {

KeyEventFilter::KeyEventFilter(QtBrowser* browser, QWebEngineView* view)
    : QObject(view)
    , browser(browser)
    , view(view)
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

int KeyEventFilter::WindowsKeyCode(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;
    switch (qtKey) {
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
    key.modifiers = static_cast<unsigned int>(event.modifiers().toInt());
    key.windows_key_code = WindowsKeyCode(event.key());
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
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
        return Offer(static_cast<QKeyEvent*>(event), static_cast<QWidget*>(watched));
    return false;
}

} // namespace platform::engine::qt
