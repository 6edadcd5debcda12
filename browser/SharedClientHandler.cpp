#include "browser/SharedClientHandler.h"

platform::engine::CefRefPtr<BrowserClientHandler> sharedClientHandler;
