#include "ui/PageCommands.h"

#include "browser/SharedClientHandler.h"
#include "platform/engine/CefBrowser.h"
#include "platform/engine/ZoomSteps.h"
#include "ui/TabStrip.h"
#include "ui/TabWin.h"

using platform::engine::NextZoomLevel;

PageCommands::PageCommands(const TabStrip& tabs)
    : tabs(tabs)
{
}

void PageCommands::ShowFindResult(int tabId, int count, int activeMatch)
{
    for (int i = 0; i < tabs.Count(); ++i) {
        TabWin* tab = tabs.TabAt(i);
        if (tab && tab->GetTabId() == tabId)
            tab->ShowFindResult(count, activeMatch);
    }
}

void PageCommands::Run(PageCommand command)
{
    TabWin* tab = tabs.TabAt(tabs.CurrentIndex());
    if (tab && command == PageCommand::Find) {
        tab->OpenFindBar();
        return;
    }
    auto browser
        = tab && sharedClientHandler ? sharedClientHandler->FindBrowserByTabId(tab->GetTabId()) : nullptr;
    auto host = browser ? browser->GetHost() : nullptr;
    if (!host)
        return;
    switch (command) {
    case PageCommand::Reload:
        browser->Reload();
        break;
    case PageCommand::ReloadIgnoreCache:
        browser->ReloadIgnoreCache();
        break;
    case PageCommand::ZoomIn:
        sharedClientHandler->SetSiteZoomLevel(browser, NextZoomLevel(host->GetZoomLevel(), 1));
        break;
    case PageCommand::ZoomOut:
        sharedClientHandler->SetSiteZoomLevel(browser, NextZoomLevel(host->GetZoomLevel(), -1));
        break;
    case PageCommand::ZoomReset:
        sharedClientHandler->SetSiteZoomLevel(browser, 0);
        break;
    default:
        break;
    }
}
