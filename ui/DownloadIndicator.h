#pragma once

#include "browser/DownloadProgress.h"
#include "platform/ui/WindowTypes.h"
#include "ui/DownloadList.h"

namespace platform::ui {
class CControlUI;
}
class DownloadListWindow;

// The caption's downloads button "btn_downloads": hidden until the first download, then
// showing whether any runs and how far, and opening the list of this run's downloads.
// GUI thread only.
class DownloadIndicator {
public:
    DownloadIndicator() = default;
    ~DownloadIndicator();
    DownloadIndicator(const DownloadIndicator&) = delete;
    DownloadIndicator& operator=(const DownloadIndicator&) = delete;

    void Attach(platform::ui::HWND owner, platform::ui::CControlUI* button);
    void OnProgress(const DownloadProgress& progress);
    // Opens the list under the button (a click outside it closes it again).
    void ShowList();

    const DownloadList& List() const { return list; }
    DownloadListWindow* OpenList() const { return listWindow; }

private:
    void ShowState();

    DownloadList list;
    platform::ui::HWND owner = nullptr;
    platform::ui::CControlUI* button = nullptr;
    DownloadListWindow* listWindow = nullptr;
};
