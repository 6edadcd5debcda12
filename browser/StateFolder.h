#pragma once

#include <string>

/// The program's per-user state folder, $XDG_STATE_HOME/zandrel (~/.local/state/zandrel), made
/// 0700 when missing; empty when there is no home to put it in or it cannot be made. Any thread.
std::string StateFolder();
