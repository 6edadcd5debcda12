#pragma once

#include "platform/ui/ButtonUI.h"
#include "platform/ui/OptionUI.h"
#include "platform/ui/ScrollStripUI.h"
#include "platform/ui/TabLayoutUI.h"
#include "platform/ui/WindowImplBase.h"

#include <string>
#include <vector>

class TabWin;

// The main frame's tabs: each is a row (tab button, close button) in the tab bar
// plus a page in "tab_main" hosting one TabWin. Tabs are found by id through their
// records, which keep the strip's order; pages and rows are added and removed with their
// record, so a tab's index is the same in all three. The bar scrolls when the rows do not
// fit, keeping the selected one in view. GUI thread only.
class TabStrip {
public:
    explicit TabStrip(platform::ui::WindowImplBase& frame);

    // Binds the strip to "tab_main" and "tab_button_container"; without them no tab opens.
    void Attach(platform::ui::CTabLayoutUI* pages, platform::ui::CContainerUI* buttonRows);

    void OpenTab(const std::string& url, const std::u16string& title, bool closable);
    void SelectTab(int index);
    // Closes the tab whose TabWin has tabId and selects its neighbour; unknown ids close nothing.
    void CloseTab(int tabId);
    // Shows title on the tab whose TabWin has tabId; unknown ids change nothing.
    void SetTitle(int tabId, const std::u16string& title);

    int Count() const { return static_cast<int>(tabs.size()); }
    int CurrentIndex() const;
    TabWin* TabAt(int index) const;
    // Index of the tab whose TabWin has tabId, -1 when there is none.
    int IndexOfTabId(int tabId) const;

    // The text a tab button shows: the first 8 characters and "..." when the title
    // is longer than the button holds characters of charWidth; otherwise the title.
    static std::u16string FittedTitle(const std::u16string& title, int buttonWidth, int charWidth);

private:
    // One tab's parts. The controls belong to the bar and "tab_main", the TabWin to its
    // page's container: all of them go when the tab closes, and the record with them.
    struct Tab {
        int id = 0;
        platform::ui::CContainerUI* row = nullptr;
        platform::ui::COptionUI* button = nullptr;
        platform::ui::CContainerUI* page = nullptr;
        platform::ui::CControlUI* container = nullptr;
        TabWin* window = nullptr;
    };

    void AddButtonRow(Tab& tab, const std::u16string& title, bool closable);
    platform::ui::COptionUI* MakeTabButton(const std::u16string& title);
    platform::ui::CButtonUI* MakeCloseButton(int tabId);
    void AddPage(Tab& tab, const std::string& url);
    void OnTabButtonClicked(int tabId);
    // Hides the containers of every tab but the one at index (-1: of every tab).
    void HideWindowsExcept(int index);
    void RevealTab(int index);
    void ShowRowSelected(platform::ui::CControlUI* row, bool selected);

    platform::ui::WindowImplBase& frame;
    platform::ui::CTabLayoutUI* pages = nullptr;
    platform::ui::CContainerUI* buttonRows = nullptr;
    // buttonRows when the layout makes the bar a scrolling strip.
    platform::ui::CScrollStripUI* scrollingRows = nullptr;
    std::vector<Tab> tabs;
};
