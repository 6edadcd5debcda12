#pragma once

#include <QAccessibleWidget>

namespace platform::ui::qt {

class ControlWidget;

// What assistive technology sees of a drawn control: its words, its kind and, for buttons, a
// press that works as a click does. GUI thread only.
class ControlAccessible : public QAccessibleWidget {
public:
    explicit ControlAccessible(ControlWidget* widget);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    ControlWidget* Widget() const;
};

/// Makes every ControlWidget answer with a ControlAccessible; once per process.
void InstallControlAccessibility();

} // namespace platform::ui::qt
