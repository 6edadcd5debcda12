#pragma once

#include "platform/ui/WindowTypes.h"

namespace platform::ui {

/// Remembers the process arguments for the GUI application object; call first in main.
void SetApplicationArguments(int argc, char** argv);

/// Creates the GUI application object on the first call (after the engine has
/// prepared the process); later calls, or an application made elsewhere, leave it be.
void EnsureApplication();

/// The handle of the program module (the running executable); never null.
HINSTANCE GetModuleHandle();

} // namespace platform::ui
