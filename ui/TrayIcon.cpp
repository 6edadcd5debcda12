#include "ui/TrayIcon.h"

using namespace platform::ui;

TrayIcon::TrayIcon()
    : callbackMessage(RegisterWindowMessageW(u"WM_TRAYICON"))
{
    data.cbSize = kDataSize;
}

bool TrayIcon::Add(
    HWND window, UINT id, const std::u16string& tip, int iconResource, std::vector<NOTIFYMENUENTRY> menu)
{
    data.hWnd = window;
    data.uID = id;
    data.hIcon = LoadProgramIcon(iconResource);
    data.uCallbackMessage = callbackMessage;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_MENU;
    data.szTip = tip;
    data.menu = std::move(menu);
    return Shell_NotifyIconW(NIM_ADD, &data);
}

bool TrayIcon::Remove()
{
    data.uFlags = 0;
    return Shell_NotifyIconW(NIM_DELETE, &data);
}
