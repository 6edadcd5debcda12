#pragma once

#include "platform/ui/WindowImplBase.h"

class TabStrip;
class TabWin;

// The main window given over to one tab's fullscreen page: caption and tab strip hidden,
// the page covering the screen; on leaving, the window returns to its earlier state
// (normal or maximised, same geometry). Only the selected tab's page may have it.
// GUI thread only.
class PageFullScreen {
public:
    PageFullScreen(platform::ui::WindowImplBase& frame, const TabStrip& tabs);

    // The page of tabId entered or left fullscreen.
    void OnPageReport(int tabId, bool fullscreen);
    // After tabs were opened, closed or selected: the fullscreen tab, when it is no longer
    // the selected one, leaves.
    void OnTabsChanged();
    // True when Escape took the page out of fullscreen.
    bool LeaveOnEscape();
    bool Active() const { return tabId >= 0; }

private:
    void Enter(int tabIdToShow, TabWin* tab);
    void Leave();
    void AskPageToLeave(int pageTabId);
    void FocusPage(int pageTabId);

    platform::ui::WindowImplBase& frame;
    const TabStrip& tabs;
    int tabId = -1;
};
