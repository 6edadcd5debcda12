#pragma once

#include "browser/PageCommand.h"

class TabStrip;

// Carries out what the browser's keys ask of the selected tab's page: reloading it, with or
// without the cache, and zooming it in the engine's steps. Zoom belongs to each tab.
// GUI thread only.
class PageCommands {
public:
    explicit PageCommands(const TabStrip& tabs);

    // Back, forward and the find bar belong to the frame; other commands to this.
    void Run(PageCommand command);

private:
    const TabStrip& tabs;
};
