#pragma once

#include "platform/ui/WindowTypes.h"

class MiniPlayer;
class TabStrip;
class TabWin;

// A tab's page playing its video in the mini player: the page's window moves there and back,
// the tab says where it is. One page at a time; a new request takes the player over. The
// player keeps its last size and place for the run. GUI thread only.
class PagePictureInPicture {
public:
    explicit PagePictureInPicture(const TabStrip& tabs);
    ~PagePictureInPicture();

    // The page of tabId put a video into picture-in-picture, or took it out.
    void OnPageReport(int tabId, bool active);
    // After tabs were closed: a page whose tab is gone closes with it.
    void OnTabsChanged();
    // 返回 or ✕: the page goes back to its tab, its video leaves picture-in-picture and goes on
    // playing there. True when it was tabId's page (the frame then brings its tab into view).
    bool Return(int tabId);
    void Close() { Return(tabId); }

    bool Active() const { return tabId >= 0; }
    int TabId() const { return tabId; }
    platform::ui::HWND PlayerWindow() const;

private:
    void Enter(int tabIdToPlay, TabWin* tab);
    void Leave();
    bool EnsurePlayer();
    void AskPageToLeave(int pageTabId);

    const TabStrip& tabs;
    MiniPlayer* player = nullptr;
    int tabId = -1;
    platform::ui::HWND page = nullptr;
    bool placed = false;
    platform::ui::RECT place {};
};
