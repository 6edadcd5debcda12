#pragma once

#include "platform/ui/WindowMessages.h"
#include "platform/ui/WindowTypes.h"

#include <cstdint>
#include <string>
#include <vector>

// The system's own window message numbers, all of them. The main window receives the
// first group; the rest stay within one window.

// A menu item was chosen: wParam its MenuItemInfo (the main frame's, not freed), lParam its id.
constexpr platform::ui::UINT WM_MENU_CLICK = platform::ui::WM_USER + 6;
// A page asked for a new window: wParam an OwnedPayload<std::string> holding the address.
constexpr platform::ui::UINT WM_OPEN_TAB = 11026;
// A page's title changed: wParam the tab's tabId, lParam an OwnedPayload<std::u16string> with the title.
constexpr platform::ui::UINT WM_TAB_TITLE = 11027;
// A tab's page entered (lParam 1) or left (lParam 0) fullscreen: wParam the tab's tabId.
constexpr platform::ui::UINT WM_TAB_FULLSCREEN = 11028;
// Another start of the program asked for the running window to come back.
constexpr platform::ui::UINT WM_SHOW_RUNNING_INSTANCE = 11029;
// A download progressed or ended: wParam an OwnedPayload<DownloadProgress>.
constexpr platform::ui::UINT WM_DOWNLOAD_UPDATED = 11030;
// A key asked something of the selected tab: wParam its PageCommand.
constexpr platform::ui::UINT WM_PAGE_COMMAND = 11031;
// A tab's permission prompt changed: wParam the tab's tabId, lParam an OwnedPayload<TabPermissionPrompt>.
constexpr platform::ui::UINT WM_TAB_PERMISSION_PROMPT = 11032;
// The user clicked a page's desktop notification: wParam the page's tabId.
constexpr platform::ui::UINT WM_NOTIFICATION_ACTIVATED = 11033;

// What a tab's permission prompt shows; promptId 0 hides it.
struct TabPermissionPrompt {
    uint64_t promptId = 0;
    std::u16string text;
    // False for a notice the user only acknowledges.
    bool question = true;
    // What the user chooses from, for a question that is a choice.
    std::vector<std::u16string> choices;
    // The buttons' texts where they are not the usual ones; empty otherwise.
    std::u16string allowText;
    std::u16string denyText;
};
// A tab's search in its page found matches: wParam the tab's tabId, lParam the highlighted
// match (from 1; 0 with none) in its low 32 bits and the number of matches above them.
constexpr platform::ui::UINT WM_FIND_RESULT = 11034;

// A tab's page put a video into picture-in-picture (lParam 1) or took it out (lParam 0):
// wParam the tab's tabId.
constexpr platform::ui::UINT WM_TAB_PICTURE_IN_PICTURE = 11035;
// The user asked for the tab of the mini player back ("返回"): wParam the tab's tabId.
constexpr platform::ui::UINT WM_MINI_PLAYER_RETURN = 11036;

// Messages the main frame takes as handled without acting on them, as its peers send them.
constexpr platform::ui::UINT WM_IGNORED_USER_MESSAGE = platform::ui::WM_USER + 1;
constexpr platform::ui::UINT WM_IGNORED_TOOL_MESSAGE = platform::ui::WM_USER + 302;
// Swallowed by the main frame before the window layer sees it.
constexpr platform::ui::UINT WM_SWALLOWED_MESSAGE = 11012;

// Posted to the main frame by a tab's close button; wParam is the tab's id (closing inside
// the button's own click would destroy it while it is still handling the click). An id, not
// the button: a late message must not reach a new tab that took a closed one's memory.
constexpr platform::ui::UINT WM_CLOSE_TAB = platform::ui::WM_USER + 0x2101;

// The update dialog's worker reports to the dialog: download progress, the end of the
// download, and the size the server answered.
constexpr platform::ui::UINT WM_UPDATE_PROGRESS = platform::ui::WM_USER + 541;
constexpr platform::ui::UINT WM_UPDATE_DOWNLOAD_FINISHED = platform::ui::WM_USER + 542;
constexpr platform::ui::UINT WM_UPDATE_SIZE_ANSWERED = platform::ui::WM_USER + 543;
