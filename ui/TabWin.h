#pragma once

#include "platform/ui/WindowImplBase.h"

#include <cstdint>
#include <string>
#include <vector>

class FindBar;

/// The window behind one tab: an optional header strip and, below it, the tab's
/// browser, created when the window is initialised and kept fitted to the window.
/// GUI thread only; frees itself once its native window is gone.
class TabWin : public platform::ui::WindowImplBase {
public:
    explicit TabWin(const std::string& url);

    platform::ui::CDuiString GetSkinFolder() override { return u"skin\\Zandrel\\"; }
    platform::ui::CDuiString GetSkinFile() override { return u"tabwin.xml"; }
    platform::ui::CDuiString GetZIPFileName() const override { return u"Zandrel.zip"; }
    platform::ui::CDuiString GetWindowClassName() const override { return u"TabWin"; }
    platform::ui::UINT GetClassStyle() const override;

    void Notify(platform::ui::TNotifyUI& msg) override;
    platform::ui::LRESULT OnSize(platform::ui::UINT msg, platform::ui::WPARAM wParam,
        platform::ui::LPARAM lParam, bool& bHandled) override;
    void OnFinalMessage(platform::ui::HWND hwnd) override;

    int GetTabId() const { return tabId; }
    std::string GetUrl() const { return url; }

    /// Height kept free above (and below) the browser.
    int HeaderHeight() const;
    /// While true the browser covers the whole window (a fullscreen page), without the
    /// header and side margins.
    void SetFillsWindow(bool fills);
    /// Asks the user about promptId over the page; 0 hides the question. When it is no question,
    /// the prompt only tells the user why a request was refused, to be acknowledged ("知道了").
    void ShowPermissionPrompt(uint64_t promptId, const std::u16string& text, bool question = true,
        const std::vector<std::u16string>& choices = {}, const std::u16string& allowText = {},
        const std::u16string& denyText = {});
    platform::ui::HWND PermissionPromptWindow() const { return permissionPrompt; }
    /// Opens the tab's find bar above the browser (or gives it the keyboard again).
    void OpenFindBar();
    /// The browser's answer to the find bar's latest search.
    void ShowFindResult(int count, int activeMatch);
    /// The find bar once opened; nullptr before.
    FindBar* GetFindBar() const { return findBar; }
    /// While true the browser's window plays in the mini player and the tab says so, with 返回;
    /// the window is moved back before this turns false.
    void SetPlayingElsewhere(bool elsewhere);
    bool PlayingElsewhere() const { return playingElsewhere; }

private:
    void CreateBrowser();
    void FitBrowser();
    int PageTop() const;

    platform::ui::CControlUI* header = nullptr;
    const int tabId;
    std::string url;
    bool fillsWindow = false;
    platform::ui::HWND permissionPrompt = nullptr;
    FindBar* findBar = nullptr;
    bool playingElsewhere = false;
    platform::ui::HWND miniPlayerNotice = nullptr;
};
