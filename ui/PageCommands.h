#pragma once

#include "browser/PageCommand.h"

class TabStrip;

// Carries out what the browser's keys ask of the selected tab's page: reloading it, with or
// without the cache, zooming it in the engine's steps (for every tab of its site), and its find bar.
// GUI thread only.
class PageCommands {
public:
    explicit PageCommands(const TabStrip& tabs);

    // Back, forward and the find bar belong to the frame; other commands to this.
    void Run(PageCommand command);
    // The page of tabId answered its find bar's search.
    void ShowFindResult(int tabId, int count, int activeMatch);

private:
    const TabStrip& tabs;
};
