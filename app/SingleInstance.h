#pragma once

// True when this is the only browser process of the program on the machine. The
// marker stays with this process until it ends or ReleaseSingleInstance gives it back.
bool CheckSingleInstance();
// For a process that ends without a window: a later start must not find it running.
void ReleaseSingleInstance();
