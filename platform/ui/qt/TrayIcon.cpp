#include "platform/ui/TrayIcon.h"

#include <map>
#include <memory>
#include <utility>

#include <QSystemTrayIcon>

#include "platform/ui/Application.h"
#include "platform/ui/WindowMessages.h"
#include "platform/ui/qt/Icons.h"

namespace platform::ui {

namespace {
    using IconKey = std::pair<HWND, UINT>;

    std::map<IconKey, std::unique_ptr<QSystemTrayIcon>>& TrayIcons()
    {
        static std::map<IconKey, std::unique_ptr<QSystemTrayIcon>> icons;
        return icons;
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
        auto icon = std::make_unique<QSystemTrayIcon>();
        Apply(*icon, *data);
        if (data->uFlags & NIF_MESSAGE) {
            HWND hwnd = data->hWnd;
            UINT id = data->uID;
            UINT callback = data->uCallbackMessage;
            QObject::connect(icon.get(), &QSystemTrayIcon::activated,
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
        icons.emplace(key, std::move(icon));
        return true;
    }
    case NIM_MODIFY:
        if (it == icons.end())
            return false;
        Apply(*it->second, *data);
        return true;
    case NIM_DELETE:
        if (it == icons.end())
            return false;
        it->second->hide();
        icons.erase(it);
        return true;
    default:
        return false;
    }
}

} // namespace platform::ui
