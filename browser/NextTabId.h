#pragma once

/// The next tab identifier: 0, 1, ... 65535, then 0 again. Any thread.
int NextTabId();
