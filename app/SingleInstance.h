#pragma once

#include <functional>

// True when this is the only browser process of the program on the machine. The
// marker stays with this process until it ends or ReleaseSingleInstance gives it back.
bool CheckSingleInstance();
// For a process that ends without a window: a later start must not find it running.
void ReleaseSingleInstance();
// The running instance: onLaterStart runs, on a thread of its own, whenever a later start
// asks for the window (SignalRunningInstance). Stopped by StopListeningForLaterStarts.
void ListenForLaterStarts(std::function<void()> onLaterStart);
void StopListeningForLaterStarts();
// A later start: asks the running instance to show its window; false when none took it.
bool SignalRunningInstance();
