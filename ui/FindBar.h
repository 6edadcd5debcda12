#pragma once

#include "platform/ui/WindowImplBase.h"

#include <functional>
#include <string>

namespace platform::ui {
class CEditUI;
}

// The search in one tab's page: a strip above the page with the text to find, the match
// count, previous, next and close. Enter goes to the next match, Shift+Enter to the previous,
// Escape closes it and takes the highlight away. Each tab keeps its own bar and text.
// GUI thread only; frees itself once its window is gone.
class FindBar : public platform::ui::WindowImplBase {
public:
    // changed: the bar opened or closed (the tab then makes room for it or takes it back);
    // gone: its window is gone and the object with it.
    FindBar(int tabId, std::function<void()> changed, std::function<void()> gone);

    platform::ui::CDuiString GetSkinFolder() override { return u"skin\\Zandrel\\"; }
    platform::ui::CDuiString GetSkinFile() override { return u"findbar.xml"; }
    platform::ui::CDuiString GetZIPFileName() const override { return u"Zandrel.zip"; }
    platform::ui::CDuiString GetWindowClassName() const override { return u"FindBar"; }

    void InitWindow() override;
    void Notify(platform::ui::TNotifyUI& msg) override;
    platform::ui::LRESULT ResponseDefaultKeyEvent(platform::ui::WPARAM key) override;
    void OnFinalMessage(platform::ui::HWND hwnd) override;

    // Shows the bar with its text selected for typing over; a kept text is searched again.
    void Open();
    // Hides the bar and ends the search; the page has the keyboard again.
    void Close();
    bool IsOpen() const { return open; }
    // The height the bar takes above the page while open.
    int Height() const;
    // The page's answer to the latest search.
    void ShowResult(int count, int activeMatch);

    // What the bar says of a search: "第 n 个，共 m 个", "无结果", or nothing without text.
    static std::u16string CountText(const std::u16string& searched, int count, int activeMatch);

private:
    void Search(bool forward, bool next);

    const int tabId;
    std::function<void()> changed;
    std::function<void()> gone;
    platform::ui::CEditUI* field = nullptr;
    platform::ui::CControlUI* count = nullptr;
    bool open = false;
};
