#pragma once

// The main frame's menu groups and items. A menu shows the items whose parent id is its
// group; a chosen item arrives with its group as parent id and its own id.

// "关于": its one item takes the next free id from the menu id counter.
constexpr int kAboutMenuGroup = 4;
// Menus rooted here read the frame's second item table, which nothing fills.
constexpr int kSecondTableMenuRoot = 5;
// The ≡ button's menu.
constexpr int kMainMenuGroup = 6;
constexpr int kUpdateMenuItem = 61;
constexpr int kExitMenuItem = 62;
// The notification-area icon's menu, the only group the frame opens itself.
constexpr int kTrayMenuGroup = 7;
constexpr int kShowWindowTrayItem = 71;
constexpr int kCopyVersionTrayItem = 72;
constexpr int kExitTrayItem = 73;
