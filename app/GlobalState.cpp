#include "app/GlobalState.h"

platform::ui::HINSTANCE appInstance = nullptr;
platform::ui::HWND mainWindowHandle = nullptr;
const bool multiThreadedMessageLoop = true;
