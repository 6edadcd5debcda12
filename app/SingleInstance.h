#pragma once

// True when this is the only browser process of the program on the machine. The
// marker stays with this process until it ends; it is never released explicitly.
bool CheckSingleInstance();
