#pragma once

#include "platform/ui/WindowImplBase.h"
#include "ui/DownloadList.h"

#include <functional>

// The pop-up under the caption's downloads button: one row per download (name, progress,
// state, "打开文件夹" once done, "取消" while running). Closes like a menu when it loses the
// focus or on Escape, and frees itself once closed. GUI thread only.
class DownloadListWindow : public platform::ui::WindowImplBase {
public:
    // At most this many rows, newest first: the pop-up has no scrolling.
    static constexpr int kMaxRows = 8;

    DownloadListWindow(const DownloadList& list, std::function<void()> onClosed);

    // Opens the pop-up with its top-right corner at anchor (screen coordinates); nullptr
    // when the layout cannot be built.
    static DownloadListWindow* Open(platform::ui::HWND owner, const DownloadList& list,
        platform::ui::POINT anchor, std::function<void()> onClosed);
    // Brings the rows up to date with the list.
    void Refresh();
    // The row showing the download, or nullptr.
    platform::ui::CControlUI* RowOf(unsigned int id) const;

    platform::ui::CDuiString GetSkinFolder() override { return u"skin/Zandrel/"; }
    platform::ui::CDuiString GetSkinFile() override { return u"downloads/download_list.xml"; }
    platform::ui::CDuiString GetWindowClassName() const override { return u"DownloadListWindow"; }
    void InitWindow() override;
    void Notify(platform::ui::TNotifyUI& msg) override;
    platform::ui::LRESULT HandleCustomMessage(platform::ui::UINT msg, platform::ui::WPARAM wParam,
        platform::ui::LPARAM lParam, bool& bHandled) override;
    platform::ui::LRESULT ResponseDefaultKeyEvent(platform::ui::WPARAM key) override;
    void OnFinalMessage(platform::ui::HWND hwnd) override;

private:
    void ShowRow(platform::ui::CControlUI* row, const DownloadProgress& progress);
    void FitToRows();

    const DownloadList& list;
    std::function<void()> onClosed;
    platform::ui::POINT anchor {};
    platform::ui::CContainerUI* rows = nullptr;
};
