#pragma once

#include "platform/ui/WindowImplBase.h"

// What a tab shows while its page plays in the mini player: "正在小窗播放" and 返回, which asks
// the main window for the page back. GUI thread only; frees itself once its window is gone.
class MiniPlayerNotice : public platform::ui::WindowImplBase {
public:
    explicit MiniPlayerNotice(int tabId);

    platform::ui::CDuiString GetSkinFolder() override { return u"skin\\Zandrel\\"; }
    platform::ui::CDuiString GetSkinFile() override { return u"mini_player_tab.xml"; }
    platform::ui::CDuiString GetZIPFileName() const override { return u"Zandrel.zip"; }
    platform::ui::CDuiString GetWindowClassName() const override { return u"MiniPlayerNotice"; }

    void Notify(platform::ui::TNotifyUI& msg) override;
    void OnFinalMessage(platform::ui::HWND hwnd) override;

private:
    const int tabId;
};
