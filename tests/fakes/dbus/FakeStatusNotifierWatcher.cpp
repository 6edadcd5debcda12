#include "fakes/dbus/FakeStatusNotifierWatcher.h"

FakeStatusNotifierWatcher::FakeStatusNotifierWatcher()
{
    available = bus.Offer({ "org.kde.StatusNotifierWatcher", "org.kde.StatusNotifierHost-fake" },
        "/StatusNotifierWatcher", this,
        QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties);
}

void FakeStatusNotifierWatcher::RegisterStatusNotifierItem(const QString& service) { items << service; }
