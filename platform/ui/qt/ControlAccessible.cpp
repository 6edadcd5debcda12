#include "platform/ui/qt/ControlAccessible.h"

#include <QMetaObject>
#include <QPointer>

#include "platform/ui/ModalAnswerer.h"
#include "platform/ui/OptionUI.h"
#include "platform/ui/qt/ControlWidget.h"

namespace platform::ui::qt {

namespace {
    QAccessible::Role RoleOf(const CControlUI* control)
    {
        auto* probe = const_cast<CControlUI*>(control);
        if (!probe)
            return QAccessible::Client;
        // One of a group is chosen as a radio button is (the tab strip's tabs); alone it toggles.
        if (auto* option = static_cast<COptionUI*>(probe->GetInterface(u"Option")))
            return option->GetGroup().empty() ? QAccessible::CheckBox : QAccessible::RadioButton;
        if (probe->GetInterface(u"Button"))
            return QAccessible::Button;
        if (probe->GetInterface(u"Label"))
            return QAccessible::StaticText;
        return QAccessible::Client;
    }

    QAccessibleInterface* ControlAccessibleFactory(const QString&, QObject* object)
    {
        if (auto* widget = qobject_cast<ControlWidget*>(object))
            return new ControlAccessible(widget);
        return nullptr;
    }
}

ControlAccessible::ControlAccessible(ControlWidget* widget)
    : QAccessibleWidget(widget, RoleOf(widget->Control()))
{
}

ControlWidget* ControlAccessible::Widget() const { return static_cast<ControlWidget*>(widget()); }

QString ControlAccessible::text(QAccessible::Text t) const
{
    const CControlUI* control = Widget()->Control();
    if (!control)
        return {};
    QString words = QString::fromStdU16String(control->GetText());
    QString tip = QString::fromStdU16String(control->GetToolTip());
    // A caption button's text is often a glyph ("✕"); its tooltip says what it does.
    if (t == QAccessible::Name)
        return tip.isEmpty() ? words : tip;
    if (t == QAccessible::Description)
        return tip.isEmpty() ? QString() : words;
    return QAccessibleWidget::text(t);
}

QAccessible::State ControlAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    CControlUI* control = Widget()->Control();
    if (!control)
        return state;
    state.disabled = !control->IsEnabled();
    if (auto* option = static_cast<COptionUI*>(control->GetInterface(u"Option"))) {
        state.checkable = true;
        state.checked = option->IsSelected();
    }
    return state;
}

QStringList ControlAccessible::actionNames() const
{
    CControlUI* control = Widget()->Control();
    if (control && control->GetInterface(u"Button") && control->IsEnabled())
        return { pressAction() };
    return {};
}

void ControlAccessible::doAction(const QString& actionName)
{
    if (actionName != pressAction())
        return;
    // Later, from the event loop: the press may open a modal window, whose loop must not hold up
    // the answer to whoever asked for the press.
    QPointer<ControlWidget> widget = Widget();
    QMetaObject::invokeMethod(
        widget,
        [widget] {
            if (widget && widget->Control())
                SimulateClick(widget->Control());
        },
        Qt::QueuedConnection);
}

void InstallControlAccessibility() { QAccessible::installFactory(ControlAccessibleFactory); }

} // namespace platform::ui::qt
