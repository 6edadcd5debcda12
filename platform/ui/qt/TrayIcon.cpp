#include "platform/ui/TrayIcon.h"

#include <map>
#include <memory>
#include <utility>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QMenu>
#include <QSystemTrayIcon>

#include "platform/ui/Application.h"
#include "platform/ui/WindowMessages.h"
#include "platform/ui/qt/Icons.h"

namespace platform::ui {

namespace {
    using IconKey = std::pair<HWND, UINT>;

    // The icon goes before the menu it may point at.
    struct TrayEntry {
        std::unique_ptr<QMenu> menu;
        std::unique_ptr<QSystemTrayIcon> icon;
    };

    std::map<IconKey, TrayEntry>& TrayIcons()
    {
        static std::map<IconKey, TrayEntry> icons;
        return icons;
    }

    constexpr int kWatcherReplyMs = 2000;

    // Qt draws its icon as a StatusNotifierItem, exporting a set QMenu over DBusMenu, exactly
    // when the watcher reports a registered host. Elsewhere (an XEmbed tray) Qt would pop a set
    // QMenu up itself on the right click, beside the caller's own menu.
    bool StatusNotifierHostRegistered()
    {
        const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected() || !bus.interface()->isServiceRegistered(watcher))
            return false;
        QDBusMessage get = QDBusMessage::createMethodCall(watcher, QStringLiteral("/StatusNotifierWatcher"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get << watcher << QStringLiteral("IsStatusNotifierHostRegistered");
        QDBusMessage reply = bus.call(get, QDBus::Block, kWatcherReplyMs);
        return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
            && reply.arguments().front().value<QDBusVariant>().variant().toBool();
    }

    std::unique_ptr<QMenu> ExportedMenu(const NOTIFYICONDATAW& data)
    {
        auto menu = std::make_unique<QMenu>();
        for (const NOTIFYMENUENTRY& entry : data.menu) {
            QAction* action = menu->addAction(QString::fromStdU16String(entry.text));
            QObject::connect(action, &QAction::triggered,
                [hwnd = data.hWnd, entry] { PostMessage(hwnd, entry.message, entry.wParam, entry.lParam); });
        }
        return menu;
    }

    void Apply(QSystemTrayIcon& icon, const NOTIFYICONDATAW& data)
    {
        if (data.uFlags & NIF_ICON)
            icon.setIcon(qt::IconFromHandle(data.hIcon));
        if (data.uFlags & NIF_TIP)
            icon.setToolTip(QString::fromStdU16String(data.szTip));
    }
}

UINT RegisterWindowMessageW(const std::u16string& name)
{
    static std::map<std::u16string, UINT> registered;
    auto it = registered.find(name);
    if (it != registered.end())
        return it->second;
    UINT number = 0xC000 + static_cast<UINT>(registered.size());
    registered.emplace(name, number);
    return number;
}

bool Shell_NotifyIconW(DWORD message, NOTIFYICONDATAW* data)
{
    if (!data)
        return false;
    EnsureApplication();
    IconKey key { data->hWnd, data->uID };
    auto& icons = TrayIcons();
    auto it = icons.find(key);
    switch (message) {
    case NIM_ADD: {
        if (it != icons.end() || !QSystemTrayIcon::isSystemTrayAvailable())
            return false;
        TrayEntry entry;
        entry.icon = std::make_unique<QSystemTrayIcon>();
        QSystemTrayIcon* icon = entry.icon.get();
        Apply(*icon, *data);
        if ((data->uFlags & NIF_MENU) && StatusNotifierHostRegistered()) {
            entry.menu = ExportedMenu(*data);
            icon->setContextMenu(entry.menu.get());
        }
        if (data->uFlags & NIF_MESSAGE) {
            HWND hwnd = data->hWnd;
            UINT id = data->uID;
            UINT callback = data->uCallbackMessage;
            QObject::connect(icon, &QSystemTrayIcon::activated,
                [hwnd, id, callback](QSystemTrayIcon::ActivationReason reason) {
                    UINT mouse = reason == QSystemTrayIcon::Trigger ? WM_LBUTTONUP
                        : reason == QSystemTrayIcon::DoubleClick    ? WM_LBUTTONDBLCLK
                        : reason == QSystemTrayIcon::Context        ? WM_RBUTTONUP
                                                                    : 0;
                    if (mouse)
                        PostMessage(hwnd, callback, id, static_cast<LPARAM>(mouse));
                });
        }
        icon->show();
        icons.emplace(key, std::move(entry));
        return true;
    }
    case NIM_MODIFY:
        if (it == icons.end())
            return false;
        Apply(*it->second.icon, *data);
        return true;
    case NIM_DELETE:
        if (it == icons.end())
            return false;
        it->second.icon->hide();
        icons.erase(it);
        return true;
    default:
        return false;
    }
}

} // namespace platform::ui
