#include "ui/PagePictureInPicture.h"

#include "app/GlobalState.h"
#include "browser/SharedClientHandler.h"
#include "ids/WindowMessageIds.h"
#include "platform/engine/CefBrowser.h"
#include "platform/ui/WindowMessages.h"
#include "platform/ui/WindowOps.h"
#include "ui/MiniPlayer.h"
#include "ui/TabStrip.h"
#include "ui/TabWin.h"

using namespace platform::ui;

namespace {
constexpr int kWidth = 480;
constexpr int kHeight = 270;
// Away from the screen's corner, where panels and notifications sit.
constexpr int kMargin = 24;

platform::engine::CefRefPtr<platform::engine::CefBrowser> BrowserOf(int tabId)
{
    return sharedClientHandler ? sharedClientHandler->FindBrowserByTabId(tabId) : nullptr;
}
}

PagePictureInPicture::PagePictureInPicture(const TabStrip& tabs)
    : tabs(tabs)
{
}

PagePictureInPicture::~PagePictureInPicture()
{
    if (player)
        DestroyWindow(player->GetHWND());
}

HWND PagePictureInPicture::PlayerWindow() const { return player ? player->GetHWND() : nullptr; }

void PagePictureInPicture::OnPageReport(int pageTabId, bool active)
{
    if (!active) {
        if (pageTabId == tabId)
            Leave();
        return;
    }
    // The same page moving the player to another of its videos keeps it as it is.
    if (pageTabId == tabId)
        return;
    TabWin* tab = tabs.TabAt(tabs.IndexOfTabId(pageTabId));
    if (!tab) {
        AskPageToLeave(pageTabId);
        return;
    }
    if (Active()) {
        AskPageToLeave(tabId);
        Leave();
    }
    Enter(pageTabId, tab);
}

void PagePictureInPicture::Enter(int tabIdToPlay, TabWin* tab)
{
    auto browser = BrowserOf(tabIdToPlay);
    HWND browserWindow = browser ? browser->GetHost()->GetWindowHandle() : nullptr;
    if (!browserWindow || !EnsurePlayer() || !SetParent(browserWindow, player->GetHWND())) {
        AskPageToLeave(tabIdToPlay);
        return;
    }
    tabId = tabIdToPlay;
    page = browserWindow;
    tab->SetPlayingElsewhere(true);
    if (!placed) {
        const RECT area = GetWorkArea(GetAncestorRoot(tab->GetHWND()));
        place = RECT { area.right - kMargin - kWidth, area.bottom - kMargin - kHeight, area.right - kMargin,
            area.bottom - kMargin };
        placed = true;
    }
    SetWindowPos(player->GetHWND(), place.left, place.top, place.right - place.left, place.bottom - place.top,
        SWP_SHOWWINDOW);
    player->Host(page);
}

void PagePictureInPicture::Leave()
{
    const int leaving = tabId;
    tabId = -1;
    if (player && IsWindowVisible(player->GetHWND())) {
        place = GetWindowRect(player->GetHWND());
        platform::ui::ShowWindow(player->GetHWND(), SW_HIDE);
    }
    if (player)
        player->Host(nullptr);
    HWND leavingPage = page;
    page = nullptr;
    TabWin* tab = tabs.TabAt(tabs.IndexOfTabId(leaving));
    if (tab && SetParent(leavingPage, tab->GetHWND())) {
        tab->SetPlayingElsewhere(false);
        return;
    }
    // Its tab is gone: the page goes as it would have with it.
    if (auto browser = BrowserOf(leaving))
        browser->GetHost()->CloseBrowser(true);
}

void PagePictureInPicture::OnTabsChanged()
{
    if (Active() && tabs.IndexOfTabId(tabId) < 0)
        Leave();
}

bool PagePictureInPicture::Return(int pageTabId)
{
    if (!Active() || pageTabId != tabId)
        return false;
    AskPageToLeave(tabId);
    Leave();
    return true;
}

bool PagePictureInPicture::EnsurePlayer()
{
    if (player)
        return true;
    auto* window = new MiniPlayer([this] { PostMessage(mainWindowHandle, WM_MINI_PLAYER_RETURN, tabId, 1); },
        [this] { Close(); }, [this] { player = nullptr; });
    if (!window->CreateHidden()) {
        delete window;
        return false;
    }
    player = window;
    return true;
}

void PagePictureInPicture::AskPageToLeave(int pageTabId)
{
    if (auto browser = BrowserOf(pageTabId))
        browser->GetHost()->ExitPictureInPicture();
}
