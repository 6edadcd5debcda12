#pragma once

#include "platform/ui/WindowImplBase.h"

#include <functional>

// The small window a tab's page plays its video in while the viewer works elsewhere: above
// other windows, moved by dragging it anywhere, resized at its edges keeping 16:9, with 返回
// and a close button. It hosts the page's own window (nothing is copied). Not owned by the main
// window, so it stays when that is minimised or hidden. GUI thread only; frees itself once its
// window is gone.
class MiniPlayer : public platform::ui::WindowImplBase {
public:
    // returnAsked: 返回 (back to the tab and the main window); closeAsked: ✕ or the desktop's own
    // close; gone: the window is gone and the object with it.
    MiniPlayer(
        std::function<void()> returnAsked, std::function<void()> closeAsked, std::function<void()> gone);

    platform::ui::CDuiString GetSkinFolder() override { return u"skin\\Zandrel\\"; }
    platform::ui::CDuiString GetSkinFile() override { return u"mini_player.xml"; }
    platform::ui::CDuiString GetZIPFileName() const override { return u"Zandrel.zip"; }
    platform::ui::CDuiString GetWindowClassName() const override { return u"MiniPlayer"; }

    void Notify(platform::ui::TNotifyUI& msg) override;
    platform::ui::LRESULT OnClose(platform::ui::UINT msg, platform::ui::WPARAM wParam,
        platform::ui::LPARAM lParam, bool& bHandled) override;
    platform::ui::LRESULT OnSize(platform::ui::UINT msg, platform::ui::WPARAM wParam,
        platform::ui::LPARAM lParam, bool& bHandled) override;
    platform::ui::LRESULT ResponseDefaultKeyEvent(platform::ui::WPARAM key) override;
    void OnFinalMessage(platform::ui::HWND hwnd) override;

    // Creates the window (hidden) with its size and move rules.
    bool CreateHidden();
    // Shows page (a child window moved in beforehand) filling the area below the bar.
    void Host(platform::ui::HWND page);
    platform::ui::HWND HostedPage() const { return page; }

private:
    void FitPage();

    std::function<void()> returnAsked;
    std::function<void()> closeAsked;
    std::function<void()> gone;
    platform::ui::HWND page = nullptr;
};
