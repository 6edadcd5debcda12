#include "ui/PageFullScreen.h"

#include "browser/SharedClientHandler.h"
#include "platform/engine/CefBrowser.h"
#include "platform/ui/WindowOps.h"
#include "ui/TabStrip.h"
#include "ui/TabWin.h"

using namespace platform::ui;

PageFullScreen::PageFullScreen(WindowImplBase& frame, const TabStrip& tabs)
    : frame(frame)
    , tabs(tabs)
{
}

void PageFullScreen::OnPageReport(int pageTabId, bool fullscreen)
{
    if (!fullscreen) {
        if (pageTabId == tabId)
            Leave();
        return;
    }
    if (pageTabId == tabId)
        return;
    const int index = tabs.IndexOfTabId(pageTabId);
    // A page the user cannot see does not get the screen.
    if (index < 0 || index != tabs.CurrentIndex() || !IsWindowVisible(frame.GetHWND())) {
        AskPageToLeave(pageTabId);
        return;
    }
    if (Active()) {
        AskPageToLeave(tabId);
        Leave();
    }
    Enter(pageTabId, tabs.TabAt(index));
}

void PageFullScreen::Enter(int tabIdToShow, TabWin* tab)
{
    tabId = tabIdToShow;
    if (CControlUI* caption = frame.FindControl(u"caption_bar"))
        caption->SetVisible(false);
    tab->SetFillsWindow(true);
    SetWindowFullScreen(frame.GetHWND(), true);
    SetForegroundWindow(frame.GetHWND());
    FocusPage(tabId);
}

void PageFullScreen::Leave()
{
    const int leaving = tabId;
    tabId = -1;
    if (CControlUI* caption = frame.FindControl(u"caption_bar"))
        caption->SetVisible(true);
    const int index = tabs.IndexOfTabId(leaving);
    if (index >= 0)
        tabs.TabAt(index)->SetFillsWindow(false);
    SetWindowFullScreen(frame.GetHWND(), false);
    FocusPage(leaving);
}

void PageFullScreen::OnTabsChanged()
{
    if (!Active())
        return;
    const int index = tabs.IndexOfTabId(tabId);
    if (index == tabs.CurrentIndex())
        return;
    // A closed tab's page is gone with its fullscreen element; a page left behind is told.
    if (index >= 0)
        AskPageToLeave(tabId);
    Leave();
}

bool PageFullScreen::LeaveOnEscape()
{
    if (!Active())
        return false;
    AskPageToLeave(tabId);
    Leave();
    return true;
}

void PageFullScreen::AskPageToLeave(int pageTabId)
{
    if (!sharedClientHandler)
        return;
    if (auto browser = sharedClientHandler->FindBrowserByTabId(pageTabId))
        browser->GetHost()->ExitFullscreen();
}

void PageFullScreen::FocusPage(int pageTabId)
{
    if (!sharedClientHandler)
        return;
    if (auto browser = sharedClientHandler->FindBrowserByTabId(pageTabId))
        browser->GetHost()->SetFocus(true);
}
