#pragma once

#include "browser/BrowserClientHandler.h"

// The one client handler of the browser process: set during start-up after the
// engine is initialised, released at process exit.
extern platform::engine::CefRefPtr<BrowserClientHandler> sharedClientHandler;
