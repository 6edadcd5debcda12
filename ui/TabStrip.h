#pragma once

#include "platform/ui/ButtonUI.h"
#include "platform/ui/OptionUI.h"
#include "platform/ui/ScrollStripUI.h"
#include "platform/ui/TabLayoutUI.h"
#include "platform/ui/WindowImplBase.h"

#include <string>

class TabWin;

// The main frame's tabs: each is a row (tab button, close button) in the tab bar
// plus a page in "tab_main" hosting one TabWin. Pages and rows are only appended and
// removed in pairs, so a tab's index is the same in both. The bar scrolls when the
// rows do not fit, keeping the selected one in view. GUI thread only.
class TabStrip {
public:
    explicit TabStrip(platform::ui::WindowImplBase& frame);

    // Binds the strip to "tab_main" and "tab_button_container"; without them no tab opens.
    void Attach(platform::ui::CTabLayoutUI* pages, platform::ui::CContainerUI* buttonRows);

    void OpenTab(const std::string& url, const std::u16string& title, bool closable);
    void SelectTab(int index);
    // Closes the tab whose TabWin has tabId and selects its neighbour; unknown ids close nothing.
    void CloseTab(int tabId);
    // Shows title on the first tab whose TabWin has tabId; unknown ids change nothing.
    void SetTitle(int tabId, const std::u16string& title);

    int Count() const;
    int CurrentIndex() const;
    TabWin* TabAt(int index) const;
    // Index of the tab whose TabWin has tabId, -1 when there is none.
    int IndexOfTabId(int tabId) const;

    // The text a tab button shows: the first 8 characters and "..." when the title
    // is longer than the button holds characters of charWidth; otherwise the title.
    static std::u16string FittedTitle(const std::u16string& title, int buttonWidth, int charWidth);

private:
    void OnTabButtonClicked(platform::ui::COptionUI* button);
    void RevealTab(int index);
    void ShowRowSelected(platform::ui::CControlUI* row, bool selected);
    static platform::ui::CControlUI* WindowContainerOf(platform::ui::CControlUI* page);

    platform::ui::WindowImplBase& frame;
    platform::ui::CTabLayoutUI* pages = nullptr;
    platform::ui::CContainerUI* buttonRows = nullptr;
    // buttonRows when the layout makes the bar a scrolling strip.
    platform::ui::CScrollStripUI* scrollingRows = nullptr;
};
