#pragma once

#include "platform/ui/TrayIcon.h"

#include <string>
#include <vector>

// The main window's notification-area icon: its callback message number and the
// icon block, filled when the icon is added. GUI thread only.
class TrayIcon {
public:
    static constexpr platform::ui::UINT kDataSize = 956;

    TrayIcon();
    // False when the desktop has no notification area; the icon then does not exist. menu is
    // exported where the desktop draws the icon's menu itself.
    bool Add(platform::ui::HWND window, platform::ui::UINT id, const std::u16string& tip, int iconResource,
        std::vector<platform::ui::NOTIFYMENUENTRY> menu);
    bool Remove();
    platform::ui::UINT CallbackMessage() const { return callbackMessage; }

private:
    platform::ui::UINT callbackMessage;
    platform::ui::NOTIFYICONDATAW data;
};
