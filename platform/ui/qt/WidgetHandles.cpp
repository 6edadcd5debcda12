#include "platform/ui/qt/WidgetHandles.h"

#include <cstdint>
#include <unordered_map>

#include <QPointer>
#include <QVariant>
#include <QWidget>

namespace platform::ui::qt {

namespace {
    const char* const kHandleProperty = "zandrelWindowHandle";

    std::unordered_map<std::uintptr_t, QPointer<QWidget>>& Registry()
    {
        static std::unordered_map<std::uintptr_t, QPointer<QWidget>> registry;
        return registry;
    }
}

HWND HandleFromWidget(QWidget* widget)
{
    if (!widget)
        return nullptr;
    QVariant known = widget->property(kHandleProperty);
    if (known.isValid())
        return reinterpret_cast<HWND>(known.value<quintptr>());

    // Handles count up and are never reused, so a stale handle can only miss.
    static std::uintptr_t lastHandle = 0;
    std::uintptr_t handle = ++lastHandle;
    Registry()[handle] = widget;
    widget->setProperty(kHandleProperty, QVariant::fromValue<quintptr>(handle));
    QObject::connect(widget, &QObject::destroyed, [handle] { Registry().erase(handle); });
    return reinterpret_cast<HWND>(handle);
}

QWidget* WidgetFromHandle(HWND handle)
{
    auto it = Registry().find(reinterpret_cast<std::uintptr_t>(handle));
    return it == Registry().end() ? nullptr : it->second.data();
}

} // namespace platform::ui::qt
