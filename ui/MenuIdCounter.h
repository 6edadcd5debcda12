#pragma once

// The next menu item id of the process: 1001, 1002, ... and 101 after 1000000.
int NextMenuId();
